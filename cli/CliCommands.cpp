#include "cli/CliCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "bitset/BookSettingsDecoding.h"
#include "bitset/BookTypeCommands.h"
#include "bitset/BookTypeMessages.h"
#include "bitset/FirmwareGate.h"
#include "cli/ExitCodes.h"
#include "cli/NodeSession.h"
#include "cli/Report.h"
#include "scsi/SgDriver.h"

namespace {

struct Run {
  SgDriver& driver;
  Console& console;
  Report& report;
  const CommandLine& line;
  const SystemPaths& paths;
};

std::vector<std::string> OtherNodes(const DeviceNode& device, const std::string& used) {
  std::vector<std::string> others;
  for (const std::string& path : device.paths) {
    if (path != used) others.push_back(path);
  }
  return others;
}

TraceSettings Trace(Run& run) {
  Report& report = run.report;
  return TraceSettings{run.line.verbose, [&report](const std::string& line) { report.Message(line); }};
}

// Why the first node tried could not be opened: "/dev/sg0: cannot open: ...".
struct OpenFailure {
  std::string node;
  std::string why;
  std::string Text() const { return node + ": " + why; }
};

// The first of the device's nodes that opens, or null with the failure of
// the first node tried.
std::unique_ptr<NodeSession> OpenFirst(Run& run, const DeviceNode& device, OpenFailure& failure) {
  for (const std::string& path : device.paths) {
    auto session = std::make_unique<NodeSession>(run.driver, path, Trace(run));
    if (session->Open()) return session;
    if (failure.node.empty()) {
      failure = {path, "cannot open: " + DescribeFailure(session->Failure(), path)};
    }
  }
  return nullptr;
}

// Lists the device if it answers the INQUIRY as a CD/DVD or WORM device. A
// node that cannot be used is named, unless sysfs shows it is no CD/DVD.
bool ListDevice(Run& run, const DeviceNode& device) {
  OpenFailure failure;
  const std::unique_ptr<NodeSession> session = OpenFirst(run, device, failure);
  if (session == nullptr) {
    const bool otherKind = device.sysfsType >= 0 && !IsListedType(device.sysfsType);
    if (!otherKind) run.report.Unusable(failure.node, failure.why);
    return false;
  }
  if (!session->Inquire()) {
    run.report.Unusable(session->Node(), "no answer to INQUIRY: " +
                                             DescribeFailure(session->Failure(), session->Node()));
    return false;
  }
  if (!IsListedType(session->Record().PeripheralType)) return false;
  run.report.Device(*session, OtherNodes(device, session->Node()));
  return true;
}

// What to check when no drive was found, and which nodes were tried.
void NoDeviceFound(Run& run, const std::vector<DeviceNode>& devices) {
  run.report.Message("No CD/DVD or WORM device found");
  std::string tried;
  for (const DeviceNode& device : devices) {
    for (const std::string& path : device.paths) tried += (tried.empty() ? "" : ", ") + path;
  }
  run.report.Message(tried.empty() ? "nodes tried: none, " + run.paths.dev + " has no sg* or sr* node"
                                   : "nodes tried: " + tried);
  run.report.Message("check that the drive is connected and switched on, that the SCSI generic "
                     "driver is loaded (modprobe sg), and that your user may read and write the "
                     "nodes (group cdrom; ls -l /dev/sg* /dev/sr*)");
}

int List(Run& run) {
  int listed = 0;
  const std::vector<DeviceNode> devices = FindDeviceNodes(run.paths);
  for (const DeviceNode& device : devices) {
    if (ListDevice(run, device)) ++listed;
  }
  if (listed > 0) return kExitSuccess;
  NoDeviceFound(run, devices);
  return kExitNoDevice;
}

// The path with its links resolved, or as given when it cannot be.
std::string Resolved(const std::string& path) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(path, error);
  return error ? path : resolved.string();
}

