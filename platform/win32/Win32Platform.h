// The platform of a real Windows: real windows, devices and libraries.
#pragma once

#include "platform/Platform.h"

class Win32Platform final : public Platform {
 public:
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
  bool GetWindowRect(WindowHandle window, Rect& rect) override;
  WindowHandle GetOwner(WindowHandle window) override;
  bool IsWindowVisible(WindowHandle window) override;
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
  ModuleHandle GetModuleHandle(const char* name) override;
  bool GetSystemWorkArea(Rect& area) override;
  void* CallMonitorFromWindow(void* entry, WindowHandle window, std::uint32_t flags) override;
  bool CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) override;
  bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                              std::string& value) override;
  WindowHandle GetDesktopWindow() override;
  WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                            std::uint32_t command, std::uintptr_t data) override;
  EventHandle CreateEvent(bool manualReset, bool initialState) override;
  bool ResetEvent(EventHandle event) override;
  std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override;

};
