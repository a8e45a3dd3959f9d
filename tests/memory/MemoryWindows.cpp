// Windows, dialogs and controls of the in-memory platform, and what the
// user does with them.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "framework/FileException.h"
#include "platform/Format.h"
#include "framework/MessageMap.h"
#include "framework/WinApp.h"
#include "tests/memory/MemoryInternal.h"
#include "tests/memory/MemoryWindows.h"
#include "tests/memory/DialogTemplates.h"
#include "res/resource.h"

namespace memory {

namespace {

constexpr std::uint32_t kScClose = 0xF060;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

bool IsRadio(const MemoryWindow* window) {
  return window->windowClass == "BUTTON" && (window->style & 0xF) == Style::BsAutoRadioButton;
}

// The name a message to a control is faulted by.
std::string MessageName(std::uint32_t message) {
  static const std::map<std::uint32_t, const char*> names = {
      {Msg::SetText, "WM_SETTEXT"},         {Msg::GetTextLength, "WM_GETTEXTLENGTH"},
      {Msg::GetText, "WM_GETTEXT"},         {Msg::SetFont, "WM_SETFONT"},
      {Msg::GetFont, "WM_GETFONT"},         {Msg::GetDlgCode, "WM_GETDLGCODE"},
      {Bm::GetCheck, "BM_GETCHECK"},        {Bm::SetCheck, "BM_SETCHECK"},
      {Cb::ResetContent, "CB_RESETCONTENT"}, {Cb::AddString, "CB_ADDSTRING"},
      {Cb::SetCurSel, "CB_SETCURSEL"},      {Cb::GetCurSel, "CB_GETCURSEL"},
      {Cb::GetCount, "CB_GETCOUNT"},        {Cb::GetLbTextLen, "CB_GETLBTEXTLEN"},
      {Cb::GetLbText, "CB_GETLBTEXT"},
  };
  auto found = names.find(message);
  return found != names.end() ? found->second : "SendMessage";
}

// What a failing message to a control answers.
long long MessageFailure(std::uint32_t message) {
  if (message == Cb::AddString) return Cb::ErrSpace;
  return message >= Cb::AddString && message <= Cb::SetCurSel ? Cb::Err : 0;
}

}  // namespace

MemoryWindows::MemoryWindows() { strings_[101] = "&About Sorvel Util..."; }

// --- Set-up and inspection -----------------------------------------------------

void MemoryWindows::OnModal(int templateId, std::function<void(WindowHandle)> session) {
  sessions_[templateId].push_back(std::move(session));
}

void MemoryWindows::SetIconic(WindowHandle dialog, bool iconic) { Window(dialog)->iconic = iconic; }

MemoryWindow* MemoryWindows::Control(WindowHandle dialog, int id) const {
  for (MemoryWindow* child : Window(dialog)->children) {
    if (child->id == id) return child;
  }
  return nullptr;
}

std::string MemoryWindows::Text(WindowHandle dialog, int id) const { return Control(dialog, id)->text; }

bool MemoryWindows::Enabled(WindowHandle dialog, int id) const {
  return Control(dialog, id)->enabled;
}

int MemoryWindows::Checked(WindowHandle dialog, int id) const { return Control(dialog, id)->check; }

std::vector<std::string> MemoryWindows::MessageTexts() const {
  std::vector<std::string> texts;
  for (const MessageBoxRecord& box : messageBoxes_) texts.push_back(box.text);
  return texts;
}

// --- What the user does -------------------------------------------------------

void MemoryWindows::Command(MemoryWindow* dialog, int id, std::uint32_t code,
                            MemoryWindow* control) {
  LResult ignored = 0;
  Dispatch(dialog, Msg::Command, MakeCommandWParam(id, code), reinterpret_cast<LParam>(control),
           ignored);
}

void MemoryWindows::SelectLine(WindowHandle dialog, int comboId, int index) {
  MemoryWindow* combo = Control(dialog, comboId);
  if (combo == nullptr || Window(dialog)->ended || !combo->enabled) return;
  if (index < 0 || index >= static_cast<int>(combo->lines.size())) return;
  combo->curSel = index;
  Command(Window(dialog), comboId, Cbn::SelChange, combo);
}

bool MemoryWindows::Click(WindowHandle dialog, int id) {
  MemoryWindow* control = Control(dialog, id);
  if (control == nullptr || Window(dialog)->ended || !control->enabled) return false;
  if (IsRadio(control)) {
    // Uncheck the other buttons of its group, then check it.
    auto& siblings = Window(dialog)->children;
    auto at = std::find(siblings.begin(), siblings.end(), control);
    auto first = at;
    while (first != siblings.begin() && ((*first)->style & Ws::Group) == 0) --first;
    for (auto it = first; it != siblings.end(); ++it) {
      if (it != first && ((*it)->style & Ws::Group) != 0) break;
      if (IsRadio(*it)) (*it)->check = 0;
    }
    control->check = 1;
  }
  Command(Window(dialog), id, Bn::Clicked, control);
  return true;
}

void MemoryWindows::Close(WindowHandle dialog) {
  if (Window(dialog)->ended) return;
  LResult result = 0;
  Dispatch(Window(dialog), Msg::Close, 0, 0, result);
}

void MemoryWindows::SystemCommand(WindowHandle dialog, std::uint32_t command) {
  if (Window(dialog)->ended) return;
  LResult result = 0;
  Dispatch(Window(dialog), Msg::SysCommand, command, 0, result);
}

// --- Windows -------------------------------------------------------------------

MemoryWindow* MemoryWindows::CreateDialogWindow(int templateId, MemoryWindow* owner) {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
  if (dialogTemplate == nullptr) return nullptr;
  windows_.push_back(std::make_unique<MemoryWindow>());
  MemoryWindow* dialog = windows_.back().get();
  dialog->windowClass = "#32770";
  dialog->text = dialogTemplate->caption;
  // The dialog manager creates the window hidden, whatever the template
  // says, and shows it once initialisation has ended.
  dialog->style = dialogTemplate->style & ~std::uint32_t{Ws::Visible};
  dialog->templateId = templateId;
  dialog->parent = owner;
  dialog->cx = dialogTemplate->cx;
  dialog->cy = dialogTemplate->cy;
  for (const ControlTemplate& control : dialogTemplate->controls) {
    windows_.push_back(std::make_unique<MemoryWindow>());
    MemoryWindow* child = windows_.back().get();
    child->id = control.id;
    child->windowClass = control.windowClass;
    child->text = control.text;
    child->style = control.style | Ws::Child | Ws::Visible;
    child->enabled = (control.style & Ws::Disabled) == 0;
    child->x = control.x;
    child->y = control.y;
    child->cx = control.cx;
    child->cy = control.cy;
    child->parent = dialog;
    dialog->children.push_back(child);
  }
  return dialog;
}

LResult MemoryWindows::RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) {
  Record("RunModalDialog " + std::to_string(templateId));
  MemoryWindow* ownerWindow = Window(owner);
  MemoryWindow* dialog = CreateDialogWindow(templateId, ownerWindow);
  if (dialog == nullptr) return -1;
  lastDialog_ = dialog;
  const bool ownerWasEnabled = ownerWindow != nullptr && ownerWindow->enabled;
  if (ownerWindow != nullptr) ownerWindow->enabled = false;
  dialog->target = &target;
  target.AttachWindow(dialog);
  // A nonzero answer lets the dialog manager give the first control the focus.
  LResult focus = 0;
  if (DialogProcedure(dialog, Msg::InitDialog, 0, 0, focus) && focus != 0) Record("DefaultFocus");
  dialog->style |= Ws::Visible;  // the dialog manager shows it once initialised
  auto& queue = sessions_[templateId];
  if (!dialog->ended && !queue.empty()) {
    auto session = std::move(queue.front());
    queue.pop_front();
    session(dialog);
  }
  // The user closes whatever is still open.
  if (!dialog->ended) Close(dialog);
  if (!dialog->ended) EndDialog(dialog, Id::Cancel);
  dialog->target = nullptr;
  dialog->style &= ~std::uint32_t{Ws::Visible};
  if (ownerWindow != nullptr) ownerWindow->enabled = ownerWasEnabled;
  dialogResults_.push_back(dialog->result);
  Record("DialogEnded " + std::to_string(templateId));
  return dialog->result;
}

