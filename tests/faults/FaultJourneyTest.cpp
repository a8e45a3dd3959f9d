// Whole journeys with one fault each: start-up, a change of drive and both
// set buttons, with each platform call failing (or answering garbage) at
// each position in turn, and each of the program's allocations failing in
// turn. Whatever happens, the program must not crash, leak, leave a handle
// open, write without the user's Yes, send a command to a drive the window
// does not show or a vendor command to a device that is no CD/DVD or WORM
// drive, and must tell the user of every failure that matters to them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/BitsetApp.h"
#include "res/resource.h"
#include "scsi/AspiSrb.h"
#include "tests/AllocationFaults.h"
#include "tests/faults/JourneyPlatform.h"

namespace {

using memory::FaultMode;
using test::JourneyEvent;
using test::JourneyPlatform;

constexpr std::uint8_t kVendorOperation = 0xF3;
constexpr std::uint8_t kWriteFunction = 0x0E;
constexpr std::uint8_t kPlusRIsRom = 0x01;
constexpr std::uint8_t kPlusRwIsRom = 0x02;

sim::DriveConfig Device(int type, const char* vendor, const char* product, bool vendorCommands) {
  sim::DriveConfig config;
  config.peripheralType = type;
  config.vendor = vendor;
  config.product = product;
  config.vendorCommands = vendorCommands;
  config.settings = kPlusRwIsRom;  // +R written as DVD+R, +RW as DVD-ROM
  return config;
}
const sim::DriveConfig kQsi = Device(5, "QSI", "DVDRW SDW-082", true);
const sim::DriveConfig kPlainCdRom = Device(5, "LITEON", "CD-ROM LTN486S", false);
const sim::DriveConfig kHardDisk = Device(0, "ATA", "ST380011A", false);
const sim::DriveConfig kScanner = Device(6, "QSI", "DVDRW SDW-082", true);

// The systems the journeys start on.
struct System {
  const char* name;
  std::function<void(JourneyPlatform&)> arrange;
};

void Aspi(JourneyPlatform& platform) {
  memory::AspiSimulation& aspi = platform.InstallAspi();
  aspi.AddDevice(0, 0, 0, kHardDisk);
  aspi.AddDevice(0, 1, 0, kPlainCdRom);
  aspi.AddDevice(0, 2, 0, kQsi);
  aspi.AddDevice(0, 3, 0, kScanner);
}

const System kSystems[] = {
    {"drive letters on the NT family",
     [](JourneyPlatform& platform) {
       platform.SetVersion(2, 5, 1);
       platform.AddDrive('C', kHardDisk);
       platform.AddDrive('D', kQsi);
       platform.AddDrive('E', kPlainCdRom);
       platform.AddDrive('F', kScanner);
     }},
    {"bus scan on the 9x family",
     [](JourneyPlatform& platform) {
       platform.SetVersion(1, 4, 10);
       Aspi(platform);
     }},
    {"bus scan after the drive letters on the NT family",
     [](JourneyPlatform& platform) {
       platform.SetVersion(2, 5, 1);
       platform.AddDrive('C', kHardDisk);
       Aspi(platform);
     }},
};

// One planned fault: a platform call, or one of the program's allocations.
struct Fault {
  std::string call;  // empty for an allocation
  int nth = 0;
  FaultMode mode = FaultMode::Fail;
  long long answer = 0;
  long allocation = 0;  // the program's allocations counted from the start; 0: none

