// The Win32 backend: every platform call goes to the Windows function of
// the same name.
#include "platform/win32/WindowsHeaders.h"

#include "platform/win32/Win32Platform.h"

#include <cstddef>
#include <exception>
#include <string>

#include "framework/FileException.h"
#include "platform/Format.h"
#include "framework/WinApp.h"
#include "scsi/SptiRequestBlock.h"

// The values the application uses are the ones Windows defines.
static_assert(Msg::InitDialog == WM_INITDIALOG && Msg::Command == WM_COMMAND &&
                  Msg::SysCommand == WM_SYSCOMMAND && Msg::Close == WM_CLOSE &&
                  Msg::Paint == WM_PAINT && Msg::QueryDragIcon == WM_QUERYDRAGICON &&
                  Msg::SetText == WM_SETTEXT && Msg::GetText == WM_GETTEXT &&
                  Msg::GetTextLength == WM_GETTEXTLENGTH && Msg::SetFont == WM_SETFONT &&
                  Msg::SetIcon == WM_SETICON && Msg::GetDlgCode == WM_GETDLGCODE &&
                  Msg::IconEraseBkgnd == WM_ICONERASEBKGND,
              "window messages");
static_assert(Bm::GetCheck == BM_GETCHECK && Bm::SetCheck == BM_SETCHECK && Bm::Click == BM_CLICK,
              "button messages");
static_assert(Cb::AddString == CB_ADDSTRING && Cb::GetCount == CB_GETCOUNT &&
                  Cb::GetCurSel == CB_GETCURSEL && Cb::GetLbText == CB_GETLBTEXT &&
                  Cb::GetLbTextLen == CB_GETLBTEXTLEN && Cb::ResetContent == CB_RESETCONTENT &&
                  Cb::SetCurSel == CB_SETCURSEL && Cbn::SelChange == CBN_SELCHANGE &&
                  Cb::Err == CB_ERR && Cb::ErrSpace == CB_ERRSPACE,
              "combo-box messages");
static_assert(Dlgc::RadioButton == DLGC_RADIOBUTTON && Ws::Group == WS_GROUP &&
                  Ws::Disabled == WS_DISABLED && Swp::NoSize == SWP_NOSIZE &&
                  Swp::NoZOrder == SWP_NOZORDER && Swp::NoActivate == SWP_NOACTIVATE &&
                  Ds::AbsAlign == DS_ABSALIGN && Ds::Center == DS_CENTER &&
                  Ds::CenterMouse == DS_CENTERMOUSE && Icon::Big == ICON_BIG &&
                  Icon::Small == ICON_SMALL,
              "styles and flags");
static_assert(Mb::YesNo == MB_YESNO && Mb::IconQuestion == MB_ICONQUESTION && Id::No == IDNO &&
                  Id::Yes == IDYES && Id::Cancel == IDCANCEL && Mf::Separator == MF_SEPARATOR,
              "message boxes and menus");
static_assert(kIoctlScsiPassThroughDirect == IOCTL_SCSI_PASS_THROUGH_DIRECT, "control code");
static_assert(kScsiIoctlDataIn == SCSI_IOCTL_DATA_IN && kScsiIoctlDataOut == SCSI_IOCTL_DATA_OUT &&
                  kScsiIoctlDataUnspecified == SCSI_IOCTL_DATA_UNSPECIFIED,
              "data directions");
// The request block is laid out exactly as the platform's own.
static_assert(sizeof(ScsiPassThroughDirect) == sizeof(SCSI_PASS_THROUGH_DIRECT), "size");
static_assert(offsetof(ScsiPassThroughDirect, DataIn) == offsetof(SCSI_PASS_THROUGH_DIRECT, DataIn),
              "DataIn");
static_assert(offsetof(ScsiPassThroughDirect, DataTransferLength) ==
                  offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength),
              "DataTransferLength");
static_assert(offsetof(ScsiPassThroughDirect, DataBuffer) ==
                  offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer),
              "DataBuffer");
static_assert(offsetof(ScsiPassThroughDirect, SenseInfoOffset) ==
                  offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset),
              "SenseInfoOffset");
static_assert(offsetof(ScsiPassThroughDirect, Cdb) == offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb),
              "Cdb");