void MemoryWindows::EndDialog(WindowHandle dialog, LResult result) {
  MemoryWindow* window = Window(dialog);
  Record("EndDialog " + std::to_string(result));
  // As on Windows, a later call before the modal loop returns sets the result anew.
  if (window == nullptr || window->target == nullptr) return;
  window->ended = true;
  window->result = result;
}

MemoryWindow* MemoryWindows::Valid(WindowHandle window) {
  if (window != nullptr && window == desktop_.get()) return desktop_.get();
  for (const auto& known : windows_) {
    if (window != nullptr && known.get() == window) return known.get();
  }
  SetLastError(kErrorInvalidWindowHandle);
  return nullptr;
}

bool MemoryWindows::DialogProcedure(MemoryWindow* dialog, std::uint32_t message, WParam wParam,
                                    LParam lParam, LResult& result) {
  if (dialog->target == nullptr) return false;
  std::string report;
  try {
    return dialog->target->HandleMessage(message, wParam, lParam, result);
  } catch (const ProcessExit&) {
    throw;
  } catch (const WouldHang&) {
    throw;
  } catch (CFileException* exception) {
    report = FormatString("File exception %d", exception->Cause());
    exception->Delete();
  } catch (const std::exception& exception) {
    report = exception.what();
  } catch (...) {
    report = "Unexpected error";
  }
  GetPlatform().MessageBox(dialog, report, AfxGetAppName(), Mb::Ok | Mb::IconError);
  return true;
}