// The device of the command line with all its nodes, the SCSI generic node
// first: given /dev/sr0 (or a link to it), the commands go through the
// drive's /dev/sg* node, which passes them without root rights.
DeviceNode DeviceOf(const Run& run) {
  const std::string wanted = Resolved(run.line.device);
  for (const DeviceNode& device : FindDeviceNodes(run.paths)) {
    for (const std::string& path : device.paths) {
      if (Resolved(path) == wanted) return device;
    }
  }
  return DeviceNode{{run.line.device}, std::string(), -1};
}

// Opens the device of the command line and questions it: null after the
// message of a failure, whose exit code is then in `exit`.
std::unique_ptr<NodeSession> OpenCdDvd(Run& run, const DeviceNode& device, int& exit) {
  OpenFailure failure;
  std::unique_ptr<NodeSession> session = OpenFirst(run, device, failure);
  exit = kExitNoDevice;
  if (session == nullptr) {
    run.report.Message(failure.Text());
    return nullptr;
  }
  const std::string& node = session->Node();
  if (!session->Inquire()) {
    // A node without SG_IO is no SCSI device, let alone a CD/DVD.
    exit = session->Failure().systemError == ENOTTY ? kExitNotCdDvd : kExitDriveRefused;
    run.report.Message(node + ": no answer to INQUIRY: " + DescribeFailure(session->Failure(), node));
    return nullptr;
  }
  exit = kExitNotCdDvd;
  const int type = session->Record().PeripheralType;
  if (!IsListedType(type)) {
    run.report.Message(node + ": not a CD/DVD or WORM device (peripheral type " +
                       std::to_string(type) + ")");
    return nullptr;
  }
  exit = kExitSuccess;
  run.report.Device(*session, OtherNodes(device, node));
  return session;
}

// The settings byte, or -1 after the exe's message for a drive that does
// not answer the read command.
int ReadSettings(Run& run, NodeSession& session) {
  const int settings = session.ReadSettings();
  if (settings < 0) {
    run.report.Message(std::string(kNotQsiDriveMessage) + " (" + session.Node() + ": " +
                       DescribeFailure(session.Failure(), session.Node()) + ")");
  }
  return settings;
}

int Show(Run& run) {
  int exit = kExitSuccess;
  const std::unique_ptr<NodeSession> session = OpenCdDvd(run, DeviceOf(run), exit);
  if (session == nullptr) return exit;
  const int settings = ReadSettings(run, *session);
  if (settings < 0) return kExitDriveRefused;
  run.report.Settings(*session, settings);
  return kExitSuccess;
}

// One book type that set changes: the +R or the +RW setting.
struct Change {
  Medium medium;
  bool dvdRom;             // asked for: DVD-ROM, else the medium's own book type
  std::uint8_t valueByte;  // of the write command
};

const char* MediaName(Medium medium) { return medium == Medium::PlusR ? "DVD+R" : "DVD+RW"; }

// The changes asked for that the drive's settings do not already have.
std::vector<Change> ChangesNeeded(const CommandLine& line, int settings) {
  std::vector<Change> changes;
  if (line.plusR != kNotAsked) changes.push_back({Medium::PlusR, line.plusR != 0, PlusRValueByte(line.plusR)});
  if (line.plusRw != kNotAsked) {
    changes.push_back({Medium::PlusRw, line.plusRw != 0, PlusRwValueByte(line.plusRw)});
  }
  changes.erase(std::remove_if(changes.begin(), changes.end(),
                               [settings](const Change& change) {
                                 return DvdRomBitSet(settings, change.medium) == change.dvdRom;
                               }),
                changes.end());
  return changes;
}

// "DVD+R media: DVD+R -> DVD-ROM" for each change.
void ShowChanges(Run& run, int settings, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    run.report.Message(std::string(MediaName(change.medium)) + " media: " +
                       BookTypeBitText(settings, change.medium) + " -> " +
                       BookTypeName(change.medium, change.dvdRom));
  }
}

