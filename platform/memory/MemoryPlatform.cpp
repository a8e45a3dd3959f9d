#include "platform/memory/MemoryPlatform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/FileException.h"
#include "framework/MessageMap.h"
#include "res/DialogTemplates.h"
#include "scsi/AspiSrb.h"
#include "scsi/ScsiPassThroughDirect.h"

namespace memory {

namespace {

MemoryPlatform* g_current = nullptr;

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorModuleNotFound = 126;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kScClose = 0xF060;

std::uint32_t AspiSupportInfoEntry() { return g_current->AspiSupportInfo(); }
std::uint32_t AspiSendCommandEntry(void* srb) { return g_current->AspiSendCommand(srb); }
std::uint32_t AspiUnusedEntry() { return 0; }

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

bool IsRadio(const MemoryWindow* window) {
  return window->windowClass == "BUTTON" && (window->style & 0xF) == Style::BsAutoRadioButton;
}

// Windows-1252 upper case: ASCII, and the accented Latin letters.
char UpperCase1252(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  if (byte == 0x9A || byte == 0x9C || byte == 0x9E) return static_cast<char>(byte - 0x10);
  if (byte == 0xFF) return static_cast<char>(0x9F);
  return c;
}

std::uint32_t AspiKey(int adapter, int target, int lun) {
  return static_cast<std::uint32_t>(adapter << 16 | target << 8 | lun);
}

}  // namespace

sim::DriveModel& AspiSimulation::AddDevice(int adapter, int target, int lun,
                                           sim::DriveConfig config) {
  auto result = devices.insert_or_assign(AspiKey(adapter, target, lun), sim::DriveModel(config));
  return result.first->second;
}

MemoryPlatform::MemoryPlatform() {
  previous_ = g_current;
  g_current = this;
  SetPlatform(this);
  strings_[101] = "&About Sorvel Util...";
}

MemoryPlatform::~MemoryPlatform() {
  g_current = previous_;
  SetPlatform(previous_);
}

void MemoryPlatform::MaybeThrow(const std::string& call) {
  if (throwAt_.empty() || throwAt_ != call || --throwCountdown_ > 0) return;
  throwAt_.clear();
  auto* exception = new CFileException(0);
  thrownException_ = ExceptionNumber(exception);
  throw exception;
}

// --- Set-up ------------------------------------------------------------------

void MemoryPlatform::SetVersion(std::uint32_t platformId, std::uint32_t major,
                                std::uint32_t minor) {
  version_ = OsVersionInfo{major, minor, 0, platformId};
  versionFails_ = false;
}

sim::DriveModel& MemoryPlatform::AddDrive(char letter, sim::DriveConfig config) {
  DriveSlot& slot = drives_[letter];
  slot.model = std::make_unique<sim::DriveModel>(std::move(config));
  slot.openable = true;
  driveRoots_.push_back(std::string(1, letter) + ":\\");
  return *slot.model;
}

void MemoryPlatform::AddUnopenableDrive(char letter) {
  drives_[letter].openable = false;
  driveRoots_.push_back(std::string(1, letter) + ":\\");
}

sim::DriveModel* MemoryPlatform::Drive(char letter) {
  auto found = drives_.find(letter);
  return found == drives_.end() ? nullptr : found->second.model.get();
}

void MemoryPlatform::OnModal(int templateId, std::function<void(WindowHandle)> session) {
  sessions_[templateId].push_back(std::move(session));
}

void MemoryPlatform::SetIconic(WindowHandle dialog, bool iconic) { Window(dialog)->iconic = iconic; }

AspiSimulation& MemoryPlatform::InstallAspi(const std::string& place) {
  libraryPlaces_[place] = true;
  if (!aspi_) aspi_ = std::make_unique<AspiSimulation>();
  return *aspi_;
}

// --- What the user does -------------------------------------------------------

void MemoryPlatform::Command(MemoryWindow* dialog, int id, std::uint32_t code,
                             MemoryWindow* control) {
  LResult ignored = 0;
  Dispatch(dialog, Msg::Command, MakeCommandWParam(id, code), reinterpret_cast<LParam>(control),
           ignored);
}

void MemoryPlatform::SelectLine(WindowHandle dialog, int comboId, int index) {
  MemoryWindow* combo = Control(dialog, comboId);
  if (combo == nullptr || Window(dialog)->ended || !combo->enabled) return;
  if (index < 0 || index >= static_cast<int>(combo->lines.size())) return;
  combo->curSel = index;
  Command(Window(dialog), comboId, Cbn::SelChange, combo);
}

bool MemoryPlatform::Click(WindowHandle dialog, int id) {
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

void MemoryPlatform::Close(WindowHandle dialog) {
  if (Window(dialog)->ended) return;
  LResult result = 0;
  Dispatch(Window(dialog), Msg::Close, 0, 0, result);
}

void MemoryPlatform::SystemCommand(WindowHandle dialog, std::uint32_t command) {
  if (Window(dialog)->ended) return;
  LResult result = 0;
  Dispatch(Window(dialog), Msg::SysCommand, command, 0, result);
}

// --- Inspection ----------------------------------------------------------------

MemoryWindow* MemoryPlatform::Control(WindowHandle dialog, int id) const {
  for (MemoryWindow* child : Window(dialog)->children) {
    if (child->id == id) return child;
  }
  return nullptr;
}

std::string MemoryPlatform::Text(WindowHandle dialog, int id) const { return Control(dialog, id)->text; }

bool MemoryPlatform::Enabled(WindowHandle dialog, int id) const {
  return Control(dialog, id)->enabled;
}

int MemoryPlatform::Checked(WindowHandle dialog, int id) const { return Control(dialog, id)->check; }

std::vector<std::string> MemoryPlatform::MessageTexts() const {
  std::vector<std::string> texts;
  for (const MessageBoxRecord& box : messageBoxes_) texts.push_back(box.text);
  return texts;
}

int MemoryPlatform::TraceIndex(const std::string& prefix) const {
  for (std::size_t i = 0; i < trace_.size(); ++i) {
    if (trace_[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
  }
  return -1;
}

// --- Process -------------------------------------------------------------------

void MemoryPlatform::ExitProcess(unsigned exitCode) {
  trace_.push_back("ExitProcess " + std::to_string(exitCode));
  throw ProcessExit{exitCode};
}

bool MemoryPlatform::GetVersion(OsVersionInfo& info) {
  trace_.push_back("GetVersion");
  if (versionFails_) return false;
  info = version_;
  return true;
}

void MemoryPlatform::UpperCaseAnsi(std::string& text) {
  std::transform(text.begin(), text.end(), text.begin(), UpperCase1252);
}

// --- Windows -------------------------------------------------------------------

MemoryWindow* MemoryPlatform::CreateDialogWindow(int templateId, MemoryWindow* owner) {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
  if (dialogTemplate == nullptr) return nullptr;
  windows_.push_back(std::make_unique<MemoryWindow>());
  MemoryWindow* dialog = windows_.back().get();
  dialog->windowClass = "#32770";
  dialog->text = dialogTemplate->caption;
  dialog->style = dialogTemplate->style;
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

LResult MemoryPlatform::RunModalDialog(int templateId, WindowHandle owner, DialogTarget& target) {
  trace_.push_back("RunModalDialog " + std::to_string(templateId));
  MemoryWindow* ownerWindow = Window(owner);
  MemoryWindow* dialog = CreateDialogWindow(templateId, ownerWindow);
  if (dialog == nullptr) return -1;
  lastDialog_ = dialog;
  const bool ownerWasEnabled = ownerWindow != nullptr && ownerWindow->enabled;
  if (ownerWindow != nullptr) ownerWindow->enabled = false;
  dialog->target = &target;
  target.AttachWindow(dialog);
  LResult ignored = 0;
  target.HandleMessage(Msg::InitDialog, 0, 0, ignored);
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
  if (ownerWindow != nullptr) ownerWindow->enabled = ownerWasEnabled;
  dialogResults_.push_back(dialog->result);
  trace_.push_back("DialogEnded " + std::to_string(templateId));
  return dialog->result;
}

void MemoryPlatform::EndDialog(WindowHandle dialog, LResult result) {
  MemoryWindow* window = Window(dialog);
  trace_.push_back("EndDialog " + std::to_string(result));
  // As on Windows, a later call before the modal loop returns sets the result anew.
  if (window == nullptr || window->target == nullptr) return;
  window->ended = true;
  window->result = result;
}

bool MemoryPlatform::Dispatch(MemoryWindow* dialog, std::uint32_t message, WParam wParam,
                              LParam lParam, LResult& result) {
  if (dialog->target != nullptr &&
      dialog->target->HandleMessage(message, wParam, lParam, result)) {
    return true;
  }
  result = DefaultDialogHandling(dialog, message, wParam, lParam);
  return false;
}

LResult MemoryPlatform::DefaultDialogHandling(MemoryWindow* dialog, std::uint32_t message,
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
    trace_.push_back("DefaultPaint");
  }
  return 0;
}

WindowHandle MemoryPlatform::GetDlgItem(WindowHandle dialog, int id) {
  MaybeThrow("GetDlgItem");
  return Control(dialog, id);
}

WindowHandle MemoryPlatform::GetNextWindow(WindowHandle window) {
  MemoryWindow* self = Window(window);
  if (self->parent == nullptr) return nullptr;
  auto& siblings = self->parent->children;
  auto at = std::find(siblings.begin(), siblings.end(), self);
  if (at == siblings.end() || ++at == siblings.end()) return nullptr;
  return *at;
}

std::uint32_t MemoryPlatform::GetStyle(WindowHandle window) { return Window(window)->style; }

LResult MemoryPlatform::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                    LParam lParam) {
  MemoryWindow* target = Window(window);
  if (target == nullptr) return 0;
  if (target->windowClass != "#32770") return ControlMessage(target, message, wParam, lParam);
  trace_.push_back("Dialog " + Hex(message) + " " + std::to_string(wParam));
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

LResult MemoryPlatform::ControlMessage(MemoryWindow* control, std::uint32_t message, WParam wParam,
                                       LParam lParam) {
  const std::string name = std::to_string(control->id);
  switch (message) {
    case Msg::SetText:
      trace_.push_back("SetText " + name + " " + reinterpret_cast<const char*>(lParam));
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
      trace_.push_back("SetFont " + name + (lParam != 0 ? " redraw" : ""));
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
      trace_.push_back("CB_RESETCONTENT " + name);
      control->lines.clear();
      control->curSel = -1;
      return 0;
    case Cb::AddString:
      trace_.push_back("CB_ADDSTRING " + name);
      control->lines.emplace_back(reinterpret_cast<const char*>(lParam));
      return static_cast<LResult>(control->lines.size() - 1);
    case Cb::SetCurSel: {
      trace_.push_back("CB_SETCURSEL " + name + " " + std::to_string(static_cast<int>(wParam)));
      const auto index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(control->lines.size())) {
        control->curSel = -1;
        return Cb::Err;
      }
      control->curSel = index;
      return index;
    }
    case Cb::GetCurSel:
      MaybeThrow("CB_GETCURSEL");
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
      trace_.push_back("Message " + name + " " + Hex(message));
      return 0;
  }
}

bool MemoryPlatform::EnableWindow(WindowHandle window, bool enable) {
  MemoryWindow* target = Window(window);
  trace_.push_back("EnableWindow " + std::to_string(target->id) + (enable ? " on" : " off"));
  const bool wasDisabled = !target->enabled;
  target->enabled = enable;
  return wasDisabled;
}

bool MemoryPlatform::IsWindowEnabled(WindowHandle window) { return Window(window)->enabled; }

bool MemoryPlatform::SetWindowPos(WindowHandle window, int x, int y, int cx, int cy,
                                  std::uint32_t flags) {
  MemoryWindow* target = Window(window);
  trace_.push_back("SetWindowPos " + std::to_string(target->id) + " " + std::to_string(x) + "," +
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

int MemoryPlatform::MessageBox(WindowHandle owner, const std::string& text,
                               const std::string& caption, std::uint32_t type) {
  int answer = Id::Ok;
  if ((type & 0xF) == Mb::YesNo) {
    answer = defaultAnswer_;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
  }
  trace_.push_back("MessageBox " + text);
  messageBoxes_.push_back(MessageBoxRecord{owner, text, caption, type, answer});
  return answer;
}

std::string MemoryPlatform::LoadString(int id) {
  auto found = strings_.find(id);
  return found == strings_.end() ? std::string() : found->second;
}

IconHandle MemoryPlatform::LoadIcon(int id) {
  trace_.push_back("LoadIcon " + std::to_string(id));
  return reinterpret_cast<IconHandle>(static_cast<std::uintptr_t>(0x1C0000 + id));
}

std::vector<WindowHandle> MemoryPlatform::GetDescendants(WindowHandle window) {
  std::vector<WindowHandle> descendants;
  for (MemoryWindow* child : Window(window)->children) descendants.push_back(child);
  return descendants;
}

bool MemoryPlatform::InvalidateRect(WindowHandle window, bool erase) {
  trace_.push_back(std::string("InvalidateRect ") + std::to_string(Window(window)->id) +
                   (erase ? " erase" : ""));
  return true;
}

FontHandle MemoryPlatform::CreateFont(int height, const std::string& faceName) {
  trace_.push_back("CreateFont " + faceName);
  fonts_.push_back(FontRecord{height, faceName, false});
  return reinterpret_cast<FontHandle>(static_cast<std::uintptr_t>(0xF0000 + fonts_.size()));
}

bool MemoryPlatform::DeleteFont(FontHandle font) {
  const auto index = reinterpret_cast<std::uintptr_t>(font) - 0xF0001;
  if (index >= fonts_.size()) return false;
  fonts_[index].deleted = true;
  return true;
}

MenuHandle MemoryPlatform::GetSystemMenu(WindowHandle window) {
  trace_.push_back("GetSystemMenu");
  return window;  // the dialog stands for its own system menu
}

bool MemoryPlatform::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                const char* text) {
  MemoryWindow* dialog = Window(menu);
  dialog->systemMenu.push_back((flags & Mf::Separator) != 0 ? std::string("-") : std::string(text));
  dialog->systemMenuIds.push_back(id);
  return true;
}

bool MemoryPlatform::IsIconic(WindowHandle window) { return Window(window)->iconic; }

int MemoryPlatform::GetSystemMetrics(int) { return 32; }

void MemoryPlatform::GetClientSize(WindowHandle, int& width, int& height) {
  width = clientWidth_;
  height = clientHeight_;
}

void MemoryPlatform::Paint(WindowHandle window, const std::function<void(void* dc)>& paint) {
  paint(window);
}

bool MemoryPlatform::DrawIcon(void*, int x, int y, IconHandle icon) {
  iconDraws_.push_back(IconDraw{x, y, icon});
  return true;
}

// --- Devices ---------------------------------------------------------------------

std::uint32_t MemoryPlatform::GetLogicalDriveStrings(std::uint32_t length, char* buffer) {
  trace_.push_back("GetLogicalDriveStrings");
  MaybeThrow("GetLogicalDriveStrings");
  std::string all;
  for (const std::string& root : driveRoots_) {
    all += root;
    all += '\0';
  }
  if (all.empty()) return 0;
  const auto needed = static_cast<std::uint32_t>(all.size() + 1);
  if (needed > length) return needed;  // too small: nothing is written
  std::memcpy(buffer, all.data(), all.size());
  buffer[all.size()] = '\0';
  return static_cast<std::uint32_t>(all.size());
}

DeviceHandle MemoryPlatform::CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                                        std::uint32_t disposition, std::uint32_t flags) {
  MaybeThrow("CreateFile");
  DeviceEvent event;
  event.kind = DeviceEvent::OpenFailed;
  event.path = path;
  event.access = access;
  event.share = share;
  event.disposition = disposition;
  event.flags = flags;
  const std::string name(path);
  char letter = 0;
  if (name.size() == 6 && name.compare(0, 4, "\\\\.\\") == 0 && name[5] == ':') letter = name[4];
  auto slot = drives_.find(letter);
  if (letter == 0 || slot == drives_.end() || !slot->second.openable) {
    lastError_ = kErrorFileNotFound;
    deviceEvents_.push_back(event);
    return InvalidDeviceHandle();
  }
  DeviceHandle handle = reinterpret_cast<DeviceHandle>(nextHandle_);
  nextHandle_ += 4;
  openDevices_[handle] = letter;
  event.kind = DeviceEvent::Open;
  event.handle = handle;
  event.drive = letter;
  deviceEvents_.push_back(event);
  return handle;
}

bool MemoryPlatform::DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in,
                                     std::uint32_t inLength, void* out, std::uint32_t outLength,
                                     std::uint32_t* bytesReturned) {
  DeviceEvent event;
  event.kind = DeviceEvent::Io;
  event.handle = device;
  event.code = code;
  event.inLength = inLength;
  event.outLength = outLength;
  auto open = openDevices_.find(device);
  if (open == openDevices_.end()) {
    lastError_ = kErrorInvalidHandle;
    deviceEvents_.push_back(event);
    return false;
  }
  event.drive = open->second;
  // The request is read from the output buffer, as Windows does.
  if (code != kIoctlScsiPassThroughDirect || inLength < sizeof(ScsiPassThroughDirect) ||
      outLength < inLength || in == nullptr || out == nullptr) {
    deviceEvents_.push_back(event);
    return false;
  }
  auto* request = static_cast<ScsiPassThroughDirect*>(out);
  event.cdb.assign(request->Cdb, request->Cdb + std::min<int>(request->CdbLength, 16));
  event.dataIn = request->DataIn;
  event.dataLength = request->DataTransferLength;
  event.timeOut = request->TimeOutValue;
  event.senseInfoLength = request->SenseInfoLength;
  const bool refused =
      std::find(refusedDrives_.begin(), refusedDrives_.end(), event.drive) != refusedDrives_.end();
  sim::DriveModel* model = Drive(event.drive);
  if (refused || model == nullptr || request->CdbLength == 0 || request->CdbLength > 16) {
    deviceEvents_.push_back(event);
    return false;
  }
  const sim::Direction direction = request->DataIn == kScsiIoctlDataIn   ? sim::Direction::FromDrive
                                   : request->DataIn == kScsiIoctlDataOut ? sim::Direction::ToDrive
                                                                          : sim::Direction::None;
  const sim::CommandResult result =
      model->Execute(request->Cdb, request->CdbLength, direction,
                     static_cast<std::uint8_t*>(request->DataBuffer), request->DataTransferLength);
  request->ScsiStatus = result.checkCondition ? 0x02 : 0x00;
  auto bare = bareStatus_.find(event.drive);
  if (!result.checkCondition && bare != bareStatus_.end()) request->ScsiStatus = bare->second;
  request->DataTransferLength = result.transferred;
  if (result.checkCondition && request->SenseInfoOffset < outLength) {
    const std::size_t room = outLength - request->SenseInfoOffset;
    sim::DriveModel::WriteSense(result.sense,
                                static_cast<std::uint8_t*>(out) + request->SenseInfoOffset,
                                std::min<std::size_t>(room, request->SenseInfoLength));
  }
  if (bytesReturned != nullptr) *bytesReturned = outLength;
  event.succeeded = true;
  deviceEvents_.push_back(event);
  return true;
}

bool MemoryPlatform::CloseHandle(void* handle) {
  if (events_.erase(handle) != 0) return true;
  auto open = openDevices_.find(handle);
  DeviceEvent event;
  event.kind = DeviceEvent::Close;
  event.handle = handle;
  if (open == openDevices_.end()) {
    deviceEvents_.push_back(event);
    lastError_ = kErrorInvalidHandle;
    return false;
  }
  event.drive = open->second;
  event.succeeded = true;
  openDevices_.erase(open);
  deviceEvents_.push_back(event);
  return true;
}

// --- Libraries and events --------------------------------------------------------

void MemoryPlatform::InstallHtmlHelp(const std::string& place, bool hasEntry) {
  helpLibraries_[place] = hasEntry;
}

ModuleHandle MemoryPlatform::LoadLibrary(const char* name) {
  loadAttempts_.push_back(name);
  auto help = helpLibraries_.find(name);
  if (help != helpLibraries_.end()) {
    loadedLibraries_.push_back(name);
    helpHasEntry_ = help->second;
    return &helpLibraryTag_;
  }
  if (libraryPlaces_.count(name) == 0) {
    lastError_ = kErrorModuleNotFound;
    return nullptr;
  }
  loadedLibraries_.push_back(name);
  libraryLoaded_ = true;
  return aspi_.get();
}

void* MemoryPlatform::GetProcAddress(ModuleHandle module, const char* name) {
  if (module != aspi_.get() || !aspi_) return nullptr;
  const std::string entry(name);
  if (entry == "GetASPI32SupportInfo") return reinterpret_cast<void*>(&AspiSupportInfoEntry);
  if (entry == "SendASPI32Command" && aspi_->exportsSendCommand) {
    return reinterpret_cast<void*>(&AspiSendCommandEntry);
  }
  if (entry == "GetASPI32Buffer" || entry == "FreeASPI32Buffer" ||
      entry == "TranslateASPI32Address") {
    return reinterpret_cast<void*>(&AspiUnusedEntry);
  }
  return nullptr;
}

void* MemoryPlatform::GetProcAddressByOrdinal(ModuleHandle module, int ordinal) {
  if (module != &helpLibraryTag_ || ordinal != 14 || !helpHasEntry_) return nullptr;
  return &helpLibraryTag_;
}

bool MemoryPlatform::ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                                            std::string& value) {
  auto found = classesRoot_.find(subKey);
  if (found == classesRoot_.end() || found->second.size() + 1 > maxBytes) return false;
  value = found->second;
  return true;
}

WindowHandle MemoryPlatform::CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                                          std::uint32_t command, std::uintptr_t data) {
  if (entry != &helpLibraryTag_) return nullptr;
  helpCalls_.push_back(HelpCall{caller, file, command, data});
  return desktop_.get();
}