namespace {

HWND Hwnd(WindowHandle window) { return static_cast<HWND>(window); }

// An exception that escaped a handler is reported here: it must not unwind
// through the system's own frames.
void ReportException(HWND window, const std::string& what) {
  MessageBoxA(window, what.c_str(), AfxGetAppName().c_str(), MB_OK | MB_ICONERROR);
}

Rect ToRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* target = reinterpret_cast<DialogTarget*>(GetWindowLongPtrA(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    target = reinterpret_cast<DialogTarget*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    target->AttachWindow(window);
  }
  if (target == nullptr) return FALSE;
  try {
    LResult result = 0;
    if (!target->HandleMessage(message, wParam, lParam, result)) return FALSE;
    if (message == WM_INITDIALOG || message == WM_QUERYDRAGICON) {
      return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
  } catch (CFileException* exception) {
    ReportException(window, FormatString("File exception %d", exception->Cause()));
    exception->Delete();
  } catch (const std::exception& exception) {
    ReportException(window, exception.what());
  } catch (...) {
    ReportException(window, "Unexpected error");
  }
  return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

std::string Win32Platform::ModulePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

void Win32Platform::ExitProcess(unsigned exitCode) { ::ExitProcess(exitCode); }

bool Win32Platform::GetVersion(OsVersionInfo& info) {
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the 148-byte form");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  info.majorVersion = version.dwMajorVersion;
  info.minorVersion = version.dwMinorVersion;
  info.buildNumber = version.dwBuildNumber;
  info.platformId = version.dwPlatformId;
  return true;
}

void Win32Platform::UpperCaseAnsi(std::string& text) {
  if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
}

LResult Win32Platform::RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), Hwnd(owner),
                         DialogProcedure, reinterpret_cast<LPARAM>(&target));
}

void Win32Platform::EndDialog(WindowHandle dialog, LResult result) {
  ::EndDialog(Hwnd(dialog), result);
}

WindowHandle Win32Platform::GetDlgItem(WindowHandle dialog, int id) {
  return ::GetDlgItem(Hwnd(dialog), id);
}

WindowHandle Win32Platform::GetNextWindow(WindowHandle window) {
  return ::GetWindow(Hwnd(window), GW_HWNDNEXT);
}

std::uint32_t Win32Platform::GetStyle(WindowHandle window) {
  return static_cast<std::uint32_t>(GetWindowLongA(Hwnd(window), GWL_STYLE));
}

LResult Win32Platform::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                   LParam lParam) {
  return SendMessageA(Hwnd(window), message, wParam, lParam);
}

bool Win32Platform::EnableWindow(WindowHandle window, bool enable) {
  return ::EnableWindow(Hwnd(window), enable) != FALSE;
}

bool Win32Platform::IsWindowEnabled(WindowHandle window) {
  return ::IsWindowEnabled(Hwnd(window)) != FALSE;
}

bool Win32Platform::SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                                 std::uint32_t flags) {
  return ::SetWindowPos(Hwnd(window), nullptr, x, y, cx, cy, flags) != FALSE;
}

bool Win32Platform::GetWindowRect(WindowHandle window, Rect& rect) {
  RECT frame{};
  const bool done = ::GetWindowRect(Hwnd(window), &frame) != FALSE;
  rect = ToRect(frame);
  return done;
}

WindowHandle Win32Platform::GetOwner(WindowHandle window) {
  return ::GetWindow(Hwnd(window), GW_OWNER);
}

bool Win32Platform::IsWindowVisible(WindowHandle window) {
  return ::IsWindowVisible(Hwnd(window)) != FALSE;
}

int Win32Platform::MessageBox(WindowHandle owner, const std::string& text,
                              const std::string& caption, std::uint32_t type) {
  return MessageBoxA(Hwnd(owner), text.c_str(), caption.c_str(), type);
}

std::string Win32Platform::LoadString(int id) {
  char text[256] = {};
  const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof text);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

