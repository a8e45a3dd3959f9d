// set: reads the settings, asks, writes each book type that really
// changes, and reads the settings back. It decides by the settings byte's
// two bits, which the write values set and clear.
#include <algorithm>
#include <cstdint>

#include "bitset/BookSettingsDecoding.h"
#include "bitset/BookTypeCommands.h"
#include "bitset/BookTypeMessages.h"
#include "bitset/FirmwareGate.h"
#include "cli/CommandRun.h"
#include "cli/ExitCodes.h"

namespace {

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
void ShowChanges(CommandRun& run, int settings, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    run.report.Message(std::string(MediaName(change.medium)) + " media: " +
                       BookTypeBitText(settings, change.medium) + " -> " +
                       BookTypeName(change.medium, change.dvdRom));
  }
}

// Asks on the terminal unless --yes was given; never without a terminal.
bool Confirmed(CommandRun& run, int settings, const std::vector<Change>& changes) {
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
bool WriteChanges(CommandRun& run, NodeSession& session, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    const bool written = session.Run([&change](CScsiPassThrough& channel) {
      return SetBookType(channel, change.valueByte) == kCommandSucceeded;
    });
    if (!written) {
      run.report.Message(std::string(kCommandFailedMessage) + " (" + session.Node() + ": " +
                         DescribeFailure(session.Failure(), session.Node()) + ")");
      return false;
    }
  }
  return true;
}

// True when the settings read back report every change asked for.
bool ChangesTaken(CommandRun& run, int settings, const std::vector<Change>& changes) {
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
int ChangeSettings(CommandRun& run, NodeSession& session, const std::vector<Change>& changes) {
  const bool written = WriteChanges(run, session, changes);
  const int settings = ReadSettings(run, session);
  if (settings >= 0) ReportSettings(run, session, settings);
  if (!written || settings < 0) return kExitDriveRefused;
  return ChangesTaken(run, settings, changes) ? kExitSuccess : kExitDriveRefused;
}

}  // namespace

bool CheckSet(const CommandLine& line, std::string& error) {
  if (line.plusR != kNotAsked || line.plusRw != kNotAsked) return true;
  error = "set needs --plus-r or --plus-rw (or both)";
  return false;
}

int RunSet(CommandRun& run) {
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
    ReportSettings(run, *session, settings);
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

