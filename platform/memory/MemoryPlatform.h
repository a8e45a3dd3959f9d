// The in-memory platform: windows and controls held in memory, scripted
// message-box answers, a settable Windows version, simulated drives behind
// drive letters and a simulated ASPI library. Constructing one installs it
// as the platform; destroying it restores the previous one.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Platform.h"
#include "sim/DriveModel.h"

struct SrbExecScsiCmd;

namespace memory {

struct MemoryWindow {
  int id = 0;
  std::string windowClass;  // "#32770" for a dialog
  std::string text;
  std::uint32_t style = 0;
  bool enabled = true;
  int check = 0;
  std::vector<std::string> lines;  // combo box
  int curSel = -1;
  int x = 0, y = 0, cx = 0, cy = 0;
  bool sized = false;  // SetWindowPos gave a size
  FontHandle font = nullptr;
  MemoryWindow* parent = nullptr;
  std::vector<MemoryWindow*> children;  // template order
  // Dialogs only
  int templateId = 0;
  DialogTarget* target = nullptr;
  IconHandle bigIcon = nullptr;
  IconHandle smallIcon = nullptr;
  bool ended = false;
  LResult result = 0;
  bool iconic = false;
  std::vector<std::string> systemMenu;  // appended entries; "-" for a separator
  std::vector<std::uintptr_t> systemMenuIds;
};

// What a planned fault makes its call do.
enum class FaultMode {
  Fail,                // the call's own failure answer (0, FALSE, CB_ERR, WAIT_FAILED...)
  Answer,              // the answer given with the fault, the call doing nothing
  ThrowFileException,  // the framework's file exception
  ThrowBadAlloc,       // std::bad_alloc, as when memory runs out
};

struct MessageBoxRecord {
  WindowHandle owner;
  std::string text;
  std::string caption;
  std::uint32_t type;
  int answer;
};

// One call that reached a device, in order.
struct DeviceEvent {
  enum Kind { Open, OpenFailed, Io, Close } kind = Open;
  std::string path;  // Open, OpenFailed
  std::uint32_t access = 0, share = 0, disposition = 0, flags = 0;
  DeviceHandle handle = nullptr;
  char drive = 0;  // the drive letter behind the handle
  // Io
  std::uint32_t code = 0;
  std::vector<std::uint8_t> cdb;
  std::uint8_t dataIn = 0;
  std::uint32_t dataLength = 0;
  std::uint32_t timeOut = 0;
  std::uint8_t senseInfoLength = 0;
  std::uint32_t inLength = 0, outLength = 0;
  bool succeeded = false;
};

// Thrown by ExitProcess: the test's way of seeing the process end.
struct ProcessExit {
  unsigned code;
};

// A simulated ASPI library: host adapters with devices at target and LUN.
struct AspiSimulation {
  std::uint8_t status = 1;  // SS_COMP: ready
  int adapters = 1;
  bool exportsSendCommand = true;
  bool completesAtOnce = false;  // returns SS_COMP from SendASPI32Command
  // Requests stay pending until the caller waits for them (a wait that
  // faults leaves them pending); `pending` holds their request blocks.
  bool completesInWait = false;
  std::vector<void*> pending;
  std::map<std::uint32_t, sim::DriveModel> devices;  // key: adapter << 16 | target << 8 | lun
  struct Request {
    std::uint8_t adapter, target, lun, flags, cdbLength;
    std::vector<std::uint8_t> cdb;
    std::uint32_t length;
  };
  std::vector<Request> requests;

  sim::DriveModel& AddDevice(int adapter, int target, int lun, sim::DriveConfig config);
};

class MemoryPlatform : public Platform {
 public:
  MemoryPlatform();
  ~MemoryPlatform() override;

