#include "tests/faults/JourneyPlatform.h"

#include <cstdio>

#include "res/resource.h"
#include "scsi/AspiSrb.h"
#include "scsi/SptiRequestBlock.h"

namespace test {

namespace {

JourneyPlatform* g_journey = nullptr;

std::uint32_t SupportInfoTrampoline() { return g_journey->GuardedAspiSupportInfo(); }
std::uint32_t SendCommandTrampoline(void* srb) { return g_journey->GuardedAspiSendCommand(srb); }

std::string AspiAddress(unsigned adapter, unsigned target, unsigned lun) {
  char text[16];
  std::snprintf(text, sizeof text, "%u:%u:%u", adapter, target, lun);
  return text;
}

// The dialog side runs as the program's code.
class ProgramTarget : public DialogTarget {
 public:
  ProgramTarget(DialogTarget& target, WindowHandle* window) : target_(target), window_(window) {}

  void AttachWindow(WindowHandle window) override {
    if (window_ != nullptr) *window_ = window;
    ProgramCode program;
    target_.AttachWindow(window);
  }
  bool HandleMessage(std::uint32_t message, WParam wParam, LParam lParam,
                     LResult& result) override {
    ProgramCode program;
    return target_.HandleMessage(message, wParam, lParam, result);
  }

 private:
  DialogTarget& target_;
  WindowHandle* window_;
};

}  // namespace

JourneyPlatform::JourneyPlatform() { g_journey = this; }
JourneyPlatform::~JourneyPlatform() { g_journey = nullptr; }

std::string JourneyPlatform::ShownDevice() const {
  if (mainWindow_ == nullptr) return std::string();
  const memory::MemoryWindow* box = Control(mainWindow_, IDC_DRIVE_BOX);
  if (box == nullptr || box->curSel < 0 || box->curSel >= static_cast<int>(box->lines.size())) {
    return std::string();
  }
  const std::string& line = box->lines[static_cast<std::size_t>(box->curSel)];
  // "VENDOR PRODUCT (D:)" from a drive letter, "0:1:0  CD/DVD VENDOR..." from the bus scan.
  if (line.size() >= 4 && line.compare(line.size() - 2, 2, ":)") == 0) {
    return line.substr(line.size() - 3, 2);
  }
  unsigned adapter = 0, target = 0, lun = 0;
  if (std::sscanf(line.c_str(), "%u:%u:%u", &adapter, &target, &lun) == 3) {
    return AspiAddress(adapter, target, lun);
  }
  return std::string();
}

void JourneyPlatform::LogCommand(const std::string& device, const std::uint8_t* cdb,
                                 std::size_t length) {
  JourneyEvent event;
  event.kind = JourneyEvent::Command;
  event.device = device;
  event.shown = ShownDevice();
  event.cdb.assign(cdb, cdb + length);
  events_.push_back(event);
}

// --- Calls that the journeys look at -------------------------------------------

LResult JourneyPlatform::RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) {
  TestCode test;
  ProgramTarget program(target, templateId == IDD_BITSET_DIALOG ? &mainWindow_ : nullptr);
  return MemoryPlatform::RunModalDialog(templateId, owner, program);
}

int JourneyPlatform::MessageBox(WindowHandle owner, const std::string& text,
                                const std::string& caption, std::uint32_t type) {
  TestCode test;
  const std::size_t shownBefore = MessageBoxes().size();
  const int answer = MemoryPlatform::MessageBox(owner, text, caption, type);
  const bool shown = MessageBoxes().size() > shownBefore;
  JourneyEvent event;
  event.kind = (type & 0xF) == Mb::YesNo ? JourneyEvent::Question : JourneyEvent::Message;
  event.answer = shown ? answer : 0;
  if (shown) events_.push_back(event);
  return answer;
}

DeviceHandle JourneyPlatform::CreateFile(const char* path, std::uint32_t access,
                                         std::uint32_t share, std::uint32_t disposition,
                                         std::uint32_t flags) {
  TestCode test;
  DeviceHandle handle = MemoryPlatform::CreateFile(path, access, share, disposition, flags);
  if (handle != InvalidDeviceHandle()) openDrives_[handle] = std::string(path).substr(4);
  return handle;
}

