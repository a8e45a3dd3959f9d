// The in-memory platform: the platform interface answered by its parts, each
// a concern of its own (MemoryWindows, MemoryDrives, MemoryLibraries,
// MemoryScreen) sharing
// one record of calls and faults (MemoryCalls), plus a settable Windows
// version and the process. Constructing one installs it as the platform;
// destroying it restores the previous one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "tests/memory/MemoryCalls.h"
#include "tests/memory/MemoryDrives.h"
#include "tests/memory/MemoryLibraries.h"
#include "tests/memory/MemoryScreen.h"
#include "tests/memory/MemoryWindows.h"

namespace memory {

class MemoryPlatform : public Platform,
                       public MemoryWindows,
                       public MemoryDrives,
                       public MemoryLibraries,
                       public MemoryScreen {
 public:
  MemoryPlatform();
  ~MemoryPlatform() override;

  void SetModulePath(const std::string& path) { modulePath_ = path; }
  void SetVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);
  void FailVersionQuery() { versionFails_ = true; }

  // --- The process -------------------------------------------------------------
  std::string ModulePath() override { return modulePath_; }
  [[noreturn]] void ExitProcess(unsigned exitCode) override;
  bool GetVersion(OsVersionInfo& info) override;
  void UpperCaseAnsi(std::string& text) override;
  std::uint32_t GetLastError() override { return LastError(); }
  // A device handle or an event.
  bool CloseHandle(void* handle) override;

  // --- Windows -------------------------------------------------------------------
  LResult RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) override {
    return MemoryWindows::RunModalDialog(templateId, owner, target);
  }
  void EndDialog(WindowHandle dialog, LResult result) override {
    MemoryWindows::EndDialog(dialog, result);
  }
  WindowHandle GetDlgItem(WindowHandle dialog, int id) override {
    return MemoryWindows::GetDlgItem(dialog, id);
  }
  WindowHandle GetNextWindow(WindowHandle window) override {
    return MemoryWindows::GetNextWindow(window);
  }
  std::uint32_t GetStyle(WindowHandle window) override { return MemoryWindows::GetStyle(window); }
  LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                      LParam lParam) override {
    return MemoryWindows::SendMessage(window, message, wParam, lParam);
  }
  bool EnableWindow(WindowHandle window, bool enable) override {
    return MemoryWindows::EnableWindow(window, enable);
  }
  bool IsWindowEnabled(WindowHandle window) override {
    return MemoryWindows::IsWindowEnabled(window);
  }
  bool SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                    std::uint32_t flags) override {
    return MemoryWindows::SetWindowPos(window, x, y, cx, cy, flags);
  }
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t type) override {
    return MemoryWindows::MessageBox(owner, text, caption, type);
  }
  std::string LoadString(int id) override { return MemoryWindows::LoadString(id); }
  IconHandle LoadIcon(int id) override { return MemoryWindows::LoadIcon(id); }
  std::vector<WindowHandle> GetDescendants(WindowHandle window) override {
    return MemoryWindows::GetDescendants(window);
  }
  bool InvalidateRect(WindowHandle window, bool erase) override {
    return MemoryWindows::InvalidateRect(window, erase);
  }
  FontHandle CreateFont(int height, const std::string& faceName) override {
    return MemoryWindows::CreateFont(height, faceName);
  }
  bool DeleteFont(FontHandle font) override { return MemoryWindows::DeleteFont(font); }
  MenuHandle GetSystemMenu(WindowHandle window) override {
    return MemoryWindows::GetSystemMenu(window);
  }
  bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                  const char* text) override {
    return MemoryWindows::AppendMenu(menu, flags, id, text);
  }
  bool IsIconic(WindowHandle window) override { return MemoryWindows::IsIconic(window); }
  int GetSystemMetrics(int index) override { return MemoryWindows::GetSystemMetrics(index); }
  void GetClientSize(WindowHandle window, int& width, int& height) override {
    MemoryWindows::GetClientSize(window, width, height);
  }
  void Paint(WindowHandle window, const std::function<void(void* dc)>& paint) override {
    MemoryWindows::Paint(window, paint);
  }
  bool DrawIcon(void* dc, int x, int y, IconHandle icon) override {
    return MemoryWindows::DrawIcon(dc, x, y, icon);
  }
  WindowHandle GetDesktopWindow() override { return MemoryWindows::GetDesktopWindow(); }

  // --- The screen ----------------------------------------------------------------
  bool GetWindowRect(WindowHandle window, Rect& rect) override {
    return MemoryScreen::GetWindowRect(window, rect);
  }
  WindowHandle GetOwner(WindowHandle window) override { return MemoryScreen::GetOwner(window); }
  bool IsWindowVisible(WindowHandle window) override {
    return MemoryScreen::IsWindowVisible(window);
  }
  ModuleHandle GetModuleHandle(const char* name) override {
    return MemoryScreen::GetModuleHandle(name);
  }
  bool GetSystemWorkArea(Rect& area) override { return MemoryScreen::GetSystemWorkArea(area); }
  void* CallMonitorFromWindow(void* entry, WindowHandle window, std::uint32_t flags) override {
    return MemoryScreen::CallMonitorFromWindow(entry, window, flags);
  }
  bool CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) override {
    return MemoryScreen::CallGetMonitorInfo(entry, monitor, workArea);
  }

  // --- Drives --------------------------------------------------------------------
  std::uint32_t GetLogicalDriveStrings(std::uint32_t length, char* buffer) override {
    return MemoryDrives::GetLogicalDriveStrings(length, buffer);
  }
  DeviceHandle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t flags) override {
    return MemoryDrives::CreateFile(path, access, share, disposition, flags);
  }
  bool DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t inLength,
                       void* out, std::uint32_t outLength, std::uint32_t* bytesReturned) override {
    return MemoryDrives::DeviceIoControl(device, code, in, inLength, out, outLength, bytesReturned);
  }

  // --- Libraries and events ------------------------------------------------------
  ModuleHandle LoadLibrary(const char* name) override { return MemoryLibraries::LoadLibrary(name); }
  void* GetProcAddress(ModuleHandle module, const char* name) override {
    if (IsUser32(module)) return User32Export(name);
    return MemoryLibraries::GetProcAddress(module, name);
  }
  bool FreeLibrary(ModuleHandle module) override { return MemoryLibraries::FreeLibrary(module); }
  void* GetProcAddressByOrdinal(ModuleHandle module, int ordinal) override {
    return MemoryLibraries::GetProcAddressByOrdinal(module, ordinal);
  }
  bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                              std::string& value) override {
    return MemoryLibraries::ReadClassesRootDefault(subKey, maxBytes, value);
  }
  WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                            std::uint32_t command, std::uintptr_t data) override {
    return MemoryLibraries::CallHtmlHelp(entry, caller, file, command, data);
  }
  EventHandle CreateEvent(bool manualReset, bool initialState) override {
    return MemoryLibraries::CreateEvent(manualReset, initialState);
  }
  bool ResetEvent(EventHandle event) override { return MemoryLibraries::ResetEvent(event); }
  std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override {
    return MemoryLibraries::WaitForSingleObject(event, milliseconds);
  }

 private:
  MemoryPlatform* previous_ = nullptr;
  std::string modulePath_ = "C:\\Tools\\Bitset.exe";
  OsVersionInfo version_{5, 1, 2600, 2};
  bool versionFails_ = false;
};

}  // namespace memory
