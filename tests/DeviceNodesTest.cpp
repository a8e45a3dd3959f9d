// Finding the device nodes of the Linux program in a tree made by the test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/DeviceNodes.h"

namespace fs = std::filesystem;

namespace {

// A /dev and a /sys of the test's own.
class DeviceTree : public ::testing::Test {
 protected:
  DeviceTree() {
    root = fs::temp_directory_path() / ("bitset-nodes-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "dev");
    paths.dev = (root / "dev").string();
    paths.sys = (root / "sys").string();
  }
  ~DeviceTree() override { fs::remove_all(root); }

  // A node; with an address, sysfs links it to that SCSI device.
  void Node(const std::string& name, const std::string& address = "", int type = -1) {
    std::ofstream(root / "dev" / name).put('\0');
    if (address.empty()) return;
    const fs::path device = root / "sys/devices/host0" / address;
    fs::create_directories(device);
    if (type >= 0) std::ofstream(device / "type") << type << "\n";
    const char* kind = name.compare(0, 2, "sg") == 0 ? "class/scsi_generic" : "class/block";
    fs::create_directories(root / "sys" / kind / name);
    fs::create_directory_symlink(fs::path("../../../devices/host0") / address,
                                 root / "sys" / kind / name / "device");
  }
  std::string Dev(const std::string& name) const { return (root / "dev" / name).string(); }

  fs::path root;
  SystemPaths paths;
};

TEST_F(DeviceTree, BothNodesOfOneDeviceAreOneEntryTheGenericNodeFirst) {
  Node("sr0", "1:0:0:0");
  Node("sg0", "0:0:0:0", 0);
  Node("sg1", "1:0:0:0", 5);
  Node("sda");
  Node("sg123456789");  // no sysfs entry: on its own; the longest name taken
  Node("sg1234567890");
  Node("sg2");
  Node("srx");
  const std::vector<DeviceNode> nodes = FindDeviceNodes(paths);
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[0].paths, std::vector<std::string>{Dev("sg0")});
  EXPECT_EQ(nodes[0].sysfsType, 0);
  EXPECT_EQ(nodes[1].paths, (std::vector<std::string>{Dev("sg1"), Dev("sr0")}));
  EXPECT_EQ(nodes[1].address, "1:0:0:0");
  EXPECT_EQ(nodes[1].sysfsType, 5);
  EXPECT_EQ(nodes[2].paths, std::vector<std::string>{Dev("sg2")});
  EXPECT_EQ(nodes[3].paths, std::vector<std::string>{Dev("sg123456789")});
  EXPECT_EQ(nodes[3].sysfsType, -1);
}

TEST_F(DeviceTree, OpticalNodesWithoutGenericNodesStandAlone) {
  Node("sr1");
  Node("sr0");
  const std::vector<DeviceNode> nodes = FindDeviceNodes(paths);
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].paths, std::vector<std::string>{Dev("sr0")});
  EXPECT_EQ(nodes[1].paths, std::vector<std::string>{Dev("sr1")});
}

TEST_F(DeviceTree, NoDeviceDirectoryGivesNoNodes) {
  paths.dev = (root / "missing").string();
  EXPECT_TRUE(FindDeviceNodes(paths).empty());
}

}  // namespace
