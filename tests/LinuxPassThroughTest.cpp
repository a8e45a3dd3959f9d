// The command channel on the Linux platform: each pass-through request
// becomes one SG_IO request to the device node behind the drive letter.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "devices/DeviceInfo.h"
#include "platform/linux/LinuxPlatform.h"
#include "scsi/ScsiPassThrough.h"
#include "tests/SimulatedSgDriver.h"
#include "tests/TestSupport.h"

namespace {

using linuxplatform::LinuxPlatform;

class LinuxPassThrough : public ::testing::Test {
 protected:
  LinuxPassThrough() : platform(driver) {
    SetPlatform(&platform);
    platform.MapDrive('d', "/dev/sg1");
    std::strcpy(device.DriveName, "D:");
  }
  ~LinuxPassThrough() override { SetPlatform(nullptr); }

  // The INQUIRY of the discoveries, sent through a fresh channel.
  CommandStatus Inquiry(std::uint8_t* response) {
    CScsiPassThrough channel;
    channel.BindDevice(&device);
    channel.CommandByte(0) = 0x12;
    channel.CommandByte(4) = 0x4A;
    channel.CommandByte(5) = 0x00;
    const CommandStatus status = channel.ExecuteCommand(kDataFromDrive, response, 74);
    request = channel.Request();
    return status;
  }
  CommandStatus Write(std::uint8_t value) {
    CScsiPassThrough channel;
    channel.BindDevice(&device);
    channel.CommandByte(0) = 0xF3;
    channel.CommandByte(1) = 0x0E;
    channel.CommandByte(2) = 0x70;
    channel.CommandByte(3) = value;
    channel.CommandByte(11) = 0x00;
    const CommandStatus status = channel.ExecuteCommand(kDataToDriveOrNone, nullptr, 0);
    request = channel.Request();
    return status;
  }

  test::SimulatedSgDriver driver;
  LinuxPlatform platform;
  CDeviceInfo device;
  ScsiRequestBuffer request{};
};

TEST_F(LinuxPassThrough, InquiryIsOneSgIoRequestWithTheChannelsTimeOut) {
  driver.AddDrive("/dev/sg1", test::QsiWriter());
  std::uint8_t response[74];
  EXPECT_EQ(Inquiry(response), kCommandSucceeded);
  ASSERT_EQ(driver.Requests().size(), 1u);
  const auto& sent = driver.Requests()[0];
  EXPECT_EQ(sent.cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x4A, 0}));
  EXPECT_EQ(sent.direction, SG_DXFER_FROM_DEV);
  EXPECT_EQ(sent.length, 74u);
  EXPECT_EQ(sent.timeout, 30000u);
  EXPECT_EQ(sent.senseRoom, 18u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(response) + 8, 3), "QSI");
  // The drive returned 36 bytes: the block tells how many came.
  EXPECT_EQ(request.request.DataTransferLength, 36u);
  EXPECT_EQ(driver.Opens(), (std::vector<std::pair<std::string, bool>>{{"/dev/sg1", true}}));
  EXPECT_EQ(driver.OpenCount(), 0);  // closed after the command
  EXPECT_EQ(driver.BadCloses(), 0);
}

TEST_F(LinuxPassThrough, WriteHasNoDataPhase) {
  sim::DriveModel& drive = driver.AddDrive("/dev/sg1", test::QsiWriter());
  EXPECT_EQ(Write(0xD1), kCommandSucceeded);
  ASSERT_EQ(driver.Requests().size(), 1u);
  const auto& sent = driver.Requests()[0];
  EXPECT_EQ(sent.cdb.size(), 12u);
  EXPECT_EQ(sent.direction, SG_DXFER_NONE);
  EXPECT_EQ(sent.length, 0u);
  EXPECT_FALSE(sent.buffer);
  EXPECT_EQ(drive.Config().settings, 0x01);
}

TEST_F(LinuxPassThrough, SenseDataComesBackInTheSenseArea) {
  driver.AddDrive("/dev/sg1", test::PlainCdRom());
  EXPECT_EQ(Write(0xD1), kCommandFailed);
  EXPECT_EQ(request.request.ScsiStatus, 0x02);
  EXPECT_EQ(request.request.SenseInfoLength, 18);
  EXPECT_EQ(request.sense[0], 0x70);
  EXPECT_EQ(request.sense[2], 0x05);   // ILLEGAL REQUEST
  EXPECT_EQ(request.sense[12], 0x20);  // invalid command operation code
  EXPECT_EQ(driver.OpenCount(), 0);
}

TEST_F(LinuxPassThrough, FailuresBelowTheDriveFailTheCall) {
  const struct {
    const char* what;
    int requestError;
    unsigned short hostStatus;
    std::uint32_t windowsError;
    int systemError;
  } cases[] = {
      {"kernel refuses the command", EPERM, 0, linuxplatform::kErrorAccessDenied, EPERM},
      {"request timed out", 0, 0x03, linuxplatform::kErrorSemTimeout, ETIMEDOUT},
      {"adapter error", 0, 0x01, linuxplatform::kErrorIoDevice, EIO},
  };
  for (const auto& c : cases) {
    test::SimulatedSgDriver local;
    LinuxPlatform linux(local);
    SetPlatform(&linux);
    linux.MapDrive('D', "/dev/sg1");
    local.AddDrive("/dev/sg1", test::QsiWriter());
    if (c.requestError != 0) local.RefuseRequests("/dev/sg1", c.requestError);
    if (c.hostStatus != 0) local.SetHostStatus("/dev/sg1", c.hostStatus);
    std::uint8_t response[74];
    EXPECT_EQ(Inquiry(response), kCommandFailed) << c.what;
    EXPECT_EQ(linux.GetLastError(), c.windowsError) << c.what;
    EXPECT_EQ(linux.LastSystemError(), c.systemError) << c.what;
    EXPECT_EQ(local.OpenCount(), 0) << c.what;
  }
  SetPlatform(&platform);
}

