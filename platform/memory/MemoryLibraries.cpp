// Run-time libraries of the in-memory platform: the simulated ASPI library
// and HTML Help, and the events ASPI completes through.
#include <algorithm>

#include "platform/memory/MemoryInternal.h"
#include "platform/memory/MemoryLibraries.h"
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
    SetLastError(kErrorModuleNotFound);
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
  if (entry == "GetASPI32Buffer" || entry == "FreeASPI32Buffer" ||
      entry == "TranslateASPI32Address") {
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

EventHandle MemoryLibraries::CreateEvent(bool, bool initialState) {
  if (auto answer = Fault("CreateEvent", 0)) return AnswerAs<EventHandle>(*answer);
  EventHandle event = NewHandle();
  events_[event] = EventState{initialState};
  return event;
}

bool MemoryLibraries::ResetEvent(EventHandle event) {
  if (auto answer = Fault("ResetEvent", 0)) return AnswerAs<bool>(*answer);
  auto found = events_.find(event);
  if (found == events_.end()) return false;
  found->second.signalled = false;
  return true;
}

std::uint32_t MemoryLibraries::WaitForSingleObject(EventHandle event, std::uint32_t) {
  if (auto answer = Fault("WaitForSingleObject", kWaitFailed)) return AnswerAs<std::uint32_t>(*answer);
  // While the caller waits, the library finishes what it has pending.
  if (aspi_) {
    for (void* srb : aspi_->pending) CompleteAspiRequest(static_cast<SrbExecScsiCmd*>(srb));
    aspi_->pending.clear();
  }
  auto found = events_.find(event);
  if (found == events_.end() || !found->second.signalled) return kWaitFailed;  // would hang
  return 0;
}

std::uint32_t MemoryLibraries::AspiSupportInfo() {
  return static_cast<std::uint32_t>(aspi_->status) << 8 |
         static_cast<std::uint32_t>(aspi_->adapters & 0xFF);
}

std::uint32_t MemoryLibraries::AspiSendCommand(void* srbAddress) {
  auto* srb = static_cast<SrbExecScsiCmd*>(srbAddress);
  aspi_->requests.push_back(AspiSimulation::Request{
      srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun, srb->SRB_Flags, srb->SRB_CDBLen,
      std::vector<std::uint8_t>(srb->CDBByte, srb->CDBByte + std::min<int>(srb->SRB_CDBLen, 16)),
      srb->SRB_BufLen});
  if (srb->SRB_HaId >= aspi_->adapters) {
    srb->SRB_Status = kSsInvalidHa;
    return srb->SRB_Status;
  }
  if (aspi_->completesInWait) {
    srb->SRB_Status = kSsPending;
    aspi_->pending.push_back(srb);
    return kSsPending;
  }
  if (aspi_->completesAtOnce) {
    ExecuteAspiRequest(srb);
    return srb->SRB_Status;
  }
  CompleteAspiRequest(srb);
  return kSsPending;
}

void MemoryLibraries::CompleteAspiRequest(SrbExecScsiCmd* srb) {
  ExecuteAspiRequest(srb);
  const EventHandle postProc = srb->SRB_PostProc;  // a packed field: copied, not referenced
  auto event = events_.find(postProc);
  if (event != events_.end()) event->second.signalled = true;
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
    } else {
      srb->SRB_Status = kSsComp;
    }
  }
}

}  // namespace memory
