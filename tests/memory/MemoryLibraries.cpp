// Run-time libraries of the in-memory platform: the simulated ASPI library
// and HTML Help, and the events ASPI completes through.
#include <algorithm>

#include "platform/Platform.h"
#include "tests/memory/MemoryInternal.h"
#include "tests/memory/MemoryLibraries.h"
#include "scsi/AspiSrb.h"

namespace memory {

namespace {

MemoryLibraries* g_current = nullptr;

std::uint32_t AspiSupportInfoEntry() { return g_current->AspiSupportInfo(); }
std::uint32_t AspiSendCommandEntry(void* srb) { return g_current->AspiSendCommand(srb); }
std::uint32_t AspiUnusedEntry() { return 0; }

std::uint32_t AspiKey(int adapter, int target, int lun) {
  return static_cast<std::uint32_t>(adapter << 16 | target << 8 | lun);
}

}  // namespace

sim::DriveModel& AspiSimulation::AddDevice(int adapter, int target, int lun,
                                           sim::DriveConfig config) {
  auto result = devices.insert_or_assign(AspiKey(adapter, target, lun), sim::DriveModel(config));
  return result.first->second;
}

// --- Libraries and events --------------------------------------------------------

MemoryLibraries::MemoryLibraries() : previous_(g_current) { g_current = this; }

MemoryLibraries::~MemoryLibraries() { g_current = previous_; }

AspiSimulation& MemoryLibraries::InstallAspi(const std::string& place) {
  libraryPlaces_[place] = true;
  if (!aspi_) aspi_ = std::make_unique<AspiSimulation>();
  return *aspi_;
}

void MemoryLibraries::InstallHtmlHelp(const std::string& place, bool hasEntry) {
  helpLibraries_[place] = hasEntry;
}

ModuleHandle MemoryLibraries::LoadLibrary(const char* name) {
  if (auto answer = Fault("LoadLibrary", 0)) return AnswerAs<ModuleHandle>(*answer);
  loadAttempts_.push_back(name);
  auto help = helpLibraries_.find(name);
  if (help != helpLibraries_.end()) {
    loadedLibraries_.push_back(name);
    helpHasEntry_ = help->second;
    return &helpLibraryTag_;
  }
  if (libraryPlaces_.count(name) == 0) {
    SetLastError(loadFailsWithoutError_ ? 0 : kErrorModuleNotFound);
    return nullptr;
  }
  loadedLibraries_.push_back(name);
  libraryLoaded_ = true;
  return aspi_.get();
}

void* MemoryLibraries::GetProcAddress(ModuleHandle module, const char* name) {
  if (auto answer = Fault("GetProcAddress", 0)) return AnswerAs<void*>(*answer);
  if (module != aspi_.get() || !aspi_) return nullptr;
  const std::string entry(name);
  if (entry == "GetASPI32SupportInfo") return reinterpret_cast<void*>(&AspiSupportInfoEntry);
  if (entry == "SendASPI32Command" && aspi_->exportsSendCommand) {
    return reinterpret_cast<void*>(&AspiSendCommandEntry);
  }
  if ((entry == "GetASPI32Buffer" || entry == "FreeASPI32Buffer" ||
       entry == "TranslateASPI32Address") && aspi_->exportsBufferFunctions) {
    return reinterpret_cast<void*>(&AspiUnusedEntry);
  }
  return nullptr;
}

void* MemoryLibraries::GetProcAddressByOrdinal(ModuleHandle module, int ordinal) {
  if (auto answer = Fault("GetProcAddressByOrdinal", 0)) return AnswerAs<void*>(*answer);
  if (module != &helpLibraryTag_ || ordinal != 14 || !helpHasEntry_) return nullptr;
  return &helpLibraryTag_;
}

bool MemoryLibraries::ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes,
                                             std::string& value) {
  if (auto answer = Fault("ReadClassesRootDefault", 0)) return AnswerAs<bool>(*answer);
  auto found = classesRoot_.find(subKey);
  if (found == classesRoot_.end() || found->second.size() + 1 > maxBytes) return false;
  value = found->second;
  return true;
}

WindowHandle MemoryLibraries::CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                                           std::uint32_t command, std::uintptr_t data) {
  if (entry != &helpLibraryTag_) return nullptr;
  helpCalls_.push_back(HelpCall{caller, file, command, data});
  return &helpLibraryTag_;  // the viewer's window
}

bool MemoryLibraries::FreeLibrary(ModuleHandle module) {
  if (auto answer = Fault("FreeLibrary", 0)) return AnswerAs<bool>(*answer);
  if (module != aspi_.get() || !libraryLoaded_) return false;
  libraryLoaded_ = false;
  libraryFreed_ = true;
  return true;
}

EventHandle MemoryLibraries::CreateEvent(bool manualReset, bool initialState) {
  if (auto answer = Fault("CreateEvent", 0)) return AnswerAs<EventHandle>(*answer);
  EventHandle event = NewHandle();
  events_[event] = EventState{manualReset, initialState, false};
  return event;
}