TEST_F(LinuxPassThrough, OpeningFailsWithTheSystemsReason) {
  driver.RefuseOpen("/dev/sg1", EACCES);
  CScsiPassThrough channel;
  EXPECT_EQ(channel.OpenDrive("D:"), 0);
  EXPECT_EQ(platform.GetLastError(), linuxplatform::kErrorAccessDenied);
  EXPECT_EQ(platform.LastSystemError(), EACCES);
  EXPECT_EQ(channel.OpenDrive("E:"), 0);  // no node behind E:
  EXPECT_EQ(platform.GetLastError(), linuxplatform::kErrorFileNotFound);
  EXPECT_EQ(driver.Opens().size(), 1u);
}

TEST_F(LinuxPassThrough, OpensForReadingOnlyWhenAskedTo) {
  driver.AddDrive("/dev/sg1");
  DeviceHandle handle = platform.CreateFile("\\\\.\\D:", 0x80000000u, 3, 3, 0);
  ASSERT_NE(handle, InvalidDeviceHandle());
  EXPECT_FALSE(driver.Opens().back().second);
  EXPECT_TRUE(platform.CloseHandle(handle));
  EXPECT_FALSE(platform.CloseHandle(handle));
  EXPECT_EQ(platform.GetLastError(), linuxplatform::kErrorInvalidHandle);
  EXPECT_EQ(driver.BadCloses(), 0);
}

// Requests Windows refuses are refused here too, and never reach the kernel.
TEST_F(LinuxPassThrough, MalformedRequestsAreRefused) {
  driver.AddDrive("/dev/sg1");
  std::uint8_t data[8];
  const struct {
    const char* what;
    void (*spoil)(ScsiRequestBuffer&, std::uint8_t* data);
    std::uint32_t code, outLength;
  } cases[] = {
      {"block of another size", [](ScsiRequestBuffer& b, std::uint8_t*) { b.request.Length = sizeof(ScsiPassThroughDirect) + 1; },
       kIoctlScsiPassThroughDirect, kRequestWithSenseSize},
      {"empty CDB", [](ScsiRequestBuffer& b, std::uint8_t*) { b.request.CdbLength = 0; },
       kIoctlScsiPassThroughDirect, kRequestWithSenseSize},
      {"CDB of 17 bytes", [](ScsiRequestBuffer& b, std::uint8_t*) { b.request.CdbLength = 17; },
       kIoctlScsiPassThroughDirect, kRequestWithSenseSize},
      {"unknown direction", [](ScsiRequestBuffer& b, std::uint8_t*) { b.request.DataIn = 3; },
       kIoctlScsiPassThroughDirect, kRequestWithSenseSize},
      {"data without a buffer", [](ScsiRequestBuffer& b, std::uint8_t*) { b.request.DataBuffer = nullptr; },
       kIoctlScsiPassThroughDirect, kRequestWithSenseSize},
      {"sense area beyond the output", [](ScsiRequestBuffer&, std::uint8_t*) {},
       kIoctlScsiPassThroughDirect, kRequestBlockSize + 4},
      {"another control code", [](ScsiRequestBuffer&, std::uint8_t*) {}, 0x2D1400u,
       kRequestWithSenseSize},
  };
  for (const auto& c : cases) {
    ScsiRequestBuffer buffer{};
    buffer.request.Length = sizeof(ScsiPassThroughDirect);
    buffer.request.CdbLength = 6;
    buffer.request.Cdb[0] = 0x12;
    buffer.request.DataIn = kScsiIoctlDataIn;
    buffer.request.DataTransferLength = sizeof data;
    buffer.request.DataBuffer = data;
    buffer.request.SenseInfoLength = 18;
    buffer.request.SenseInfoOffset = kSenseAreaOffset;
    buffer.request.TimeOutValue = 30;
    c.spoil(buffer, data);
    DeviceHandle handle = platform.CreateFile("\\\\.\\D:", 0xC0000000u, 3, 3, 0);
    EXPECT_FALSE(platform.DeviceIoControl(handle, c.code, &buffer, kRequestBlockSize, &buffer,
                                          c.outLength, nullptr))
        << c.what;
    EXPECT_NE(platform.GetLastError(), 0u) << c.what;
    platform.CloseHandle(handle);
  }
  EXPECT_TRUE(driver.Requests().empty());
}

TEST_F(LinuxPassThrough, DriveLettersAreTheMappedNodes) {
  platform.MapDrive('e', "/dev/sr0");
  char roots[16];
  ASSERT_EQ(platform.GetLogicalDriveStrings(sizeof roots, roots), 8u);
  EXPECT_EQ(std::string(roots, 9), std::string("D:\\\0E:\\\0\0", 9));
  EXPECT_EQ(platform.GetLogicalDriveStrings(4, roots), 9u);  // too small: the size needed
}

}  // namespace
