// The book-type commands on their own: a channel bound to a simulated
// drive, no window.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>

#include "bitset/BookTypeCommands.h"
#include "bitset/FirmwareGate.h"
#include "devices/DeviceInfo.h"
#include "scsi/AspiLibrary.h"
#include "scsi/ScsiPassThrough.h"
#include "tests/TestSupport.h"

namespace {

const char kRead[] = "F3 0F 02 00 00 00 07 00 80 00 00 00";

// A drive record bound to a channel: by its letter through the
// pass-through, or by its bus address through the ASPI library.
class BookTypeCommandsTest : public ::testing::TestWithParam<bool> {
 protected:
  bool ThroughAspi() const { return GetParam(); }

  sim::DriveModel& Install(const sim::DriveConfig& config) {
    if (ThroughAspi()) {
      platform.SetVersion(test::kWindows, 4, 10);
      sim::DriveModel& drive = platform.InstallAspi().AddDevice(0, 1, 0, config);
      EXPECT_EQ(library.Load(), 0);
      channel = std::make_unique<CScsiPassThrough>(ScsiRoute::Aspi, platform);
      channel->BindAspiLibrary(&library);
      device.TargetId = 1;
      channel->BindDevice(&device);
      return drive;
    }
    sim::DriveModel& drive = platform.AddDrive('D', config);
    channel = std::make_unique<CScsiPassThrough>(ScsiRoute::Spti, platform);
    std::memcpy(device.DriveName, "D:", 3);
    channel->BindDevice(&device);
    return drive;
  }

  memory::MemoryPlatform platform;
  CAspiLibrary library;
  CDeviceInfo device;
  std::unique_ptr<CScsiPassThrough> channel;
};

TEST_P(BookTypeCommandsTest, ReadGivesTheSettingsByteWhole) {
  sim::DriveModel& drive = Install(test::QsiWriter());
  for (std::uint8_t settings : std::initializer_list<std::uint8_t>{0x00, 0x01, 0x02, 0x80, 0xFF}) {
    drive.Config().settings = settings;
    EXPECT_EQ(QueryBookSettings(*channel), settings);
    EXPECT_EQ(test::CdbsOf(drive), std::vector<std::string>{kRead});
    ASSERT_EQ(drive.Commands().size(), 1u);
    EXPECT_EQ(drive.Commands()[0].direction, sim::Direction::FromDrive);
    EXPECT_EQ(drive.Commands()[0].length, 128u);
    drive.ClearCommands();
  }
}

TEST_P(BookTypeCommandsTest, ReadOfADriveWithoutTheCommandsIsMinusOne) {
  Install(test::PlainCdRom());
  EXPECT_EQ(QueryBookSettings(*channel), -1);
  channel->BindDevice(nullptr);
  EXPECT_EQ(QueryBookSettings(*channel), -1);  // nothing bound: nothing read
}

TEST_P(BookTypeCommandsTest, WriteChangesOneSettingAndReadsBackAsWritten) {
  const struct {
    std::uint8_t before, value, after;
  } cases[] = {
      {0x00, 0xD1, 0x01}, {0x03, 0xD0, 0x02}, {0x00, 0xE2, 0x02}, {0x03, 0xE0, 0x01},
  };
  sim::DriveModel& drive = Install(test::QsiWriter());
  for (const auto& c : cases) {
    drive.Config().settings = c.before;
    drive.ClearCommands();
    EXPECT_EQ(SetBookType(*channel, c.value), kCommandSucceeded);
    char expected[40];
    std::snprintf(expected, sizeof expected, "F3 0E 70 %02X 00 00 00 00 00 00 00 00", c.value);
    EXPECT_EQ(test::CdbsOf(drive), std::vector<std::string>{expected});
    EXPECT_EQ(drive.Commands()[0].length, 0u);
    EXPECT_EQ(QueryBookSettings(*channel), c.after);
  }
}

TEST_P(BookTypeCommandsTest, RefusedWriteIsAFailureAndChangesNothing) {
  sim::DriveConfig config = test::QsiWriter("BX03", 0x00);
  config.writeFails = true;
  sim::DriveModel& drive = Install(config);
  EXPECT_NE(SetBookType(*channel, 0xD1), kCommandSucceeded);
  EXPECT_EQ(drive.Config().settings, 0x00);
}

std::string RouteName(const ::testing::TestParamInfo<bool>& route) {
  return route.param ? "Aspi" : "PassThrough";
}

INSTANTIATE_TEST_SUITE_P(Routes, BookTypeCommandsTest, ::testing::Values(false, true), RouteName);

TEST(FirmwareGateTest, OnlyBx01AndBx02AreRefused) {
  const struct {
    const char* revision;
    bool refused;
  } cases[] = {{"BX01", true}, {"BX02", true}, {"BX03", false}, {"", false},
               {"BX02 ", false}, {"bx02", false}, {"BX0", false}, {"1.00", false}};
  for (const auto& c : cases) EXPECT_EQ(FirmwareRefused(c.revision), c.refused) << c.revision;
}

}  // namespace