  std::string Describe() const {
    if (!call.empty()) {
      return call + " #" + std::to_string(nth) +
             (mode == FaultMode::Fail ? " fails" : " answers " + std::to_string(answer));
    }
    return allocation != 0 ? "allocation #" + std::to_string(allocation) + " fails" : "no fault";
  }
};

// What one journey showed.
struct Journey {
  std::size_t lastStep = 0;  // the first event of the last step the window saw
  std::vector<std::string> calls;
  long allocations = 0;
  std::vector<std::string> broken;
};

sim::DriveModel* ModelOf(JourneyPlatform& platform, const std::string& device) {
  if (device.size() == 2 && device[1] == ':') return platform.Drive(device[0]);
  unsigned adapter = 0, target = 0, lun = 0;
  if (platform.Aspi() == nullptr || std::sscanf(device.c_str(), "%u:%u:%u", &adapter, &target, &lun) != 3) {
    return nullptr;
  }
  auto found = platform.Aspi()->devices.find(adapter << 16 | target << 8 | lun);
  return found == platform.Aspi()->devices.end() ? nullptr : &found->second;
}

// A user action begins, unless the window has ended.
void BeginStep(JourneyPlatform& platform, WindowHandle window, Journey& journey) {
  if (!platform.Window(window)->ended) journey.lastStep = platform.Events().size();
}

// One set button pressed after its radio choice, to change the settings
// bit `bit` to `wanted`. When the user said Yes and the shown drive did not
// change, a message must tell them, or at least the window must not claim
// the change: its field must not show `claimed`.
struct Change {
  int radio, button, field;
  std::uint8_t bit;
  bool wanted;
  const char* claimed;
};
const Change kPlusRToRom{IDC_PLUS_R_ROM, IDC_SET_PLUS_R, IDC_PLUS_R_TEXT, kPlusRIsRom, true, "DVD-ROM"};
const Change kPlusRwToOwn{IDC_PLUS_RW_OWN, IDC_SET_PLUS_RW, IDC_PLUS_RW_TEXT, kPlusRwIsRom, false, "DVD+RW"};

void SetBookType(JourneyPlatform& platform, WindowHandle window, const Change& change,
                 Journey& journey) {
  BeginStep(platform, window, journey);
  platform.Click(window, change.radio);
  const std::size_t first = platform.Events().size();
  sim::DriveModel* drive = ModelOf(platform, platform.ShownDevice());
  if (!platform.Click(window, change.button)) return;  // disabled: nothing happens
  bool agreed = false, told = false;
  for (std::size_t at = first; at < platform.Events().size(); ++at) {
    const JourneyEvent& event = platform.Events()[at];
    agreed = agreed || (event.kind == JourneyEvent::Question && event.answer == Id::Yes);
    told = told || (agreed && event.kind == JourneyEvent::Message);
  }
  const bool changed = drive != nullptr && ((drive->Config().settings & change.bit) != 0) == change.wanted;
  if (agreed && !changed && !told && platform.Text(window, change.field) == change.claimed) {
    journey.broken.push_back("the window claims a change that did not happen, and no message said so");
  }
}

// What the user does: another drive, back to the first, set +R, set +RW.
void UserSession(JourneyPlatform& platform, WindowHandle window, Journey& journey) {
  test::TestCode test;
  BeginStep(platform, window, journey);
  platform.SelectLine(window, IDC_DRIVE_BOX, 1);
  BeginStep(platform, window, journey);
  platform.SelectLine(window, IDC_DRIVE_BOX, 0);
  SetBookType(platform, window, kPlusRToRom, journey);
  SetBookType(platform, window, kPlusRwToOwn, journey);
}

bool IsVendorCommand(const JourneyEvent& event) {
  return event.kind == JourneyEvent::Command && !event.cdb.empty() && event.cdb[0] == kVendorOperation;
}

// Every write follows a Yes given since the previous write; every vendor
// command goes to the drive the window shows.
void CheckCommands(JourneyPlatform& platform, Journey& journey) {
  bool yes = false;
  for (const JourneyEvent& event : platform.Events()) {
    if (event.kind == JourneyEvent::Question) yes = event.answer == Id::Yes;
    if (!IsVendorCommand(event)) continue;
    if (event.device != event.shown) {
      journey.broken.push_back("a vendor command went to " + event.device + " while the window showed '" +
                               event.shown + "'");
    }
    const sim::DriveModel* model = ModelOf(platform, event.device);
    if (model != nullptr && model->Config().peripheralType != 4 && model->Config().peripheralType != 5) {
      journey.broken.push_back("a vendor command went to " + event.device + ", a device of type " +
                               std::to_string(model->Config().peripheralType));
    }
    if (event.cdb.size() > 1 && event.cdb[1] == kWriteFunction) {
      if (!yes) journey.broken.push_back("a write to " + event.device + " without the user's Yes");
      yes = false;
    }
  }
}

// Nothing is left open once the window is closed, but what the system
// failed to close.
void CheckReleased(JourneyPlatform& platform, const Fault& fault, Journey& journey) {
  const bool closeFailed = fault.call == "CloseHandle";
  if (platform.OpenDeviceCount() != 0 && !closeFailed) journey.broken.push_back("a device handle left open");
  if (platform.OpenEventCount() != 0 && !closeFailed) journey.broken.push_back("an event left open");
  if (!platform.LoadedLibraries().empty() && !platform.LibraryFreed() && fault.call != "FreeLibrary") {
    journey.broken.push_back("the ASPI library left loaded");
  }
  if (platform.Aspi() != nullptr && !platform.Aspi()->pending.empty()) {
    journey.broken.push_back("an ASPI request left pending");
  }
}

// Whether the step that ended the program showed a message.
bool ToldInLastStep(const JourneyPlatform& platform, const Journey& journey) {
  for (std::size_t at = journey.lastStep; at < platform.Events().size(); ++at) {
    if (platform.Events()[at].kind == JourneyEvent::Message) return true;
  }
  return false;
}

Journey RunJourney(const System& system, const Fault& fault) {
  test::TestCode test;
  Journey journey;
  JourneyPlatform platform;
  system.arrange(platform);
  platform.SetDefaultAnswer(Id::Yes);
  if (!fault.call.empty()) platform.InjectFault(fault.call, fault.nth, fault.mode, fault.answer);
  platform.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) { UserSession(platform, window, journey); });

  const long liveBefore = test::LiveProgramAllocations();
  const long allocationsBefore = test::ProgramAllocations();
  bool exited = false;
  {
    std::optional<test::FailingAllocation> failing;
    if (fault.allocation != 0) failing.emplace(static_cast<int>(fault.allocation));
    try {
      test::ProgramCode program;
      CBitsetApp app;
      app.Run();
    } catch (const memory::ProcessExit&) {
      exited = true;
    } catch (const std::exception& exception) {
      journey.broken.push_back(std::string("the program died of an exception: ") + exception.what());
    }
  }
  journey.allocations = test::ProgramAllocations() - allocationsBefore;
  journey.calls = platform.Calls();

  CheckCommands(platform, journey);
  const bool endedByProgram = exited || (!platform.DialogResults().empty() && platform.DialogResults().front() == 1);
  // (A message box that itself fails cannot tell.)
  if (endedByProgram && fault.call != "MessageBox" && !ToldInLastStep(platform, journey)) {
    journey.broken.push_back("the program ended without a message");
  }
  // A process that ends is cleaned up by the system, not by the program.
  if (!exited) {
    CheckReleased(platform, fault, journey);
    if (test::LiveProgramAllocations() != liveBefore) journey.broken.push_back("memory leaked");
  }
  return journey;
}