bool JourneyPlatform::DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in,
                                      std::uint32_t inLength, void* out, std::uint32_t outLength,
                                      std::uint32_t* bytesReturned) {
  TestCode test;
  const std::size_t eventsBefore = DeviceEvents().size();
  const bool result =
      MemoryPlatform::DeviceIoControl(device, code, in, inLength, out, outLength, bytesReturned);
  // Only a request that reached a drive is a command.
  if (DeviceEvents().size() > eventsBefore && DeviceEvents().back().kind == memory::DeviceEvent::Io &&
      !DeviceEvents().back().cdb.empty()) {
    const auto& cdb = DeviceEvents().back().cdb;
    LogCommand(openDrives_[device], cdb.data(), cdb.size());
  }
  return result;
}

bool JourneyPlatform::CloseHandle(void* handle) {
  TestCode test;
  const bool closed = MemoryPlatform::CloseHandle(handle);
  if (closed) openDrives_.erase(handle);
  return closed;
}

void* JourneyPlatform::GetProcAddress(ModuleHandle module, const char* name) {
  TestCode test;
  void* entry = MemoryPlatform::GetProcAddress(module, name);
  if (entry == nullptr) return entry;
  const std::string function(name);
  if (function == "GetASPI32SupportInfo") {
    supportInfo_ = reinterpret_cast<SupportInfoEntry>(entry);
    return reinterpret_cast<void*>(&SupportInfoTrampoline);
  }
  if (function == "SendASPI32Command") {
    sendCommand_ = reinterpret_cast<SendCommandEntry>(entry);
    return reinterpret_cast<void*>(&SendCommandTrampoline);
  }
  return entry;
}

std::uint32_t JourneyPlatform::GuardedAspiSupportInfo() {
  TestCode test;
  return supportInfo_();
}

std::uint32_t JourneyPlatform::GuardedAspiSendCommand(void* srb) {
  TestCode test;
  const auto* request = static_cast<const SrbExecScsiCmd*>(srb);
  if (request->SRB_Cmd == kScExecScsiCmd && Aspi() != nullptr) {
    const std::uint32_t key = static_cast<std::uint32_t>(request->SRB_HaId << 16 |
                                                         request->SRB_Target << 8 | request->SRB_Lun);
    if (Aspi()->devices.count(key) != 0) {
      LogCommand(AspiAddress(request->SRB_HaId, request->SRB_Target, request->SRB_Lun),
                 request->CDBByte, std::min<std::size_t>(request->SRB_CDBLen, 16));
    }
  }
  return sendCommand_(srb);
}

void JourneyPlatform::Paint(WindowHandle window, const std::function<void(void* dc)>& paint) {
  TestCode test;
  MemoryPlatform::Paint(window, [&paint](void* dc) {
    ProgramCode program;
    paint(dc);
  });
}

// --- Every other call: the test's code -------------------------------------------