bool MemoryWindows::Dispatch(MemoryWindow* dialog, std::uint32_t message, WParam wParam,
                             LParam lParam, LResult& result) {
  if (DialogProcedure(dialog, message, wParam, lParam, result)) return true;
  result = DefaultDialogHandling(dialog, message, wParam, lParam);
  return false;
}

LResult MemoryWindows::DefaultDialogHandling(MemoryWindow* dialog, std::uint32_t message,
                                             WParam wParam, LParam) {
  LResult result = 0;
  if (message == Msg::Close) {
    // The dialog manager turns closing into the Cancel command.
    if (!Dispatch(dialog, Msg::Command, MakeCommandWParam(Id::Cancel, Bn::Clicked), 0, result)) {
      EndDialog(dialog, Id::Cancel);
    }
  } else if (message == Msg::SysCommand && (wParam & 0xFFF0) == kScClose) {
    Dispatch(dialog, Msg::Close, 0, 0, result);
  } else if (message == Msg::Paint) {
    Record("DefaultPaint");
  }
  return 0;
}

WindowHandle MemoryWindows::GetDlgItem(WindowHandle dialog, int id) {
  if (auto answer = Fault("GetDlgItem", 0)) return AnswerAs<WindowHandle>(*answer);
  if (Valid(dialog) == nullptr) return nullptr;
  Record("GetDlgItem " + std::to_string(id));
  return Control(dialog, id);
}

WindowHandle MemoryWindows::GetNextWindow(WindowHandle window) {
  MemoryWindow* self = Valid(window);
  if (self == nullptr || self->parent == nullptr) return nullptr;
  auto& siblings = self->parent->children;
  auto at = std::find(siblings.begin(), siblings.end(), self);
  if (at == siblings.end() || ++at == siblings.end()) return nullptr;
  return *at;
}

std::uint32_t MemoryWindows::GetStyle(WindowHandle window) {
  MemoryWindow* target = Valid(window);
  return target != nullptr ? target->style : 0;
}

LResult MemoryWindows::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                      LParam lParam) {
  MemoryWindow* target = Valid(window);
  if (target == nullptr) return 0;
  if (target->windowClass != "#32770") return ControlMessage(target, message, wParam, lParam);
  if (auto answer = Fault("SendMessage", 0)) return *answer;
  Record("Dialog " + Hex(message) + " " + std::to_string(wParam));
  if (message == Msg::SetIcon) {
    IconHandle& slot = wParam == Icon::Big ? target->bigIcon : target->smallIcon;
    IconHandle old = slot;
    slot = reinterpret_cast<IconHandle>(lParam);
    return reinterpret_cast<LResult>(old);
  }
  LResult result = 0;
  Dispatch(target, message, wParam, lParam, result);
  return result;
}

