// Libraries loaded at run time, in memory: the simulated ASPI library with
// its devices and the events it completes through, HTML Help, and the
// registry entry that names it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/WinTypes.h"
#include "platform/memory/MemoryCalls.h"
#include "sim/DriveModel.h"

struct SrbExecScsiCmd;

namespace memory {

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

class MemoryLibraries : public virtual MemoryCalls {
 public:
  // The library entry points answer for the most recent one.
  MemoryLibraries();
  ~MemoryLibraries();
  MemoryLibraries(const MemoryLibraries&) = delete;
  MemoryLibraries& operator=(const MemoryLibraries&) = delete;

  // --- Set-up --------------------------------------------------------------
  AspiSimulation& InstallAspi(const std::string& place = "WNASPI32.DLL");
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
  void CompleteAspiRequest(SrbExecScsiCmd* srb);
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
    bool signalled;
  };
  std::map<EventHandle, EventState> events_;
};

}  // namespace memory
