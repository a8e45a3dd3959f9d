#include <gtest/gtest.h>

#include <cstring>

#include "app/PlatformClass.h"
#include "devices/DeviceInfo.h"
#include "tests/memory/MemoryPlatform.h"
#include "scsi/AspiLibrary.h"
#include "bitset/BookTypeCommands.h"
#include "scsi/ScsiPassThrough.h"
#include "scsi/SptiRequestBlock.h"
#include "tests/TestSupport.h"

namespace {

using memory::DeviceEvent;

// What the channel hands its transport, answered as `answer` says.
struct RecordingTransport : ScsiTransport {
  ScsiOutcome Execute(const ScsiCommand& command) override {
    sent = command;
    cdb.assign(command.cdb, command.cdb + command.cdbLength);
    return answer;
  }
  ScsiCommand sent;
  std::vector<std::uint8_t> cdb;
  ScsiOutcome answer;
};

class CommandByteTest : public ::testing::Test {
 protected:
  void Send() { channel.ExecuteCommand(kDataToDriveOrNone, nullptr, 0); }

  RecordingTransport transport;
  CScsiPassThrough channel{transport};
};

TEST_F(CommandByteTest, IndexZeroPreparesTheWholeRequest) {
  EXPECT_EQ(channel.BytesTransferred(), 0u) << "nothing before the first command";
  channel.CommandByte(0) = 0x12;
  Send();
  EXPECT_EQ(transport.cdb, std::vector<std::uint8_t>{0x12});
  EXPECT_EQ(transport.sent.timeOutSeconds, 30u);
  EXPECT_EQ(transport.sent.data, nullptr);
}

TEST_F(CommandByteTest, CdbLengthFollowsTheMostRecentIndex) {
  const struct {
    std::vector<int> indexes;
    int length;
  } cases[] = {{{0, 4, 5}, 6}, {{0, 1, 2, 3, 11}, 12}, {{0, 11, 3}, 4}, {{0, 15}, 16}, {{0}, 1}};
  for (const auto& c : cases) {
    for (int index : c.indexes) channel.CommandByte(index) = 0xAA;
    Send();
    EXPECT_EQ(transport.sent.cdbLength, c.length);
  }
}

TEST_F(CommandByteTest, ResetWipesThePreviousCommandAndItsSense) {
  transport.answer.sense[0] = 0x70;  // left by a drive
  transport.answer.senseLength = 18;
  SetAnswer(transport.answer, kScsiStatusCheckCondition, 0);
  channel.CommandByte(0) = 0xF3;
  channel.CommandByte(9) = 0x55;
  Send();
  ASSERT_EQ(channel.LastOutcome().end, ScsiEnd::Sense);
  channel.CommandByte(0) = 0x12;
  EXPECT_EQ(channel.LastOutcome().end, ScsiEnd::NoAnswer);
  EXPECT_EQ(channel.LastOutcome().senseLength, 0);
  channel.CommandByte(10) = 0;
  Send();
  EXPECT_EQ(transport.cdb[9], 0);
}

TEST_F(CommandByteTest, NeverWritesOutsideTheCdb) {
  channel.CommandByte(0) = 0x12;
  channel.CommandByte(5) = 0x00;
  for (int index : {-1, 16, 17, 1000}) channel.CommandByte(index) = 0xEE;
  Send();
  EXPECT_EQ(transport.cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0, 0}));
}

class ChannelTest : public ::testing::Test {
 protected:
  ChannelTest() { platform.SetVersion(test::kNt, 5, 1); }

  void BuildInquiry() {
    channel.CommandByte(0) = 0x12;
    channel.CommandByte(4) = 0x4A;
    channel.CommandByte(5) = 0x00;
  }

  std::vector<DeviceEvent::Kind> Kinds() const {
    std::vector<DeviceEvent::Kind> kinds;
    for (const DeviceEvent& event : platform.DeviceEvents()) kinds.push_back(event.kind);
    return kinds;
  }

  memory::MemoryPlatform platform;
  CScsiPassThrough channel{RouteFor(GetPlatformClass()), platform};
  CDeviceInfo device;
};

