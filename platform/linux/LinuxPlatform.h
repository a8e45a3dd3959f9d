// The platform on Linux, for the command-line program: the device part of
// the platform interface over the kernel's SCSI generic driver. Drive
// letters name device nodes, as the dosdevices of a Wine prefix do, so the
// command channel opens "\\.\D:" and sends its SCSI_PASS_THROUGH_DIRECT
// requests exactly as on Windows; each request becomes one SG_IO request.
//
// It reports the NT family, whose route is the pass-through. There are no
// windows, libraries or events: those calls fail as on a system without them.
// Its owner installs it with SetPlatform.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "framework/Platform.h"
#include "platform/linux/SgDriver.h"

namespace linuxplatform {

constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotSupported = 50;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorSemTimeout = 121;
constexpr std::uint32_t kErrorBusy = 170;
constexpr std::uint32_t kErrorModNotFound = 126;
constexpr std::uint32_t kErrorIoDevice = 1117;

class LinuxPlatform : public Platform {
 public:
  explicit LinuxPlatform(SgDriver& driver) : driver_(driver) {}
  ~LinuxPlatform() override;
  LinuxPlatform(const LinuxPlatform&) = delete;
  LinuxPlatform& operator=(const LinuxPlatform&) = delete;

  // --- Set-up --------------------------------------------------------------
  // "\\.\D:" opens `node` from now on (letter in either case).
  void MapDrive(char letter, const std::string& node);
  // The errno behind the last failed call (ETIMEDOUT for a request that
  // timed out, EIO for an adapter or driver error); 0 after ClearLastError.
  int LastSystemError() const { return lastSystemError_; }
  void ClearLastError();

  // --- Process -----------------------------------------------------------
  std::string ModulePath() override;
  [[noreturn]] void ExitProcess(unsigned exitCode) override;
  bool GetVersion(OsVersionInfo& info) override;
  void UpperCaseAnsi(std::string& text) override;

  // --- Windows: none -----------------------------------------------------
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

  // --- Devices -----------------------------------------------------------
  std::uint32_t GetLogicalDriveStrings(std::uint32_t length, char* buffer) override;
  DeviceHandle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t flags) override;
  bool DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t inLength,
                       void* out, std::uint32_t outLength, std::uint32_t* bytesReturned) override;
  bool CloseHandle(void* handle) override;

  // --- Run-time libraries, help and events: none ---------------------------
  ModuleHandle LoadLibrary(const char* name) override;
  void* GetProcAddress(ModuleHandle module, const char* name) override;
  bool FreeLibrary(ModuleHandle module) override;
  std::uint32_t GetLastError() override { return lastError_; }
  void* GetProcAddressByOrdinal(ModuleHandle module, int ordinal) override;
  bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                              std::string& value) override;
  WindowHandle GetDesktopWindow() override;
  WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                            std::uint32_t command, std::uintptr_t data) override;
  EventHandle CreateEvent(bool manualReset, bool initialState) override;
  bool ResetEvent(EventHandle event) override;
  std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override;

 private:
  bool Fail(std::uint32_t error, int systemError);
  bool SendPassThrough(int fd, void* in, void* out, std::uint32_t outLength,
                       std::uint32_t* bytesReturned);

  SgDriver& driver_;
  std::map<char, std::string> drives_;  // upper-case letter -> device node
  std::map<DeviceHandle, int> open_;    // handle -> file descriptor
  std::uintptr_t nextHandle_ = 0x100;
  std::uint32_t lastError_ = 0;
  int lastSystemError_ = 0;
};

}  // namespace linuxplatform
