// Libraries loaded at run time, in memory: the simulated ASPI library with
// its devices and the events it completes through, HTML Help, and the
// registry entry that names it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "tests/memory/MemoryCalls.h"
#include "sim/DriveModel.h"

struct SrbExecScsiCmd;

namespace memory {

// A simulated ASPI library: host adapters with devices at target and LUN.
// As the real library does, it refuses a request at once (SS_NO_DEVICE for
// an address without a device, SS_INVALID_HA, SS_INVALID_CMD) without
// signalling anything, and otherwise answers "pending": the request is
// carried out, and its event signalled, only while the caller waits on
// that event.
struct AspiSimulation {
  std::uint8_t status = 1;  // SS_COMP: ready
  int adapters = 1;
  bool exportsSendCommand = true;
  bool exportsBufferFunctions = true;  // GetASPI32Buffer, FreeASPI32Buffer, TranslateASPI32Address
  bool completesAtOnce = false;  // returns SS_COMP from SendASPI32Command
  // The requests that wait for their caller to wait (their request blocks).
  std::vector<void*> pending;
  std::map<std::uint32_t, sim::DriveModel> devices;  // key: adapter << 16 | target << 8 | lun
  struct Request {
    std::uint8_t command, adapter, target, lun, flags, cdbLength, senseLength;
    std::vector<std::uint8_t> cdb;
    std::uint32_t length;
  };
  std::vector<Request> requests;

  sim::DriveModel& AddDevice(int adapter, int target, int lun, sim::DriveConfig config);
};

class MemoryLibraries : public virtual MemoryCalls {
 public:
  // The library entry points answer for the most recent one.
  MemoryLibraries();
  ~MemoryLibraries();
  MemoryLibraries(const MemoryLibraries&) = delete;
  MemoryLibraries& operator=(const MemoryLibraries&) = delete;

  // --- Set-up --------------------------------------------------------------
  AspiSimulation& InstallAspi(const std::string& place = "WNASPI32.DLL");
  // No library loads, and the system gives no error code for it.
  void FailLoadingWithoutError() { loadFailsWithoutError_ = true; }
  // An HTML Help library loadable by this name, with or without its entry.
  void InstallHtmlHelp(const std::string& place, bool hasEntry = true);
  void SetClassesRootDefault(const std::string& key, const std::string& value) {
    classesRoot_[key] = value;
  }

  // --- What the tests look at ------------------------------------------------
  struct HelpCall {
    WindowHandle caller;
    std::string file;
    std::uint32_t command;
    std::uintptr_t data;
  };
  const std::vector<HelpCall>& HelpCalls() const { return helpCalls_; }
  const std::vector<std::string>& LoadedLibraries() const { return loadedLibraries_; }
  const std::vector<std::string>& LoadAttempts() const { return loadAttempts_; }
  bool LibraryFreed() const { return libraryFreed_; }
  AspiSimulation* Aspi() { return aspi_.get(); }
  int OpenEventCount() const { return static_cast<int>(events_.size()); }

  // --- The platform's library and event calls --------------------------------
  ModuleHandle LoadLibrary(const char* name);
  void* GetProcAddress(ModuleHandle module, const char* name);
  bool FreeLibrary(ModuleHandle module);
  void* GetProcAddressByOrdinal(ModuleHandle module, int ordinal);
  bool ReadClassesRootDefault(const std::string& subKey, std::size_t maxBytes, std::string& value);
  WindowHandle CallHtmlHelp(void* entry, WindowHandle caller, const char* file,
                            std::uint32_t command, std::uintptr_t data);
  EventHandle CreateEvent(bool manualReset, bool initialState);
  bool ResetEvent(EventHandle event);
  std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds);
  // CloseHandle of an event, after the call has been counted; false when
  // the handle is no event.
  bool CloseEvent(void* handle) { return events_.erase(handle) != 0; }

  // The simulated ASPI library's entry points.
  std::uint32_t AspiSupportInfo();
  std::uint32_t AspiSendCommand(void* srb);

 private:
  std::vector<SrbExecScsiCmd*> PendingFor(EventHandle event) const;
  bool HasPendingRequests(EventHandle event) const { return !PendingFor(event).empty(); }
  void CompleteAspiRequests(EventHandle event);
  void ExecuteAspiRequest(SrbExecScsiCmd* srb);

  MemoryLibraries* previous_ = nullptr;
  std::map<std::string, bool> libraryPlaces_;
  std::map<std::string, bool> helpLibraries_;  // place: has the HtmlHelpA entry
  bool helpHasEntry_ = false;
  std::map<std::string, std::string> classesRoot_;
  std::vector<HelpCall> helpCalls_;
  int helpLibraryTag_ = 0;
  std::unique_ptr<AspiSimulation> aspi_;
  bool libraryLoaded_ = false;
  bool libraryFreed_ = false;
  std::vector<std::string> loadedLibraries_;
  std::vector<std::string> loadAttempts_;
  struct EventState {
    bool manualReset;
    bool signalled;
    bool completesLater;  // found signalled by a wait: its requests finish at the next wait
  };
  bool loadFailsWithoutError_ = false;
  std::map<EventHandle, EventState> events_;
};

}  // namespace memory
