// The device nodes the program questions: the SCSI generic nodes
// (/dev/sg*) and the optical drive nodes (/dev/sr*). A device that has both
// is one entry; its SCSI address in sysfs tells which nodes belong together.
#pragma once

#include <string>
#include <vector>

// Where the nodes and sysfs are: the system's own, or a tree of the tests.
struct SystemPaths {
  std::string dev = "/dev";
  std::string sys = "/sys";
};

struct DeviceNode {
  // The nodes of the device in the order they are tried: the SCSI generic
  // node first, as it passes the vendor commands without root rights.
  std::vector<std::string> paths;
  std::string address;  // "host:channel:target:lun" from sysfs; empty when unknown
  int sysfsType = -1;   // peripheral device type from sysfs; -1 when unknown
};

// Every sg and sr node under `paths.dev`, by number, a device with both
// nodes once.
std::vector<DeviceNode> FindDeviceNodes(const SystemPaths& paths);
