// Windows, dialogs and controls held in memory, message boxes with scripted
// answers, and what the user does with them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "tests/memory/MemoryCalls.h"

namespace memory {

struct MemoryWindow {
  int id = 0;
  std::string windowClass;  // "#32770" for a dialog
  std::string text;
  std::uint32_t style = 0;
  bool enabled = true;
  int check = 0;
  std::vector<std::string> lines;  // combo box
  int curSel = -1;
  int x = 0, y = 0, cx = 0, cy = 0;
  bool sized = false;  // SetWindowPos gave a size
  FontHandle font = nullptr;
  MemoryWindow* parent = nullptr;
  std::vector<MemoryWindow*> children;  // template order
  // Dialogs only
  int templateId = 0;
  DialogTarget* target = nullptr;
  IconHandle bigIcon = nullptr;
  IconHandle smallIcon = nullptr;
  bool ended = false;
  LResult result = 0;
  bool iconic = false;
  std::vector<std::string> systemMenu;  // appended entries; "-" for a separator
  std::vector<std::uintptr_t> systemMenuIds;
};

struct MessageBoxRecord {
  WindowHandle owner;
  std::string text;
  std::string caption;
  std::uint32_t type;
  int answer;
};

class MemoryWindows : public virtual MemoryCalls {
 public:
  MemoryWindows();

  // --- Set-up --------------------------------------------------------------
  // Answers for the next message boxes, in order; Id::Ok for OK boxes and
  // `defaultAnswer` for questions once the queue is empty.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void SetDefaultAnswer(int answer) { defaultAnswer_ = answer; }
  // What the user does while a dialog of this template runs modally.
  void OnModal(int templateId, std::function<void(WindowHandle dialog)> session);
  void SetString(int id, const std::string& text) { strings_[id] = text; }
  void SetIconic(WindowHandle dialog, bool iconic);
  void SetClientSize(int width, int height) { clientWidth_ = width, clientHeight_ = height; }

  // --- What the user does ----------------------------------------------------
  // Picks a line of a combo box, as a click in its list does.
  void SelectLine(WindowHandle dialog, int comboId, int index);
  // Clicks a control; nothing happens when it is disabled. Radio buttons
  // are checked and their group's other buttons unchecked first.
  bool Click(WindowHandle dialog, int id);
  void Close(WindowHandle dialog);
  void SystemCommand(WindowHandle dialog, std::uint32_t command);

  // --- What the tests look at ------------------------------------------------
  // The dialog window most recently created.
  WindowHandle LastDialog() const { return lastDialog_; }
  MemoryWindow* Window(WindowHandle window) const { return static_cast<MemoryWindow*>(window); }
  MemoryWindow* Control(WindowHandle dialog, int id) const;
  std::string Text(WindowHandle dialog, int id) const;
  bool Enabled(WindowHandle dialog, int id) const;
  int Checked(WindowHandle dialog, int id) const;
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  std::vector<std::string> MessageTexts() const;
  std::vector<LResult> DialogResults() const { return dialogResults_; }
  WindowHandle DesktopWindow() const { return desktop_.get(); }
  struct FontRecord {
    int height;
    std::string face;
    bool deleted;
  };
  const std::vector<FontRecord>& Fonts() const { return fonts_; }
  struct IconDraw {
    int x, y;
    IconHandle icon;
  };
  const std::vector<IconDraw>& IconDraws() const { return iconDraws_; }

  // --- The platform's window calls -------------------------------------------
  LResult RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target);
  void EndDialog(WindowHandle dialog, LResult result);
  WindowHandle GetDlgItem(WindowHandle dialog, int id);
  WindowHandle GetNextWindow(WindowHandle window);
  std::uint32_t GetStyle(WindowHandle window);
  LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
  bool EnableWindow(WindowHandle window, bool enable);
  bool IsWindowEnabled(WindowHandle window);
  bool SetWindowPos(WindowHandle window, int x, int y, int cx, int cy, std::uint32_t flags);
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t type);
  std::string LoadString(int id);
  IconHandle LoadIcon(int id);
  std::vector<WindowHandle> GetDescendants(WindowHandle window);
  bool InvalidateRect(WindowHandle window, bool erase);
  FontHandle CreateFont(int height, const std::string& faceName);
  bool DeleteFont(FontHandle font);
  MenuHandle GetSystemMenu(WindowHandle window);
  bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char* text);
  bool IsIconic(WindowHandle window);
  int GetSystemMetrics(int index);
  void GetClientSize(WindowHandle window, int& width, int& height);
  void Paint(WindowHandle window, const std::function<void(void* dc)>& paint);
  bool DrawIcon(void* dc, int x, int y, IconHandle icon);
  WindowHandle GetDesktopWindow() { return desktop_.get(); }

 private:
  // The window behind a handle; null, with the last error set, for a handle
  // that is no window (null included), which Windows refuses.
  MemoryWindow* Valid(WindowHandle window);
  // The dialog procedure: the target handles the message, and an exception
  // that escapes it is shown in a message box, as the Win32 backend does.
  bool DialogProcedure(MemoryWindow* dialog, std::uint32_t message, WParam wParam, LParam lParam,
                       LResult& result);
  MemoryWindow* CreateDialogWindow(int templateId, MemoryWindow* owner);
  bool Dispatch(MemoryWindow* dialog, std::uint32_t message, WParam wParam, LParam lParam,
                LResult& result);
  LResult DefaultDialogHandling(MemoryWindow* dialog, std::uint32_t message, WParam wParam,
                                LParam lParam);
  LResult ControlMessage(MemoryWindow* control, std::uint32_t message, WParam wParam,
                         LParam lParam);
  void Command(MemoryWindow* dialog, int id, std::uint32_t code, MemoryWindow* control);

  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  MemoryWindow* lastDialog_ = nullptr;
  std::map<int, std::deque<std::function<void(WindowHandle)>>> sessions_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::deque<int> answers_;
  int defaultAnswer_ = Id::No;
  std::vector<LResult> dialogResults_;
  std::map<int, std::string> strings_;
  std::unique_ptr<MemoryWindow> desktop_ = std::make_unique<MemoryWindow>();
  std::vector<FontRecord> fonts_;
  std::vector<IconDraw> iconDraws_;
  int clientWidth_ = 390, clientHeight_ = 243;
};

}  // namespace memory