LResult MemoryWindows::ControlMessage(MemoryWindow* control, std::uint32_t message, WParam wParam,
                                      LParam lParam) {
  if (auto answer = Fault(MessageName(message), MessageFailure(message))) return *answer;
  const std::string name = std::to_string(control->id);
  switch (message) {
    case Msg::SetText:
      Record("SetText " + name + " " + reinterpret_cast<const char*>(lParam));
      control->text = reinterpret_cast<const char*>(lParam);
      return 1;
    case Msg::GetTextLength:
      return static_cast<LResult>(control->text.size());
    case Msg::GetText: {
      if (wParam == 0) return 0;
      const std::size_t count = std::min<std::size_t>(wParam - 1, control->text.size());
      std::memcpy(reinterpret_cast<char*>(lParam), control->text.data(), count);
      reinterpret_cast<char*>(lParam)[count] = '\0';
      return static_cast<LResult>(count);
    }
    case Msg::SetFont:
      Record("SetFont " + name + (lParam != 0 ? " redraw" : ""));
      control->font = reinterpret_cast<FontHandle>(wParam);
      return 0;
    case Msg::GetFont:
      return reinterpret_cast<LResult>(control->font);
    case Msg::GetDlgCode:
      return IsRadio(control) ? LResult{Dlgc::RadioButton} : LResult{0};
    case Bm::GetCheck:
      return control->check;
    case Bm::SetCheck:
      control->check = static_cast<int>(wParam);
      return 0;
    case Cb::ResetContent:
      Record("CB_RESETCONTENT " + name);
      control->lines.clear();
      control->curSel = -1;
      return 0;
    case Cb::AddString:
      Record("CB_ADDSTRING " + name);
      control->lines.emplace_back(reinterpret_cast<const char*>(lParam));
      return static_cast<LResult>(control->lines.size() - 1);
    case Cb::SetCurSel: {
      Record("CB_SETCURSEL " + name + " " + std::to_string(static_cast<int>(wParam)));
      const auto index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(control->lines.size())) {
        control->curSel = -1;
        return Cb::Err;
      }
      control->curSel = index;
      return index;
    }
    case Cb::GetCurSel:
      return control->curSel;
    case Cb::GetCount:
      return static_cast<LResult>(control->lines.size());
    case Cb::GetLbTextLen:
    case Cb::GetLbText: {
      const auto index = static_cast<std::size_t>(wParam);
      if (index >= control->lines.size()) return Cb::Err;
      const std::string& line = control->lines[index];
      if (message == Cb::GetLbText) std::memcpy(reinterpret_cast<char*>(lParam), line.c_str(), line.size() + 1);
      return static_cast<LResult>(line.size());
    }
    default:
      Record("Message " + name + " " + Hex(message));
      return 0;
  }
}

bool MemoryWindows::EnableWindow(WindowHandle window, bool enable) {
  if (auto answer = Fault("EnableWindow", 0)) return AnswerAs<bool>(*answer);
  MemoryWindow* target = Valid(window);
  if (target == nullptr) return false;
  Record("EnableWindow " + std::to_string(target->id) + (enable ? " on" : " off"));
  const bool wasDisabled = !target->enabled;
  target->enabled = enable;
  return wasDisabled;
}

bool MemoryWindows::IsWindowEnabled(WindowHandle window) {
  MemoryWindow* target = Valid(window);
  return target != nullptr && target->enabled;
}

bool MemoryWindows::SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                                    std::uint32_t flags) {
  if (auto answer = Fault("SetWindowPos", 0)) return AnswerAs<bool>(*answer);
  MemoryWindow* target = Valid(window);
  if (target == nullptr) return false;
  Record("SetWindowPos " + std::to_string(target->id) + " " + std::to_string(x) + "," +
                   std::to_string(y) + " " + std::to_string(cx) + "x" + std::to_string(cy) + " " +
                   Hex(flags));
  target->x = x;
  target->y = y;
  if ((flags & Swp::NoSize) == 0) {
    target->cx = cx;
    target->cy = cy;
    target->sized = true;
  }
  return true;
}