TEST_F(ChannelTest, OpenDriveAsksForSharedReadWriteAccess) {
  platform.AddDrive('D');
  EXPECT_EQ(channel.OpenDrive("D:"), 1);
  ASSERT_EQ(platform.DeviceEvents().size(), 1u);
  const DeviceEvent& open = platform.DeviceEvents()[0];
  EXPECT_EQ(open.path, "\\\\.\\D:");
  EXPECT_EQ(open.access, 0xC0000000u);  // GENERIC_READ | GENERIC_WRITE
  EXPECT_EQ(open.share, 3u);            // FILE_SHARE_READ | FILE_SHARE_WRITE
  EXPECT_EQ(open.disposition, 3u);      // OPEN_EXISTING
  EXPECT_EQ(open.flags, 0u);
  channel.CloseDrive();
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(ChannelTest, OpenDriveCutsTheNameTo27Characters) {
  const std::string name(40, 'N');
  EXPECT_EQ(channel.OpenDrive(name.c_str()), 0);
  EXPECT_EQ(platform.DeviceEvents()[0].path, "\\\\.\\" + std::string(27, 'N'));
}

TEST_F(ChannelTest, ReopeningClosesTheOldHandleFirst) {
  platform.AddDrive('D');
  channel.OpenDrive("D:");
  EXPECT_EQ(channel.OpenDrive("E:"), 0);
  EXPECT_EQ(Kinds(), (std::vector<DeviceEvent::Kind>{DeviceEvent::Open, DeviceEvent::Close,
                                                     DeviceEvent::OpenFailed}));
  EXPECT_FALSE(channel.IsDriveOpen());
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(ChannelTest, OpenDriveOnTheAspiSideOpensNothing) {
  platform.SetVersion(test::kWindows, 4, 10);
  platform.AddDrive('D');
  CScsiPassThrough aspiSide{RouteFor(GetPlatformClass()), platform};  // the route is the one of the platform the channel is made on
  EXPECT_EQ(aspiSide.OpenDrive("D:"), 1);
  EXPECT_TRUE(platform.DeviceEvents().empty());
  EXPECT_FALSE(aspiSide.IsDriveOpen());
}

TEST_F(ChannelTest, CloseDriveOnAClosedHandleDoesNothing) {
  channel.CloseDrive();
  EXPECT_TRUE(platform.DeviceEvents().empty());
}

TEST_F(ChannelTest, EachCommandOpensSendsAndCloses) {
  sim::DriveModel& drive = platform.AddDrive('D');
  std::strcpy(device.DriveName, "D:");
  channel.BindDevice(&device);
  std::uint8_t response[74] = {};
  for (int i = 0; i < 2; ++i) {
    BuildInquiry();
    EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 0);
  }
  EXPECT_EQ(Kinds(), (std::vector<DeviceEvent::Kind>{DeviceEvent::Open, DeviceEvent::Io,
                                                     DeviceEvent::Close, DeviceEvent::Open,
                                                     DeviceEvent::Io, DeviceEvent::Close}));
  const DeviceEvent& io = platform.DeviceEvents()[1];
  EXPECT_EQ(io.code, 0x4D014u);
  EXPECT_EQ(io.inLength, kRequestBlockSize);
  EXPECT_EQ(io.outLength, kRequestWithSenseSize);
  EXPECT_EQ(io.cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x4A, 0}));
  EXPECT_EQ(io.dataIn, 1);
  EXPECT_EQ(io.dataLength, 74u);
  EXPECT_EQ(io.dataBuffer, response);
  EXPECT_EQ(io.timeOut, 30u);
  EXPECT_EQ(io.senseInfoLength, 18);
  EXPECT_EQ(io.blockLength, kRequestBlockSize);
  EXPECT_EQ(io.senseInfoOffset, kSenseAreaOffset);
  EXPECT_EQ(drive.Commands().size(), 2u);
  EXPECT_EQ(response[0], 0x05);
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(ChannelTest, UsesAndClosesAHandleOpenedBeforehand) {
  platform.AddDrive('D');
  channel.BindDevice(&device);  // its drive name is still empty
  channel.OpenDrive("D:");
  BuildInquiry();
  std::uint8_t response[74] = {};
  EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 0);
  EXPECT_EQ(Kinds(), (std::vector<DeviceEvent::Kind>{DeviceEvent::Open, DeviceEvent::Io,
                                                     DeviceEvent::Close}));
}

TEST_F(ChannelTest, SenseDataFailsTheCommandAndIsNotStale) {
  sim::DriveModel& drive = platform.AddDrive('D', test::PlainCdRom());
  std::strcpy(device.DriveName, "D:");
  channel.BindDevice(&device);
  std::uint8_t response[128] = {};
  channel.CommandByte(0) = 0xF3;
  channel.CommandByte(11) = 0;
  EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 1);
  EXPECT_EQ(channel.LastOutcome().end, ScsiEnd::Sense);
  EXPECT_EQ(channel.LastOutcome().sense[0], 0x70);
  EXPECT_EQ(channel.LastOutcome().codes.key, 0x05);
  // The next command succeeds: the old sense data must not decide it.
  drive.Config().vendorCommands = true;
  channel.CommandByte(0) = 0xF3;
  channel.CommandByte(1) = 0x0F;
  channel.CommandByte(11) = 0;
  EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 0);
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