  // --- Set-up --------------------------------------------------------------
  void SetModulePath(const std::string& path) { modulePath_ = path; }
  void SetVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);
  void FailVersionQuery() { versionFails_ = true; }
  // The roots GetLogicalDriveStrings reports, in order ("D:\\", "e:\\"...).
  void SetDriveRoots(std::vector<std::string> roots) { driveRoots_ = std::move(roots); }
  // A drive behind a letter; its root is added to the drive roots.
  sim::DriveModel& AddDrive(char letter, sim::DriveConfig config = sim::DriveConfig());
  // A drive letter that cannot be opened (no rights, or not a device).
  void AddUnopenableDrive(char letter);
  // The platform refuses every request to this drive (DeviceIoControl FALSE).
  void FailRequests(char letter) { refusedDrives_.push_back(letter); }
  // The drive ends its commands with this SCSI status but no sense data.
  void ReportStatusWithoutSense(char letter, std::uint8_t status) { bareStatus_[letter] = status; }
  sim::DriveModel* Drive(char letter);
  // Answers for the next message boxes, in order; Id::Ok for OK boxes and
  // `defaultAnswer` for questions once the queue is empty.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void SetDefaultAnswer(int answer) { defaultAnswer_ = answer; }
  // What the user does while a dialog of this template runs modally.
  void OnModal(int templateId, std::function<void(WindowHandle dialog)> session);
  // Makes the `nth` call of a kind (counted from now) fault once. A kind is
  // the platform call's name ("MessageBox", "CreateFile", "WaitForSingleObject")
  // or, for a message to a control, the message's name ("CB_ADDSTRING").
  // A faulting call does nothing else. Several faults may be planned at once.
  void InjectFault(const std::string& kind, int nth, FaultMode mode = FaultMode::Fail,
                   long long answer = 0) {
    faults_.push_back(PlannedFault{kind, nth, mode, answer});
  }
  // Makes the named call throw the framework's file exception once.
  void ThrowFileExceptionAt(const std::string& call, int nth = 1) {
    InjectFault(call, nth, FaultMode::ThrowFileException);
  }
  // The kind of every call that could have been made to fault, in order.
  const std::vector<std::string>& Calls() const { return calls_; }
  long long ThrownExceptionValue() const { return thrownException_; }
  void SetString(int id, const std::string& text) { strings_[id] = text; }
  void SetIconic(WindowHandle dialog, bool iconic);
  AspiSimulation& InstallAspi(const std::string& place = "WNASPI32.DLL");
  // An HTML Help library loadable by this name, with or without its entry.
  void InstallHtmlHelp(const std::string& place, bool hasEntry = true);
  void SetClassesRootDefault(const std::string& key, const std::string& value) {
    classesRoot_[key] = value;
  }
  struct HelpCall {
    WindowHandle caller;
    std::string file;
    std::uint32_t command;
    std::uintptr_t data;
  };
  const std::vector<HelpCall>& HelpCalls() const { return helpCalls_; }
  WindowHandle DesktopWindow() const { return desktop_.get(); }

  // --- What the user does ----------------------------------------------------
  // Picks a line of a combo box, as a click in its list does.
  void SelectLine(WindowHandle dialog, int comboId, int index);
  // Clicks a control; nothing happens when it is disabled. Radio buttons
  // are checked and their group's other buttons unchecked first.
  bool Click(WindowHandle dialog, int id);
  void Close(WindowHandle dialog);
  void SystemCommand(WindowHandle dialog, std::uint32_t command);

  // --- What the tests look at ------------------------------------------------
  // The dialog window most recently created.
  WindowHandle LastDialog() const { return lastDialog_; }
  MemoryWindow* Window(WindowHandle window) const { return static_cast<MemoryWindow*>(window); }
  MemoryWindow* Control(WindowHandle dialog, int id) const;
  std::string Text(WindowHandle dialog, int id) const;
  bool Enabled(WindowHandle dialog, int id) const;
  int Checked(WindowHandle dialog, int id) const;
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  std::vector<std::string> MessageTexts() const;
  const std::vector<DeviceEvent>& DeviceEvents() const { return deviceEvents_; }
  void ClearDeviceEvents() { deviceEvents_.clear(); }
  int OpenDeviceCount() const { return static_cast<int>(openDevices_.size()); }
  int OpenEventCount() const { return static_cast<int>(events_.size()); }
  // Every platform call of note, in order ("SetText 1009", "GetVersion"...).
  const std::vector<std::string>& Trace() const { return trace_; }
  // Index of the first trace entry that starts with `prefix`; -1 when none.
  int TraceIndex(const std::string& prefix) const;
  std::vector<LResult> DialogResults() const { return dialogResults_; }
  const std::vector<std::string>& LoadedLibraries() const { return loadedLibraries_; }
  const std::vector<std::string>& LoadAttempts() const { return loadAttempts_; }
  bool LibraryFreed() const { return libraryFreed_; }
  AspiSimulation* Aspi() { return aspi_.get(); }

