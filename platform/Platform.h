// The narrow interface between the application and the operating system.
//
// Everything the application needs from Windows goes through here, in three
// concerns: the windows side (windows and controls, message boxes, the
// version query), devices opened by name with their pass-through requests,
// and run-time libraries with their events. The Win32 backend forwards each
// call to the Windows function of the same name; the in-memory backend keeps
// windows and drives in memory for the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

// What GetVersionExA reports in its 148-byte OSVERSIONINFOA.
struct OsVersionInfo {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
};

// A rectangle in screen pixels, right and bottom exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The dialog side of a window: the platform hands it every message of the
// dialog window it created for it.
class DialogTarget {
 public:
  virtual ~DialogTarget() = default;
  // Called once the platform has created the window, before WM_INITDIALOG.
  virtual void AttachWindow(WindowHandle window) = 0;
  // Returns true when the message was handled; `result` is then the value
  // the dialog procedure returns.
  virtual bool HandleMessage(std::uint32_t message, WParam wParam, LParam lParam,
                             LResult& result) = 0;
};

// The windows side: the process, dialogs and controls, painting, the
// screen and the help viewer.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // --- Process --------------------------------------------------------------
  // Full path of the running executable.
  virtual std::string ModulePath() = 0;
  // Ends the process at once (never returns on Windows).
  [[noreturn]] virtual void ExitProcess(unsigned exitCode) = 0;
  // GetVersionExA on a zeroed 148-byte structure; false when it fails.
  virtual bool GetVersion(OsVersionInfo& info) = 0;
  // Upper-cases text of the active ANSI code page in place.
  virtual void UpperCaseAnsi(std::string& text) = 0;

  // --- Windows --------------------------------------------------------------
  // Creates the dialog of the given template and runs it modally.
  virtual LResult RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) = 0;
  virtual void EndDialog(WindowHandle dialog, LResult result) = 0;
  virtual WindowHandle GetDlgItem(WindowHandle dialog, int id) = 0;
  // The next window in z-order (GW_HWNDNEXT), or null.
  virtual WindowHandle GetNextWindow(WindowHandle window) = 0;
  virtual std::uint32_t GetStyle(WindowHandle window) = 0;
  virtual LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) = 0;
  virtual bool EnableWindow(WindowHandle window, bool enable) = 0;
  virtual bool IsWindowEnabled(WindowHandle window) = 0;
  virtual bool SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  // The window's frame in screen pixels.
  virtual bool GetWindowRect(WindowHandle window, Rect& rect) = 0;
  // The window's owner (GW_OWNER), or null.
  virtual WindowHandle GetOwner(WindowHandle window) = 0;
  virtual bool IsWindowVisible(WindowHandle window) = 0;
  virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                         std::uint32_t type) = 0;
  // String resource of the executable; empty when there is none.
  virtual std::string LoadString(int id) = 0;
  // Icon resource of the executable at the system's standard icon size.
  virtual IconHandle LoadIcon(int id) = 0;
  // Every descendant window of `window`, children of children included.
  virtual std::vector<WindowHandle> GetDescendants(WindowHandle window) = 0;
  virtual bool InvalidateRect(WindowHandle window, bool erase) = 0;
  // A font of the given cell height in pixels and face name, every other
  // field of the logical font left 0.
  virtual FontHandle CreateFont(int height, const std::string& faceName) = 0;
  virtual bool DeleteFont(FontHandle font) = 0;
  // The window's system menu, without reverting it; null when it has none.
  virtual MenuHandle GetSystemMenu(WindowHandle window) = 0;
  virtual bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                          const char* text) = 0;

  // --- Painting -------------------------------------------------------------
  virtual bool IsIconic(WindowHandle window) = 0;
  virtual int GetSystemMetrics(int index) = 0;
  virtual void GetClientSize(WindowHandle window, int& width, int& height) = 0;
  // Paints the window's invalid area: BeginPaint, `paint` with the device
  // context, EndPaint.
  virtual void Paint(WindowHandle window, const std::function<void(void* dc)>& paint) = 0;
  virtual bool DrawIcon(void* dc, int x, int y, IconHandle icon) = 0;

  // --- Screen ---------------------------------------------------------------
  // The primary screen's work area: SystemParametersInfoA(SPI_GETWORKAREA).
  virtual bool GetSystemWorkArea(Rect& area) = 0;
  // Calls a MonitorFromWindow entry point; null when it names no monitor.
  virtual void* CallMonitorFromWindow(void* entry, WindowHandle window, std::uint32_t flags) = 0;
  // Calls a GetMonitorInfoA entry point and gives the monitor's work area.
  virtual bool CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) = 0;

  // --- HTML Help ------------------------------------------------------------
  // The default value of a key under HKEY_CLASSES_ROOT, read with read access
  // into at most `maxBytes` bytes; false when the key or value is missing.
  virtual bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                                      std::string& value) = 0;
  virtual WindowHandle GetDesktopWindow() = 0;
  // Calls an HtmlHelpA entry point with its own calling convention.
  virtual WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                                    std::uint32_t command, std::uintptr_t data) = 0;
};

// Devices opened by name and their pass-through requests: all the
// pass-through route needs.
class DeviceSystem {
 public:
  virtual ~DeviceSystem() = default;

  // --- Devices --------------------------------------------------------------
  virtual std::uint32_t GetLogicalDriveStrings(std::uint32_t length, char* buffer) = 0;
  // CreateFileA with no security attributes and no template file.
  virtual DeviceHandle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                                  std::uint32_t disposition, std::uint32_t flags) = 0;
  // DeviceIoControl without an OVERLAPPED structure.
  virtual bool DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in,
                               std::uint32_t inLength, void* out, std::uint32_t outLength,
                               std::uint32_t* bytesReturned) = 0;
  // Closes a device or an event.
  virtual bool CloseHandle(void* handle) = 0;
  // The error of the last call that failed, of any concern.
  virtual std::uint32_t GetLastError() = 0;
};

// Libraries loaded at run time and the events their requests signal: all
// the ASPI route needs besides closing its events.
class LibrarySystem {
 public:
  virtual ~LibrarySystem() = default;

  // --- Run-time libraries ---------------------------------------------------
  virtual ModuleHandle LoadLibrary(const char* name) = 0;
  // The exported function of that name, or null.
  virtual void* GetProcAddress(ModuleHandle module, const char* name) = 0;
  virtual bool FreeLibrary(ModuleHandle module) = 0;
  // The export with the given ordinal, or null.
  virtual void* GetProcAddressByOrdinal(ModuleHandle module, int ordinal) = 0;

  // A library already loaded into the process, without loading it; null
  // when it is not there.
  virtual ModuleHandle GetModuleHandle(const char* name) = 0;

  // --- Events ---------------------------------------------------------------
  // An unnamed event without security attributes; null when it cannot be made.
  virtual EventHandle CreateEvent(bool manualReset, bool initialState) = 0;
  virtual bool ResetEvent(EventHandle event) = 0;
  virtual std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) = 0;
};

// Everything the application needs from Windows, by concern.
class Platform : public WindowSystem, public DeviceSystem, public LibrarySystem {
 public:
  ~Platform() override = default;
};

constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// The platform the application runs on. The backend installs it before the
// application starts; the tests install the in-memory one for each test.
Platform& GetPlatform();
void SetPlatform(Platform* platform);