// Sense data of any response code from 70h to 7Fh fails the command.
TEST_F(ChannelTest, CurrentAndDeferredSenseBothFail) {
  for (int code : {0x70, 0x71, 0x72, 0x73}) {
    memory::MemoryPlatform drives;
    drives.SetVersion(test::kNt, 5, 1);
    drives.AddDrive('D', test::PlainCdRom());
    drives.SetSenseResponseCode('D', static_cast<std::uint8_t>(code));
    CScsiPassThrough fresh{RouteFor(GetPlatformClass()), drives};
    fresh.BindDevice(&device);
    std::strcpy(device.DriveName, "D:");
    std::uint8_t response[128] = {};
    fresh.CommandByte(0) = 0xF3;
    fresh.CommandByte(11) = 0;
    EXPECT_EQ(fresh.ExecuteCommand(kDataFromDrive, response, sizeof response), 1) << code;
    EXPECT_EQ(fresh.LastOutcome().sense[0], code);
    EXPECT_EQ(fresh.LastOutcome().end, ScsiEnd::Sense) << code;
    EXPECT_EQ(fresh.LastOutcome().codes.deferred, code == 0x71 || code == 0x73) << code;
  }
}

TEST_F(ChannelTest, RefusedRequestFailsAndStillCloses) {
  platform.AddDrive('D');
  platform.FailRequests('D');
  std::strcpy(device.DriveName, "D:");
  channel.BindDevice(&device);
  BuildInquiry();
  std::uint8_t response[74] = {};
  EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 1);
  EXPECT_EQ(Kinds().back(), DeviceEvent::Close);
  EXPECT_EQ(platform.OpenDeviceCount(), 0);
}

TEST_F(ChannelTest, DriveThatCannotBeOpenedFails) {
  platform.AddUnopenableDrive('D');
  std::strcpy(device.DriveName, "D:");
  channel.BindDevice(&device);
  BuildInquiry();
  std::uint8_t response[74] = {};
  EXPECT_EQ(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 1);
  EXPECT_EQ(Kinds(), (std::vector<DeviceEvent::Kind>{DeviceEvent::OpenFailed, DeviceEvent::Io}));
}

TEST_F(ChannelTest, WriteWithoutDataIsSentAsDataOut) {
  sim::DriveModel& drive = platform.AddDrive('D');
  std::strcpy(device.DriveName, "D:");
  channel.BindDevice(&device);
  channel.CommandByte(0) = 0xF3;
  channel.CommandByte(1) = 0x0E;
  channel.CommandByte(2) = 0x70;
  channel.CommandByte(3) = 0xD1;
  channel.CommandByte(11) = 0x00;
  EXPECT_EQ(channel.ExecuteCommand(kDataToDriveOrNone, nullptr, 0), 0);
  const DeviceEvent& io = platform.DeviceEvents()[1];
  EXPECT_EQ(io.dataIn, 0);
  EXPECT_EQ(io.dataLength, 0u);
  EXPECT_EQ(io.cdb.size(), 12u);
  EXPECT_EQ(drive.Config().settings, 0x01);
}

TEST_F(ChannelTest, NoBoundDeviceSendsNothingAndFails) {
  std::uint8_t response[128] = {};
  channel.CommandByte(0) = 0xF3;
  channel.CommandByte(11) = 0;
  // Nothing was read, so nothing may pass for a drive's answer.
  EXPECT_NE(channel.ExecuteCommand(kDataFromDrive, response, sizeof response), 0);
  EXPECT_TRUE(platform.DeviceEvents().empty());
}

// A status other than GOOD fails the command, with or without sense data:
// BUSY, RESERVATION CONFLICT, TASK SET FULL, CHECK CONDITION without sense.
TEST_F(ChannelTest, StatusOtherThanGoodFailsTheCommand) {
  for (std::uint8_t status : {std::uint8_t{0x08}, std::uint8_t{0x18}, std::uint8_t{0x28}, std::uint8_t{0x02}}) {
    memory::MemoryPlatform drives;
    drives.SetVersion(test::kNt, 5, 1);
    drives.AddDrive('D');
    drives.ReportStatusWithoutSense('D', status);
    CScsiPassThrough fresh{RouteFor(GetPlatformClass()), drives};
    std::strcpy(device.DriveName, "D:");
    fresh.BindDevice(&device);
    EXPECT_EQ(QueryBookSettings(fresh), -1) << int{status};
    EXPECT_EQ(fresh.LastOutcome().status, status);
    EXPECT_EQ(fresh.LastOutcome().end, ScsiEnd::OtherStatus) << int{status};
    EXPECT_EQ(fresh.BytesTransferred(), 0u);
  }
}

// The settings byte is byte 6 of the response: a read that ends before it
// has read nothing.
TEST_F(ChannelTest, AReadEndingBeforeTheSettingsByteFails) {
  for (std::uint32_t returned : {0u, 6u, 7u, 128u}) {
    memory::MemoryPlatform drives;
    drives.SetVersion(test::kNt, 5, 1);
    drives.AddDrive('D', test::QsiWriter("BX03", 0x00)).Config().settingsLength = returned;
    CScsiPassThrough fresh{RouteFor(GetPlatformClass()), drives};
    std::strcpy(device.DriveName, "D:");
    fresh.BindDevice(&device);
    EXPECT_EQ(QueryBookSettings(fresh), returned > 6 ? 0 : -1) << returned;
    EXPECT_EQ(fresh.BytesTransferred(), returned);
  }
}

}  // namespace