IconHandle Win32Platform::LoadIcon(int id) {
  return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

std::vector<WindowHandle> Win32Platform::GetDescendants(WindowHandle window) {
  std::vector<WindowHandle> descendants;
  EnumChildWindows(Hwnd(window), CollectWindow, reinterpret_cast<LPARAM>(&descendants));
  return descendants;
}

bool Win32Platform::InvalidateRect(WindowHandle window, bool erase) {
  return ::InvalidateRect(Hwnd(window), nullptr, erase) != FALSE;
}

FontHandle Win32Platform::CreateFont(int height, const std::string& faceName) {
  LOGFONTA font;
  ZeroMemory(&font, sizeof font);
  font.lfHeight = height;
  lstrcpynA(font.lfFaceName, faceName.c_str(), LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

bool Win32Platform::DeleteFont(FontHandle font) {
  return DeleteObject(static_cast<HGDIOBJ>(font)) != FALSE;
}

MenuHandle Win32Platform::GetSystemMenu(WindowHandle window) {
  return ::GetSystemMenu(Hwnd(window), FALSE);
}

bool Win32Platform::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                               const char* text) {
  return AppendMenuA(static_cast<HMENU>(menu), flags, id, text) != FALSE;
}

bool Win32Platform::IsIconic(WindowHandle window) { return ::IsIconic(Hwnd(window)) != FALSE; }

int Win32Platform::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

void Win32Platform::GetClientSize(WindowHandle window, int& width, int& height) {
  RECT client{};
  GetClientRect(Hwnd(window), &client);
  width = client.right - client.left;
  height = client.bottom - client.top;
}

void Win32Platform::Paint(WindowHandle window, const std::function<void(void* dc)>& paint) {
  PAINTSTRUCT state;
  HDC dc = BeginPaint(Hwnd(window), &state);
  paint(dc);
  EndPaint(Hwnd(window), &state);
}

bool Win32Platform::DrawIcon(void* dc, int x, int y, IconHandle icon) {
  return ::DrawIcon(static_cast<HDC>(dc), x, y, static_cast<HICON>(icon)) != FALSE;
}

std::uint32_t Win32Platform::GetLogicalDriveStrings(std::uint32_t length, char* buffer) {
  return GetLogicalDriveStringsA(length, buffer);
}

DeviceHandle Win32Platform::CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                                       std::uint32_t disposition, std::uint32_t flags) {
  return CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
}

bool Win32Platform::DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in,
                                    std::uint32_t inLength, void* out, std::uint32_t outLength,
                                    std::uint32_t* bytesReturned) {
  DWORD returned = 0;
  const BOOL done = ::DeviceIoControl(device, code, in, inLength, out, outLength, &returned, nullptr);
  if (bytesReturned != nullptr) *bytesReturned = returned;
  return done != FALSE;
}

bool Win32Platform::CloseHandle(void* handle) { return ::CloseHandle(handle) != FALSE; }

ModuleHandle Win32Platform::LoadLibrary(const char* name) { return LoadLibraryA(name); }

void* Win32Platform::GetProcAddress(ModuleHandle module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool Win32Platform::FreeLibrary(ModuleHandle module) {
  return ::FreeLibrary(static_cast<HMODULE>(module)) != FALSE;
}

ModuleHandle Win32Platform::GetModuleHandle(const char* name) { return GetModuleHandleA(name); }

bool Win32Platform::GetSystemWorkArea(Rect& area) {
  RECT work{};
  const bool done = SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) != FALSE;
  area = ToRect(work);
  return done;
}

void* Win32Platform::CallMonitorFromWindow(void* entry, WindowHandle window, std::uint32_t flags) {
  using MonitorFromWindowFunction = HMONITOR(WINAPI*)(HWND, DWORD);
  return reinterpret_cast<MonitorFromWindowFunction>(entry)(Hwnd(window), flags);
}

bool Win32Platform::CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) {
  using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!reinterpret_cast<GetMonitorInfoFunction>(entry)(static_cast<HMONITOR>(monitor), &info)) {
    return false;
  }
  workArea = ToRect(info.rcWork);
  return true;
}

std::uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

EventHandle Win32Platform::CreateEvent(bool manualReset, bool initialState) {
  return CreateEventA(nullptr, manualReset, initialState, nullptr);
}

bool Win32Platform::ResetEvent(EventHandle event) { return ::ResetEvent(event) != FALSE; }

std::uint32_t Win32Platform::WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(event, milliseconds);
}

void* Win32Platform::GetProcAddressByOrdinal(ModuleHandle module, int ordinal) {
  return reinterpret_cast<void*>(
      ::GetProcAddress(static_cast<HMODULE>(module), MAKEINTRESOURCEA(ordinal)));
}

bool Win32Platform::ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                                           std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  std::string buffer(maxBytes, '\0');
  DWORD size = static_cast<DWORD>(maxBytes);
  DWORD type = 0;
  const LONG status = RegQueryValueExA(key, nullptr, nullptr, &type,
                                       reinterpret_cast<BYTE*>(&buffer[0]), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  value.assign(buffer.c_str());
  return true;
}

WindowHandle Win32Platform::GetDesktopWindow() { return ::GetDesktopWindow(); }

WindowHandle Win32Platform::CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                                         std::uint32_t command, std::uintptr_t data) {
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  return reinterpret_cast<HtmlHelpFunction>(entry)(Hwnd(caller), file, command, data);
}
