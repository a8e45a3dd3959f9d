// list: every CD/DVD and WORM device, each once, by the node its commands
// go through, and every node that cannot be used, with the reason.
#include "cli/CommandRun.h"
#include "cli/ExitCodes.h"
#include "devices/DriveBoxLines.h"

namespace {

void Unusable(CommandRun& run, const std::string& node, const std::string& why) {
  if (run.report.Json()) {
    run.report.Result(JsonLine().Text("device", node).Text("error", why), {});
  } else {
    run.report.Message(node + ": " + why);
  }
}

// Lists the device if it answers the INQUIRY as a CD/DVD or WORM device. A
// node that cannot be used is named, unless sysfs shows it is no CD/DVD.
bool ListDevice(CommandRun& run, const DeviceNode& device) {
  OpenFailure failure;
  const std::unique_ptr<NodeSession> session = OpenFirst(run, device, failure);
  if (session == nullptr) {
    const bool otherKind = device.sysfsType >= 0 && !IsListedType(device.sysfsType);
    if (!otherKind) Unusable(run, failure.node, failure.why);
    return false;
  }
  if (!session->Inquire()) {
    Unusable(run, session->Node(),
             "no answer to INQUIRY: " + DescribeFailure(session->Failure(), session->Node()));
    return false;
  }
  if (!IsListedType(session->Record().PeripheralType)) return false;
  ReportDevice(run, *session, OtherNodes(device, session->Node()));
  return true;
}

// What to check when no drive was found, and which nodes were tried.
void NoDeviceFound(CommandRun& run, const std::vector<DeviceNode>& devices) {
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

}  // namespace

int RunList(CommandRun& run) {
  int listed = 0;
  const std::vector<DeviceNode> devices = FindDeviceNodes(run.paths);
  for (const DeviceNode& device : devices) {
    if (ListDevice(run, device)) ++listed;
  }
  if (listed > 0) return kExitSuccess;
  NoDeviceFound(run, devices);
  return kExitNoDevice;
}
