// The in-memory platform as the fault journeys use it: every platform call
// runs as the test's code (its allocations are never the program's), the
// dialog's messages, paint callbacks and the ASPI library's callers run as
// the program's, and what matters to the user is logged in order: the
// questions and their answers, the messages, and every command a device
// receives together with the device the window showed at that moment.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/memory/MemoryPlatform.h"
#include "tests/AllocationFaults.h"

namespace test {

struct JourneyEvent {
  enum Kind { Question, Message, Command } kind = Question;
  int answer = 0;          // Question: the answer given, 0 when no box was shown
  std::string device;      // Command: "D:" or "0:1:0"
  std::string shown;       // Command: the device of the drive box's current line, or ""
  std::vector<std::uint8_t> cdb;
};

class JourneyPlatform : public memory::MemoryPlatform {
 public:
  JourneyPlatform();
  ~JourneyPlatform() override;

  const std::vector<JourneyEvent>& Events() const { return events_; }
  WindowHandle MainWindow() const { return mainWindow_; }
  // The device the main window's drive box currently shows, or "".
  std::string ShownDevice() const;

  // --- Platform: each call runs as the test's code ----------------------------
  std::string ModulePath() override;
  [[noreturn]] void ExitProcess(unsigned exitCode) override;
  bool GetVersion(OsVersionInfo& info) override;
  void UpperCaseAnsi(std::string& text) override;
  LResult RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) override;
  void EndDialog(WindowHandle dialog, LResult result) override;
  WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
  WindowHandle GetNextWindow(WindowHandle window) override;
  std::uint32_t GetStyle(WindowHandle window) override;
  LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                      LParam lParam) override;
  bool EnableWindow(WindowHandle window, bool enable) override;
  bool IsWindowEnabled(WindowHandle window) override;
  bool SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t type) override;
  std::string LoadString(int id) override;
  IconHandle LoadIcon(int id) override;
  std::vector<WindowHandle> GetDescendants(WindowHandle window) override;
  bool InvalidateRect(WindowHandle window, bool erase) override;
  FontHandle CreateFont(int height, const std::string& faceName) override;
  bool DeleteFont(FontHandle font) override;
  MenuHandle GetSystemMenu(WindowHandle window) override;
  bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                  const char* text) override;
  bool IsIconic(WindowHandle window) override;
  int GetSystemMetrics(int index) override;
  void GetClientSize(WindowHandle window, int& width, int& height) override;
  void Paint(WindowHandle window, const std::function<void(void* dc)>& paint) override;
  bool DrawIcon(void* dc, int x, int y, IconHandle icon) override;
  std::uint32_t GetLogicalDriveStrings(std::uint32_t length, char* buffer) override;
  DeviceHandle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t flags) override;
  bool DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t inLength,
                       void* out, std::uint32_t outLength, std::uint32_t* bytesReturned) override;
  bool CloseHandle(void* handle) override;
  ModuleHandle LoadLibrary(const char* name) override;
  void* GetProcAddress(ModuleHandle module, const char* name) override;
  bool FreeLibrary(ModuleHandle module) override;
  std::uint32_t GetLastError() override;
  void* GetProcAddressByOrdinal(ModuleHandle module, int ordinal) override;
  bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                              std::string& value) override;
  WindowHandle GetDesktopWindow() override;
  bool GetWindowRect(WindowHandle window, Rect& rect) override;
  WindowHandle GetOwner(WindowHandle window) override;
  bool IsWindowVisible(WindowHandle window) override;
  ModuleHandle GetModuleHandle(const char* name) override;
  bool GetSystemWorkArea(Rect& area) override;
  void* CallMonitorFromWindow(void* entry, WindowHandle window, std::uint32_t flags) override;
  bool CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) override;
  WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                            std::uint32_t command, std::uintptr_t data) override;
  EventHandle CreateEvent(bool manualReset, bool initialState) override;
  bool ResetEvent(EventHandle event) override;
  std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override;

  // The simulated ASPI library's entry points, as the program calls them.
  std::uint32_t GuardedAspiSupportInfo();
  std::uint32_t GuardedAspiSendCommand(void* srb);

 private:
  void LogCommand(const std::string& device, const std::uint8_t* cdb, std::size_t length);

  std::vector<JourneyEvent> events_;
  WindowHandle mainWindow_ = nullptr;
  std::map<DeviceHandle, std::string> openDrives_;
  using SupportInfoEntry = std::uint32_t (*)();
  using SendCommandEntry = std::uint32_t (*)(void*);
  SupportInfoEntry supportInfo_ = nullptr;
  SendCommandEntry sendCommand_ = nullptr;
};

}  // namespace test