// Garbage a call may answer with: wrong information from a query. Calls
// that act (and handles) only fail: an action that answers success without
// having been done is no answer Windows gives.
std::optional<long long> Garbage(const std::string& kind) {
  static const std::map<std::string, long long> garbage = {
      {"MessageBox", 3},                // IDABORT, a button the box does not have
      {"WaitForSingleObject", 0x102},   // WAIT_TIMEOUT from an endless wait
      {"GetLogicalDriveStrings", 200},  // more than the buffer holds
      {"DeviceIoControl", 1},           // success, with nothing done
      {"CB_GETCURSEL", 7},              // a line the box does not have
      {"CB_GETCOUNT", 7},
      {"CB_GETLBTEXTLEN", 200},
      {"WM_GETTEXTLENGTH", 200},
      {"BM_GETCHECK", 2},               // BST_INDETERMINATE
      {"WM_GETDLGCODE", 7},
  };
  auto found = garbage.find(kind);
  if (found == garbage.end()) return std::nullopt;
  return found->second;
}

// Every fault of a journey: each call of the clean run failing, and
// answering garbage, at its position; each program allocation failing.
std::vector<Fault> Faults(const Journey& clean) {
  std::vector<Fault> faults;
  std::map<std::string, int> seen;
  for (const std::string& kind : clean.calls) {
    const int nth = ++seen[kind];
    faults.push_back(Fault{kind, nth, FaultMode::Fail, 0, 0});
    if (auto answer = Garbage(kind)) faults.push_back(Fault{kind, nth, FaultMode::Answer, *answer, 0});
  }
  for (long allocation = 1; allocation <= clean.allocations; ++allocation) {
    faults.push_back(Fault{std::string(), 0, FaultMode::Fail, 0, allocation});
  }
  return faults;
}

TEST(FaultJourneys, NoFaultBreaksWhatMustHold) {
  long journeys = 0;
  std::map<std::string, int> brokenCounts;
  for (const System& system : kSystems) {
    RunJourney(system, Fault{});  // the program's lasting state is set up once
    const Journey clean = RunJourney(system, Fault{});
    EXPECT_EQ(clean.broken, std::vector<std::string>{}) << system.name << ", without a fault";
    const std::vector<Fault> faults = Faults(clean);
    for (const Fault& fault : faults) {
      const Journey journey = RunJourney(system, fault);
      ++journeys;
      for (const std::string& broken : journey.broken) {
        if (std::getenv("FAULT_JOURNEYS_ALL") != nullptr) std::printf("BROKEN %s | %s | %s\n", system.name, fault.Describe().c_str(), broken.c_str());
        if (++brokenCounts[broken] <= 3) ADD_FAILURE() << system.name << ", " << fault.Describe() << ": " << broken;
      }
    }
    std::printf("%s: %zu platform calls, %ld allocations, %zu faulty journeys\n", system.name,
                clean.calls.size(), clean.allocations, faults.size());
  }
  for (const auto& [broken, count] : brokenCounts) std::printf("%d journeys: %s\n", count, broken.c_str());
  std::printf("fault journeys tried: %ld\n", journeys);
  RecordProperty("journeys", static_cast<int>(journeys));
}

}  // namespace