int MemoryWindows::MessageBox(WindowHandle owner, const std::string& text,
                              const std::string& caption, std::uint32_t type) {
  if (auto answer = Fault("MessageBox", 0)) return AnswerAs<int>(*answer);
  int answer = Id::Ok;
  if ((type & 0xF) == Mb::YesNo) {
    answer = defaultAnswer_;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
  }
  Record("MessageBox " + text);
  messageBoxes_.push_back(MessageBoxRecord{owner, text, caption, type, answer});
  return answer;
}

std::string MemoryWindows::LoadString(int id) {
  auto found = strings_.find(id);
  return found == strings_.end() ? std::string() : found->second;
}

IconHandle MemoryWindows::LoadIcon(int id) {
  if (auto answer = Fault("LoadIcon", 0)) return AnswerAs<IconHandle>(*answer);
  Record("LoadIcon " + std::to_string(id));
  // The executable carries one icon; any other identifier finds nothing.
  if (id != IDR_MAINFRAME) return nullptr;
  return reinterpret_cast<IconHandle>(static_cast<std::uintptr_t>(0x1C0000 + id));
}

std::vector<WindowHandle> MemoryWindows::GetDescendants(WindowHandle window) {
  std::vector<WindowHandle> descendants;
  MemoryWindow* parent = Valid(window);
  if (parent == nullptr) return descendants;
  for (MemoryWindow* child : parent->children) descendants.push_back(child);
  return descendants;
}

bool MemoryWindows::InvalidateRect(WindowHandle window, bool erase) {
  if (Valid(window) == nullptr) return false;
  Record(std::string("InvalidateRect ") + std::to_string(Window(window)->id) +
                   (erase ? " erase" : ""));
  return true;
}

FontHandle MemoryWindows::CreateFont(int height, const std::string& faceName) {
  if (auto answer = Fault("CreateFont", 0)) return AnswerAs<FontHandle>(*answer);
  Record("CreateFont " + faceName);
  fonts_.push_back(FontRecord{height, faceName, false});
  return reinterpret_cast<FontHandle>(static_cast<std::uintptr_t>(0xF0000 + fonts_.size()));
}

bool MemoryWindows::DeleteFont(FontHandle font) {
  const auto index = reinterpret_cast<std::uintptr_t>(font) - 0xF0001;
  if (index >= fonts_.size()) return false;
  fonts_[index].deleted = true;
  return true;
}

MenuHandle MemoryWindows::GetSystemMenu(WindowHandle window) {
  if (auto answer = Fault("GetSystemMenu", 0)) return AnswerAs<MenuHandle>(*answer);
  if (Valid(window) == nullptr) return nullptr;
  Record("GetSystemMenu");
  return window;  // the dialog stands for its own system menu
}

bool MemoryWindows::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                               const char* text) {
  if (auto answer = Fault("AppendMenu", 0)) return AnswerAs<bool>(*answer);
  MemoryWindow* dialog = Valid(menu);
  if (dialog == nullptr) return false;
  dialog->systemMenu.push_back((flags & Mf::Separator) != 0 ? std::string("-") : std::string(text));
  dialog->systemMenuIds.push_back(id);
  return true;
}

bool MemoryWindows::IsIconic(WindowHandle window) {
  MemoryWindow* target = Valid(window);
  return target != nullptr && target->iconic;
}

int MemoryWindows::GetSystemMetrics(int) { return 32; }

void MemoryWindows::GetClientSize(WindowHandle window, int& width, int& height) {
  const bool valid = Valid(window) != nullptr;
  width = valid ? clientWidth_ : 0;
  height = valid ? clientHeight_ : 0;
}

void MemoryWindows::Paint(WindowHandle window, const std::function<void(void* dc)>& paint) {
  if (Valid(window) == nullptr) return;
  paint(window);
}

bool MemoryWindows::DrawIcon(void*, int x, int y, IconHandle icon) {
  iconDraws_.push_back(IconDraw{x, y, icon});
  return true;
}

}  // namespace memory
