// show: the drive's line, its two book types and its settings byte.
#include "cli/CommandRun.h"
#include "cli/ExitCodes.h"

int RunShow(CommandRun& run) {
  int exit = kExitSuccess;
  const std::unique_ptr<NodeSession> session = OpenCdDvd(run, DeviceOf(run), exit);
  if (session == nullptr) return exit;
  const int settings = ReadSettings(run, *session);
  if (settings < 0) return kExitDriveRefused;
  ReportSettings(run, *session, settings);
  return kExitSuccess;
}