bool MemoryLibraries::ResetEvent(EventHandle event) {
  if (auto answer = Fault("ResetEvent", 0)) return AnswerAs<bool>(*answer);
  auto found = events_.find(event);
  if (found == events_.end()) return false;
  found->second.signalled = false;
  return true;
}

// A wait on a signalled event returns at once: what is pending for it is
// then still running, and finishes at the next wait. A wait on an event
// that is not signalled lets its pending requests finish; when none does,
// an endless wait would never return.
std::uint32_t MemoryLibraries::WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) {
  if (auto answer = Fault("WaitForSingleObject", kWaitFailed)) return AnswerAs<std::uint32_t>(*answer);
  auto found = events_.find(event);
  if (found == events_.end()) {
    SetLastError(kErrorInvalidHandle);
    return kWaitFailed;
  }
  EventState& state = found->second;
  if (!state.signalled) {
    CompleteAspiRequests(event);
  } else if (state.completesLater) {
    CompleteAspiRequests(event);  // what the last wait found running is done by now
    state.completesLater = false;
  } else {
    state.completesLater = HasPendingRequests(event);
  }
  if (!state.signalled) {
    if (milliseconds == kInfinite) throw WouldHang{"WaitForSingleObject"};
    return kWaitTimeout;
  }
  if (!state.manualReset) state.signalled = false;
  return kWaitObject0;
}

std::uint32_t MemoryLibraries::AspiSupportInfo() {
  return static_cast<std::uint32_t>(aspi_->status) << 8 |
         static_cast<std::uint32_t>(aspi_->adapters & 0xFF);
}

std::uint32_t MemoryLibraries::AspiSendCommand(void* srbAddress) {
  auto* srb = static_cast<SrbExecScsiCmd*>(srbAddress);
  aspi_->requests.push_back(AspiSimulation::Request{
      srb->SRB_Cmd, srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun, srb->SRB_Flags, srb->SRB_CDBLen,
      srb->SRB_SenseLen,
      std::vector<std::uint8_t>(srb->CDBByte, srb->CDBByte + std::min<int>(srb->SRB_CDBLen, 16)),
      srb->SRB_BufLen});
  // Refused at once: nothing runs and no event is signalled.
  if (srb->SRB_Cmd != kScExecScsiCmd) return srb->SRB_Status = kSsInvalidCmd;
  if (srb->SRB_HaId >= aspi_->adapters) return srb->SRB_Status = kSsInvalidHa;
  if (aspi_->devices.count(AspiKey(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun)) == 0) {
    return srb->SRB_Status = kSsNoDevice;
  }
  if (aspi_->completesAtOnce) {
    ExecuteAspiRequest(srb);
    return srb->SRB_Status;
  }
  srb->SRB_Status = kSsPending;
  aspi_->pending.push_back(srb);
  return kSsPending;
}

// The request blocks pending for `event`.
std::vector<SrbExecScsiCmd*> MemoryLibraries::PendingFor(EventHandle event) const {
  std::vector<SrbExecScsiCmd*> found;
  if (!aspi_) return found;
  for (void* address : aspi_->pending) {
    auto* srb = static_cast<SrbExecScsiCmd*>(address);
    const EventHandle postProc = srb->SRB_PostProc;  // a packed field: copied, not referenced
    if (postProc == event) found.push_back(srb);
  }
  return found;
}

// Carries out the requests pending for `event`, and signals it.
void MemoryLibraries::CompleteAspiRequests(EventHandle event) {
  for (SrbExecScsiCmd* srb : PendingFor(event)) {
    ExecuteAspiRequest(srb);
    aspi_->pending.erase(std::find(aspi_->pending.begin(), aspi_->pending.end(), srb));
    events_[event].signalled = true;
  }
}

void MemoryLibraries::ExecuteAspiRequest(SrbExecScsiCmd* srb) {
  auto device = aspi_->devices.find(AspiKey(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun));
  if (device == aspi_->devices.end()) {
    srb->SRB_Status = kSsErr;
    srb->SRB_HaStat = kHaSelectionTimeOut;
  } else {
    const sim::Direction direction = (srb->SRB_Flags & kSrbDirIn) != 0 ? sim::Direction::FromDrive
                                                                       : sim::Direction::ToDrive;
    const sim::CommandResult result = device->second.Execute(
        srb->CDBByte, srb->SRB_CDBLen, direction, srb->SRB_BufPointer, srb->SRB_BufLen);
    if (result.checkCondition) {
      srb->SRB_Status = kSsErr;
      srb->SRB_TargStat = 0x02;
      sim::DriveModel::WriteSense(result.sense, srb->SenseArea, srb->SRB_SenseLen);
    } else if (result.status != 0) {  // a bare status: the ASPI error with its target status
      srb->SRB_Status = kSsErr;
      srb->SRB_TargStat = result.status;
    } else {
      srb->SRB_Status = kSsComp;
    }
  }
}

}  // namespace memory
