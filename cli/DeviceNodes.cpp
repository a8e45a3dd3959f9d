#include "cli/DeviceNodes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct NodeName {
  std::string prefix;  // "sg" or "sr"
  unsigned long number = 0;
  std::string name;
};

// "sg12" as {"sg", 12}; false for any other name.
bool ParseNodeName(const std::string& name, NodeName& node) {
  const bool knownKind = name.compare(0, 2, "sg") == 0 || name.compare(0, 2, "sr") == 0;
  if (name.size() < 3 || name.size() > 11 || !knownKind) return false;
  const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (!std::all_of(name.begin() + 2, name.end(), isDigit)) return false;
  node.prefix = name.substr(0, 2);
  node.number = std::stoul(name.substr(2));
  node.name = name;
  return true;
}

std::vector<NodeName> NodeNames(const std::string& dev) {
  std::vector<NodeName> names;
  std::error_code error;
  for (fs::directory_iterator it(dev, error), end; !error && it != end; it.increment(error)) {
    NodeName node;
    if (ParseNodeName(it->path().filename().string(), node)) names.push_back(node);
  }
  // SCSI generic nodes first, each kind by number.
  std::sort(names.begin(), names.end(), [](const NodeName& a, const NodeName& b) {
    if (a.prefix != b.prefix) return a.prefix == "sg";
    return a.number < b.number;
  });
  return names;
}

// The sysfs directory of the node's SCSI device.
fs::path SysfsDevice(const SystemPaths& paths, const NodeName& node) {
  const char* kind = node.prefix == "sg" ? "class/scsi_generic" : "class/block";
  return fs::path(paths.sys) / kind / node.name / "device";
}

std::string ScsiAddress(const fs::path& device) {
  std::error_code error;
  const fs::path target = fs::canonical(device, error);
  return error ? std::string() : target.filename().string();
}

// The device's peripheral type from its "type" file; -1 when there is no
// such plain file. Opened without blocking: nothing put in its place (a
// FIFO, a device) can make the program wait.
int SysfsType(const fs::path& device) {
  const int fd = ::open((device / "type").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat status {};
  char text[16] = {};
  ssize_t length = -1;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) length = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (length <= 0) return -1;
  char* end = nullptr;
  const long type = std::strtol(text, &end, 10);
  return end != text && type >= 0 && type <= 255 ? static_cast<int>(type) : -1;
}

}  // namespace

std::vector<DeviceNode> FindDeviceNodes(const SystemPaths& paths) {
  std::vector<DeviceNode> nodes;
  for (const NodeName& name : NodeNames(paths.dev)) {
    const fs::path device = SysfsDevice(paths, name);
    const std::string address = ScsiAddress(device);
    const std::string path = (fs::path(paths.dev) / name.name).string();
    auto same = std::find_if(nodes.begin(), nodes.end(), [&](const DeviceNode& node) {
      return !address.empty() && node.address == address;
    });
    if (same != nodes.end()) {
      same->paths.push_back(path);
      continue;
    }
    nodes.push_back(DeviceNode{{path}, address, SysfsType(device)});
  }
  return nodes;
}