  // --- Platform ----------------------------------------------------------
  std::string ModulePath() override { return modulePath_; }
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
  std::uint32_t GetLastError() override { return lastError_; }
  void* GetProcAddressByOrdinal(ModuleHandle module, int ordinal) override;
  bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                              std::string& value) override;
  WindowHandle GetDesktopWindow() override { return desktop_.get(); }
  WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                            std::uint32_t command, std::uintptr_t data) override;
  EventHandle CreateEvent(bool manualReset, bool initialState) override;
  bool ResetEvent(EventHandle event) override;
  std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override;

  // The simulated ASPI library's entry points.
  std::uint32_t AspiSupportInfo();
  std::uint32_t AspiSendCommand(void* srb);

  // Font and paint details for the presentation tests.
  struct FontRecord {
    int height;
    std::string face;
    bool deleted;
  };
  const std::vector<FontRecord>& Fonts() const { return fonts_; }
  struct IconDraw {
    int x, y;
    IconHandle icon;
  };
  const std::vector<IconDraw>& IconDraws() const { return iconDraws_; }
  void SetClientSize(int width, int height) { clientWidth_ = width, clientHeight_ = height; }

 private:
  // Counts a call of `kind`; when a fault is due, throws or gives the
  // answer the call must return (`failure` in the Fail mode).
  std::optional<long long> Fault(const std::string& kind, long long failure);
  void CompleteAspiRequest(SrbExecScsiCmd* srb);
  void ExecuteAspiRequest(SrbExecScsiCmd* srb);
  MemoryWindow* CreateDialogWindow(int templateId, MemoryWindow* owner);
  bool Dispatch(MemoryWindow* dialog, std::uint32_t message, WParam wParam, LParam lParam,
                LResult& result);
  LResult DefaultDialogHandling(MemoryWindow* dialog, std::uint32_t message, WParam wParam,
                                LParam lParam);
  LResult ControlMessage(MemoryWindow* control, std::uint32_t message, WParam wParam,
                         LParam lParam);
  void Command(MemoryWindow* dialog, int id, std::uint32_t code, MemoryWindow* control);

  MemoryPlatform* previous_ = nullptr;
  std::string modulePath_ = "C:\\Tools\\Bitset.exe";
  OsVersionInfo version_{5, 1, 2600, 2};
  bool versionFails_ = false;

  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  MemoryWindow* lastDialog_ = nullptr;
  std::map<int, std::deque<std::function<void(WindowHandle)>>> sessions_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::deque<int> answers_;
  int defaultAnswer_ = Id::No;
  std::vector<std::string> trace_;
  std::vector<LResult> dialogResults_;
  std::map<int, std::string> strings_;
  struct PlannedFault {
    std::string kind;
    int countdown;
    FaultMode mode;
    long long answer;
  };
  std::vector<PlannedFault> faults_;
  std::vector<std::string> calls_;
  long long thrownException_ = 0;

  struct DriveSlot {
    std::unique_ptr<sim::DriveModel> model;
    bool openable = true;
  };
  std::map<char, DriveSlot> drives_;
  std::vector<char> refusedDrives_;
  std::map<char, std::uint8_t> bareStatus_;
  std::vector<std::string> driveRoots_;
  std::map<DeviceHandle, char> openDevices_;
  std::vector<DeviceEvent> deviceEvents_;
  std::uintptr_t nextHandle_ = 0x100;
  std::uint32_t lastError_ = 0;

  std::map<std::string, bool> libraryPlaces_;
  std::map<std::string, bool> helpLibraries_;  // place: has the HtmlHelpA entry
  bool helpHasEntry_ = false;
  std::map<std::string, std::string> classesRoot_;
  std::vector<HelpCall> helpCalls_;
  std::unique_ptr<MemoryWindow> desktop_ = std::make_unique<MemoryWindow>();
  int helpLibraryTag_ = 0;
  std::unique_ptr<AspiSimulation> aspi_;
  bool libraryLoaded_ = false;
  bool libraryFreed_ = false;
  std::vector<std::string> loadedLibraries_;
  std::vector<std::string> loadAttempts_;
  struct EventState {
    bool signalled;
  };
  std::map<EventHandle, EventState> events_;

  std::vector<FontRecord> fonts_;
  std::vector<IconDraw> iconDraws_;
  int clientWidth_ = 390, clientHeight_ = 243;
};

}  // namespace memory
