// A simulated ASPI for Win32 library (WNASPI32.DLL) with simulated drives.
//
// The drives are named in BITSET_SIM_ASPI by their address:
//
//   BITSET_SIM_ASPI="0:1:0=<drive config>|1:0:0=<drive config>"
//
// The library reports one host adapter more than the highest adapter named.
// SRB_ExecSCSICmd to a drive returns SS_PENDING and completes on a thread of
// its own, as a real host adapter's driver does: the status byte is written
// last, then SRB_PostProc's event is signalled (SRB_EVENT_NOTIFY) or the
// completion routine called (SRB_POSTING). A request to an address without a
// drive ends at once with SS_NO_DEVICE. When BITSET_SIM_LOG names a file
// (a Unix path under Wine), every command a drive received is appended to it.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scsi/AspiSrb.h"
#include "sim/DriveModel.h"
#include "sim/SimulatedDrives.h"

namespace {

constexpr std::uint8_t kCheckCondition = 0x02;
constexpr std::uint8_t kMaxAdapters = 8;

struct AspiDrive {
  std::uint8_t adapter = 0;
  std::uint8_t target = 0;
  std::uint8_t lun = 0;
  std::string name;
  std::unique_ptr<sim::DriveModel> model;
};

std::string Environment(const char* name) {
  char value[4096];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

bool ParseAddress(const std::string& text, AspiDrive& drive) {
  unsigned adapter = 0;
  unsigned target = 0;
  unsigned lun = 0;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%u:%u:%u%c", &adapter, &target, &lun, &extra) != 3) return false;
  if (adapter >= kMaxAdapters || target > 15 || lun > 7) return false;
  drive.adapter = static_cast<std::uint8_t>(adapter);
  drive.target = static_cast<std::uint8_t>(target);
  drive.lun = static_cast<std::uint8_t>(lun);
  return true;
}

void Fatal(const std::string& message) {
  // A mistaken set-up must not pass for a bus without drives.
  std::fprintf(stderr, "simulated WNASPI32: %s\n", message.c_str());
  ExitProcess(70);
}

class Bus {
 public:
  Bus() {
    InitializeCriticalSection(&lock_);
    std::vector<sim::NamedDrive> named;
    std::string error;
    if (!sim::ParseDriveList(Environment("BITSET_SIM_ASPI"), named, error)) {
      Fatal("BITSET_SIM_ASPI: " + error);
    }
    for (sim::NamedDrive& entry : named) {
      AspiDrive drive;
      if (!ParseAddress(entry.name, drive)) Fatal("BITSET_SIM_ASPI: bad address " + entry.name);
      drive.name = entry.name;
      drive.model = std::make_unique<sim::DriveModel>(entry.config);
      if (drive.adapter + 1 > adapters_) adapters_ = static_cast<std::uint8_t>(drive.adapter + 1);
      drives_.push_back(std::move(drive));
    }
    logPath_ = LogPath(Environment("BITSET_SIM_LOG"));
  }

  std::uint8_t Adapters() const { return adapters_; }

  AspiDrive* Find(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun) {
    for (AspiDrive& drive : drives_) {
      if (drive.adapter == adapter && drive.target == target && drive.lun == lun) return &drive;
    }
    return nullptr;
  }

  // Runs one command on the drive and fills the request's results; the
  // status byte is left to the caller.
  std::uint8_t Execute(AspiDrive& drive, SrbExecScsiCmd& srb) {
    EnterCriticalSection(&lock_);
    sim::Direction direction = sim::Direction::None;
    if ((srb.SRB_Flags & kSrbDirIn) != 0) direction = sim::Direction::FromDrive;
    if ((srb.SRB_Flags & kSrbDirOut) != 0) direction = sim::Direction::ToDrive;
    const std::uint32_t length = direction == sim::Direction::None ? 0 : srb.SRB_BufLen;
    const std::size_t cdbLength = std::min<std::size_t>(srb.SRB_CDBLen, sizeof srb.CDBByte);
    const sim::CommandResult result =
        drive.model->Execute(srb.CDBByte, cdbLength, direction, srb.SRB_BufPointer, length);
    Log(sim::LogLine(drive.name, srb.CDBByte, cdbLength, direction, length, result));
    LeaveCriticalSection(&lock_);

    srb.SRB_HaStat = 0;
    if (!result.checkCondition) {
      srb.SRB_TargStat = result.status;
      return result.status == 0 ? kSsComp : kSsErr;
    }
    srb.SRB_TargStat = kCheckCondition;
    const std::size_t senseLength = std::min<std::size_t>(srb.SRB_SenseLen, sizeof srb.SenseArea);
    sim::DriveModel::WriteSense(result.sense, srb.SenseArea, senseLength);
    return kSsErr;
  }

 private:
  // A Unix path is reached through Wine's \\?\unix\ namespace.
  static std::string LogPath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    return "\\\\?\\unix" + path;
  }

  void Log(const std::string& line) {
    if (logPath_.empty()) return;
    HANDLE file = CreateFileA(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }

  CRITICAL_SECTION lock_;
  std::vector<AspiDrive> drives_;
  std::uint8_t adapters_ = 0;
  std::string logPath_;
};

Bus& TheBus() {
  static Bus* bus = new Bus();  // never destroyed: a completion may still be running
  return *bus;
}

struct Completion {
  AspiDrive* drive;
  SrbExecScsiCmd* srb;
  HMODULE module;  // keeps this library loaded until the thread is done
};

void Complete(AspiDrive& drive, SrbExecScsiCmd& srb) {
  const std::uint8_t status = TheBus().Execute(drive, srb);
  // Everything else is in place before the caller can see the status.
  std::atomic_thread_fence(std::memory_order_release);
  reinterpret_cast<volatile std::uint8_t&>(srb.SRB_Status) = status;
  if ((srb.SRB_Flags & kSrbEventNotify) != 0 && srb.SRB_PostProc != nullptr) {
    SetEvent(static_cast<HANDLE>(srb.SRB_PostProc));
  } else if ((srb.SRB_Flags & kSrbPosting) != 0 && srb.SRB_PostProc != nullptr) {
    reinterpret_cast<void (*)(SrbExecScsiCmd*)>(srb.SRB_PostProc)(&srb);
  }
}

DWORD WINAPI CompletionThread(LPVOID parameter) {
  const Completion completion = *static_cast<Completion*>(parameter);
  delete static_cast<Completion*>(parameter);
  Complete(*completion.drive, *completion.srb);
  FreeLibraryAndExitThread(completion.module, 0);
}

DWORD ExecScsiCmd(SrbExecScsiCmd& srb) {
  Bus& bus = TheBus();
  if (srb.SRB_HaId >= bus.Adapters()) return srb.SRB_Status = kSsInvalidHa;
  AspiDrive* drive = bus.Find(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (drive == nullptr) return srb.SRB_Status = kSsNoDevice;

  srb.SRB_Status = kSsPending;
  auto* completion = new Completion{drive, &srb, nullptr};
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&CompletionThread), &completion->module)) {
    delete completion;
    Complete(*drive, srb);
    return kSsPending;
  }
  HANDLE thread = CreateThread(nullptr, 0, CompletionThread, completion, 0, nullptr);
  if (thread == nullptr) {
    FreeLibrary(completion->module);
    delete completion;
    Complete(*drive, srb);
    return kSsPending;
  }
  CloseHandle(thread);
  return kSsPending;
}

}  // namespace

extern "C" {

// Low byte: the number of host adapters; next byte: SS_COMP.
DWORD GetASPI32SupportInfo() {
  return (static_cast<DWORD>(kSsComp) << 8) | TheBus().Adapters();
}

DWORD SendASPI32Command(void* request) {
  if (request == nullptr) return kSsInvalidSrb;
  auto* header = static_cast<std::uint8_t*>(request);  // SRB_Cmd, SRB_Status
  switch (header[0]) {
    case kScExecScsiCmd: return ExecScsiCmd(*static_cast<SrbExecScsiCmd*>(request));
    default: return header[1] = kSsInvalidCmd;  // the system asks nothing else
  }
}

}  // extern "C"