// Asks on the terminal unless --yes was given; never without a terminal.
bool Confirmed(Run& run, int settings, const std::vector<Change>& changes) {
  if (run.line.yes) return true;
  if (!run.console.IsInteractive()) {
    run.report.Message("Not changed: there is no terminal to ask on; add --yes to change the "
                       "drive without a question");
    return false;
  }
  ShowChanges(run, settings, changes);
  if (IsYes(run.console.Ask(std::string(kConfirmChangeQuestion) + " [y/N] "))) return true;
  run.report.Message("Cancelled: nothing was sent to the drive");
  return false;
}

// Sends the write command of each change in turn; stops at the first the
// drive refuses.
bool WriteChanges(Run& run, NodeSession& session, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    if (!session.Write(change.valueByte)) {
      run.report.Message(std::string(kCommandFailedMessage) + " (" + session.Node() + ": " +
                         DescribeFailure(session.Failure(), session.Node()) + ")");
      return false;
    }
  }
  return true;
}

// True when the settings read back report every change asked for.
bool ChangesTaken(Run& run, int settings, const std::vector<Change>& changes) {
  bool taken = true;
  for (const Change& change : changes) {
    if (DvdRomBitSet(settings, change.medium) != change.dvdRom) {
      run.report.Message(std::string("The drive did not take the change: it reports ") +
                         BookTypeBitText(settings, change.medium) + " for " +
                         MediaName(change.medium) + " media");
      taken = false;
    }
  }
  return taken;
}

// Writes, then reads back and shows what the drive reports, as the exe
// does after every write, failed or not.
int ChangeSettings(Run& run, NodeSession& session, const std::vector<Change>& changes) {
  const bool written = WriteChanges(run, session, changes);
  const int settings = ReadSettings(run, session);
  if (settings >= 0) run.report.Settings(session, settings);
  if (!written || settings < 0) return kExitDriveRefused;
  return ChangesTaken(run, settings, changes) ? kExitSuccess : kExitDriveRefused;
}

int Set(Run& run) {
  int exit = kExitSuccess;
  const std::unique_ptr<NodeSession> session = OpenCdDvd(run, DeviceOf(run), exit);
  if (session == nullptr) return exit;
  if (FirmwareRefused(session->Record().Revision)) {
    run.report.Message(kFirmwareRefusedMessage);
    return kExitFirmwareRefused;
  }
  const int settings = ReadSettings(run, *session);
  if (settings < 0) return kExitDriveRefused;
  const std::vector<Change> changes = ChangesNeeded(run.line, settings);
  if (changes.empty()) {
    run.report.Message("Nothing to change: the drive already reports the book types asked for");
    run.report.Settings(*session, settings);
    return kExitSuccess;
  }
  if (run.line.dryRun) {
    ShowChanges(run, settings, changes);
    run.report.Message("Dry run: nothing was sent to the drive");
    return kExitSuccess;
  }
  if (!Confirmed(run, settings, changes)) return kExitCancelled;
  return ChangeSettings(run, *session, changes);
}

int Dispatch(Run& run) {
  switch (run.line.command) {
    case CliCommand::List: return List(run);
    case CliCommand::Show: return Show(run);
    case CliCommand::Set: return Set(run);
    case CliCommand::Help: run.console.Result(HelpText()); break;
    case CliCommand::Version: run.console.Result(VersionText()); break;
  }
  return kExitSuccess;
}

}  // namespace

int RunBitset(const std::vector<std::string>& arguments, Console& console, SgDriver& driver,
              const SystemPaths& paths) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(arguments, line, error)) {
    console.Message("bitset: " + Printable(error));
    console.Message("bitset: try 'bitset --help'");
    return kExitUsage;
  }
  Report report(console, line.json);
  Run run{driver, console, report, line, paths};
  return Dispatch(run);
}
