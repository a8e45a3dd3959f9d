// The parts of the platform that the command-line program does not have:
// no windows, message boxes, resources, libraries, help or events. Each call
// fails as it would on a system without them.
#include "platform/linux/LinuxPlatform.h"

namespace linuxplatform {

namespace {
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;
}

LResult LinuxPlatform::RunModalDialog(int, WindowHandle, DialogTarget&) { return -1; }
void LinuxPlatform::EndDialog(WindowHandle, LResult) {}
WindowHandle LinuxPlatform::GetDlgItem(WindowHandle, int) { return nullptr; }
WindowHandle LinuxPlatform::GetNextWindow(WindowHandle) { return nullptr; }
std::uint32_t LinuxPlatform::GetStyle(WindowHandle) { return 0; }
LResult LinuxPlatform::SendMessage(WindowHandle, std::uint32_t, WParam, LParam) { return 0; }
bool LinuxPlatform::EnableWindow(WindowHandle, bool) { return false; }
bool LinuxPlatform::IsWindowEnabled(WindowHandle) { return false; }
bool LinuxPlatform::SetWindowPos(WindowHandle, int, int, int, int, std::uint32_t) { return false; }
int LinuxPlatform::MessageBox(WindowHandle, const std::string&, const std::string&, std::uint32_t) {
  return 0;  // a failed message box: no answer, and so no consent
}
std::string LinuxPlatform::LoadString(int) { return std::string(); }
IconHandle LinuxPlatform::LoadIcon(int) { return nullptr; }
std::vector<WindowHandle> LinuxPlatform::GetDescendants(WindowHandle) { return {}; }
bool LinuxPlatform::InvalidateRect(WindowHandle, bool) { return false; }
FontHandle LinuxPlatform::CreateFont(int, const std::string&) { return nullptr; }
bool LinuxPlatform::DeleteFont(FontHandle) { return false; }
MenuHandle LinuxPlatform::GetSystemMenu(WindowHandle) { return nullptr; }
bool LinuxPlatform::AppendMenu(MenuHandle, std::uint32_t, std::uintptr_t, const char*) {
  return false;
}
bool LinuxPlatform::IsIconic(WindowHandle) { return false; }
int LinuxPlatform::GetSystemMetrics(int) { return 0; }
void LinuxPlatform::GetClientSize(WindowHandle, int& width, int& height) { width = height = 0; }
void LinuxPlatform::Paint(WindowHandle, const std::function<void(void* dc)>&) {}
bool LinuxPlatform::DrawIcon(void*, int, int, IconHandle) { return false; }

ModuleHandle LinuxPlatform::LoadLibrary(const char*) {
  Fail(kErrorModNotFound, 0);
  return nullptr;
}
void* LinuxPlatform::GetProcAddress(ModuleHandle, const char*) { return nullptr; }
bool LinuxPlatform::FreeLibrary(ModuleHandle) { return false; }
void* LinuxPlatform::GetProcAddressByOrdinal(ModuleHandle, int) { return nullptr; }
bool LinuxPlatform::ReadClassesRootDefault(const std::string&, std::size_t, std::string&) {
  return false;
}
WindowHandle LinuxPlatform::GetDesktopWindow() { return nullptr; }
WindowHandle LinuxPlatform::CallHtmlHelp(void*, WindowHandle, const char*, std::uint32_t,
                                         std::uintptr_t) {
  return nullptr;
}
EventHandle LinuxPlatform::CreateEvent(bool, bool) { return nullptr; }
bool LinuxPlatform::ResetEvent(EventHandle) { return false; }
std::uint32_t LinuxPlatform::WaitForSingleObject(EventHandle, std::uint32_t) { return kWaitFailed; }

}  // namespace linuxplatform