bool MemoryPlatform::FreeLibrary(ModuleHandle module) {
  if (module != aspi_.get() || !libraryLoaded_) return false;
  libraryLoaded_ = false;
  libraryFreed_ = true;
  return true;
}

EventHandle MemoryPlatform::CreateEvent(bool, bool initialState) {
  EventHandle event = reinterpret_cast<EventHandle>(nextHandle_);
  nextHandle_ += 4;
  events_[event] = EventState{initialState};
  return event;
}

bool MemoryPlatform::ResetEvent(EventHandle event) {
  auto found = events_.find(event);
  if (found == events_.end()) return false;
  found->second.signalled = false;
  return true;
}

std::uint32_t MemoryPlatform::WaitForSingleObject(EventHandle event, std::uint32_t) {
  auto found = events_.find(event);
  if (found == events_.end() || !found->second.signalled) return 0xFFFFFFFFu;  // would hang
  return 0;
}

std::uint32_t MemoryPlatform::AspiSupportInfo() {
  return static_cast<std::uint32_t>(aspi_->status) << 8 |
         static_cast<std::uint32_t>(aspi_->adapters & 0xFF);
}

std::uint32_t MemoryPlatform::AspiSendCommand(void* srbAddress) {
  auto* srb = static_cast<SrbExecScsiCmd*>(srbAddress);
  aspi_->requests.push_back(AspiSimulation::Request{
      srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun, srb->SRB_Flags, srb->SRB_CDBLen,
      std::vector<std::uint8_t>(srb->CDBByte, srb->CDBByte + std::min<int>(srb->SRB_CDBLen, 16)),
      srb->SRB_BufLen});
  if (srb->SRB_HaId >= aspi_->adapters) {
    srb->SRB_Status = 0x81;  // SS_INVALID_HA
    return srb->SRB_Status;
  }
  auto device = aspi_->devices.find(AspiKey(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun));
  if (device == aspi_->devices.end()) {
    srb->SRB_Status = kSsErr;
    srb->SRB_HaStat = 0x11;  // selection time-out
  } else {
    const sim::Direction direction = (srb->SRB_Flags & kSrbDirIn) != 0 ? sim::Direction::FromDrive
                                                                       : sim::Direction::ToDrive;
    const sim::CommandResult result = device->second.Execute(
        srb->CDBByte, srb->SRB_CDBLen, direction, srb->SRB_BufPointer, srb->SRB_BufLen);
    if (result.checkCondition) {
      srb->SRB_Status = kSsErr;
      srb->SRB_TargStat = 0x02;
      sim::DriveModel::WriteSense(result.sense, srb->SenseArea, srb->SRB_SenseLen);
    } else {
      srb->SRB_Status = kSsComp;
    }
  }
  if (aspi_->completesAtOnce) return srb->SRB_Status;
  const EventHandle postProc = srb->SRB_PostProc;  // a packed field: copied, not referenced
  auto event = events_.find(postProc);
  if (event != events_.end()) event->second.signalled = true;
  return kSsPending;
}

}  // namespace memory