std::string JourneyPlatform::ModulePath() {
  TestCode test;
  return MemoryPlatform::ModulePath();
}
void JourneyPlatform::ExitProcess(unsigned exitCode) {
  TestCode test;
  MemoryPlatform::ExitProcess(exitCode);
}
bool JourneyPlatform::GetVersion(OsVersionInfo& info) {
  TestCode test;
  return MemoryPlatform::GetVersion(info);
}
void JourneyPlatform::UpperCaseAnsi(std::string& text) {
  TestCode test;
  MemoryPlatform::UpperCaseAnsi(text);
}
void JourneyPlatform::EndDialog(WindowHandle dialog, LResult result) {
  TestCode test;
  MemoryPlatform::EndDialog(dialog, result);
}
WindowHandle JourneyPlatform::GetDlgItem(WindowHandle dialog, int id) {
  TestCode test;
  return MemoryPlatform::GetDlgItem(dialog, id);
}
WindowHandle JourneyPlatform::GetNextWindow(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::GetNextWindow(window);
}
std::uint32_t JourneyPlatform::GetStyle(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::GetStyle(window);
}
LResult JourneyPlatform::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                     LParam lParam) {
  TestCode test;
  return MemoryPlatform::SendMessage(window, message, wParam, lParam);
}
bool JourneyPlatform::EnableWindow(WindowHandle window, bool enable) {
  TestCode test;
  return MemoryPlatform::EnableWindow(window, enable);
}
bool JourneyPlatform::IsWindowEnabled(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::IsWindowEnabled(window);
}
bool JourneyPlatform::SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                                   std::uint32_t flags) {
  TestCode test;
  return MemoryPlatform::SetWindowPos(window, x, y, cx, cy, flags);
}
std::string JourneyPlatform::LoadString(int id) {
  TestCode test;
  return MemoryPlatform::LoadString(id);
}
IconHandle JourneyPlatform::LoadIcon(int id) {
  TestCode test;
  return MemoryPlatform::LoadIcon(id);
}
std::vector<WindowHandle> JourneyPlatform::GetDescendants(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::GetDescendants(window);
}
bool JourneyPlatform::InvalidateRect(WindowHandle window, bool erase) {
  TestCode test;
  return MemoryPlatform::InvalidateRect(window, erase);
}
FontHandle JourneyPlatform::CreateFont(int height, const std::string& faceName) {
  TestCode test;
  return MemoryPlatform::CreateFont(height, faceName);
}
bool JourneyPlatform::DeleteFont(FontHandle font) {
  TestCode test;
  return MemoryPlatform::DeleteFont(font);
}
MenuHandle JourneyPlatform::GetSystemMenu(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::GetSystemMenu(window);
}
bool JourneyPlatform::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                 const char* text) {
  TestCode test;
  return MemoryPlatform::AppendMenu(menu, flags, id, text);
}
bool JourneyPlatform::IsIconic(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::IsIconic(window);
}
int JourneyPlatform::GetSystemMetrics(int index) {
  TestCode test;
  return MemoryPlatform::GetSystemMetrics(index);
}
void JourneyPlatform::GetClientSize(WindowHandle window, int& width, int& height) {
  TestCode test;
  MemoryPlatform::GetClientSize(window, width, height);
}
bool JourneyPlatform::DrawIcon(void* dc, int x, int y, IconHandle icon) {
  TestCode test;
  return MemoryPlatform::DrawIcon(dc, x, y, icon);
}
std::uint32_t JourneyPlatform::GetLogicalDriveStrings(std::uint32_t length, char* buffer) {
  TestCode test;
  return MemoryPlatform::GetLogicalDriveStrings(length, buffer);
}
ModuleHandle JourneyPlatform::LoadLibrary(const char* name) {
  TestCode test;
  return MemoryPlatform::LoadLibrary(name);
}
bool JourneyPlatform::FreeLibrary(ModuleHandle module) {
  TestCode test;
  return MemoryPlatform::FreeLibrary(module);
}
std::uint32_t JourneyPlatform::GetLastError() {
  TestCode test;
  return MemoryPlatform::GetLastError();
}
void* JourneyPlatform::GetProcAddressByOrdinal(ModuleHandle module, int ordinal) {
  TestCode test;
  return MemoryPlatform::GetProcAddressByOrdinal(module, ordinal);
}
bool JourneyPlatform::ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                                             std::string& value) {
  TestCode test;
  return MemoryPlatform::ReadClassesRootDefault(subKey, maxBytes, value);
}
WindowHandle JourneyPlatform::GetDesktopWindow() {
  TestCode test;
  return MemoryPlatform::GetDesktopWindow();
}
bool JourneyPlatform::GetWindowRect(WindowHandle window, Rect& rect) {
  TestCode test;
  return MemoryPlatform::GetWindowRect(window, rect);
}
WindowHandle JourneyPlatform::GetOwner(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::GetOwner(window);
}
bool JourneyPlatform::IsWindowVisible(WindowHandle window) {
  TestCode test;
  return MemoryPlatform::IsWindowVisible(window);
}
ModuleHandle JourneyPlatform::GetModuleHandle(const char* name) {
  TestCode test;
  return MemoryPlatform::GetModuleHandle(name);
}
bool JourneyPlatform::GetSystemWorkArea(Rect& area) {
  TestCode test;
  return MemoryPlatform::GetSystemWorkArea(area);
}
void* JourneyPlatform::CallMonitorFromWindow(void* entry, WindowHandle window,
                                             std::uint32_t flags) {
  TestCode test;
  return MemoryPlatform::CallMonitorFromWindow(entry, window, flags);
}
bool JourneyPlatform::CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) {
  TestCode test;
  return MemoryPlatform::CallGetMonitorInfo(entry, monitor, workArea);
}
WindowHandle JourneyPlatform::CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                                           std::uint32_t command, std::uintptr_t data) {
  TestCode test;
  return MemoryPlatform::CallHtmlHelp(entry, caller, file, command, data);
}
EventHandle JourneyPlatform::CreateEvent(bool manualReset, bool initialState) {
  TestCode test;
  return MemoryPlatform::CreateEvent(manualReset, initialState);
}
bool JourneyPlatform::ResetEvent(EventHandle event) {
  TestCode test;
  return MemoryPlatform::ResetEvent(event);
}
std::uint32_t JourneyPlatform::WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) {
  TestCode test;
  return MemoryPlatform::WaitForSingleObject(event, milliseconds);
}

}  // namespace test
