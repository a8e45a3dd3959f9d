// The SG_IO preload library seen from its caller, as Wine's pass-through
// sees it: run with the library in LD_PRELOAD and BITSET_SIM_DRIVES naming
// the file in BITSET_TEST_DEVICE (see cmake/HostTools.cmake).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

class File {
 public:
  explicit File(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT, 0644)) {}
  ~File() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

struct Reply {
  int result = 0;
  int error = 0;
  sg_io_hdr_t header{};
  std::uint8_t sense[32] = {};
  std::vector<std::uint8_t> data;
};

Reply Send(int fd, std::vector<std::uint8_t> cdb, int direction, std::uint32_t length,
           unsigned char senseLength = 18) {
  Reply reply;
  reply.data.assign(length, 0xEE);
  reply.header.interface_id = 'S';
  reply.header.cmd_len = static_cast<unsigned char>(cdb.size());
  reply.header.cmdp = cdb.data();
  reply.header.dxfer_direction = direction;
  reply.header.dxfer_len = length;
  reply.header.dxferp = length > 0 ? reply.data.data() : nullptr;
  reply.header.mx_sb_len = senseLength;
  reply.header.sbp = reply.sense;
  reply.header.timeout = 30000;
  errno = 0;
  reply.result = ioctl(fd, SG_IO, &reply.header);
  reply.error = errno;
  return reply;
}

const std::vector<std::uint8_t> kInquiry = {0x12, 0, 0, 0, 0x4A, 0};
const std::vector<std::uint8_t> kReadSettings = {0xF3, 0x0F, 0x02, 0, 0, 0, 0x07, 0, 0x80, 0, 0, 0};

std::vector<std::uint8_t> WriteSetting(std::uint8_t value) {
  return {0xF3, 0x0E, 0x70, value, 0, 0, 0, 0, 0, 0, 0, 0};
}

class SgIoPreload : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = Environment("BITSET_TEST_DEVICE");
    log_ = Environment("BITSET_SIM_LOG");
    ASSERT_FALSE(device_.empty()) << "run through ctest: BITSET_TEST_DEVICE is not set";
    ASSERT_NE(std::string::npos, Environment("LD_PRELOAD").find("bitset-sgio-sim"));
  }

  std::vector<std::string> LogLines() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string device_;
  std::string log_;
};

TEST_F(SgIoPreload, AnswersInquiryWithDataAndResidue) {
  File device(device_);
  ASSERT_GE(device.fd(), 0);
  const Reply reply = Send(device.fd(), kInquiry, SG_DXFER_FROM_DEV, 74);
  ASSERT_EQ(0, reply.result) << reply.error;
  EXPECT_EQ(0, reply.header.status);
  EXPECT_EQ(0, reply.header.driver_status);
  EXPECT_EQ(0, reply.header.sb_len_wr);
  EXPECT_EQ(74 - 36, reply.header.resid);  // the drive returns 36 bytes
  EXPECT_EQ(0x05, reply.data[0]);
  EXPECT_EQ("QSI     DVDRW SDW-082   BX03", std::string(reply.data.begin() + 8, reply.data.begin() + 36));
  EXPECT_EQ(0xEE, reply.data[36]);  // nothing written past what was returned
}

TEST_F(SgIoPreload, RefusedCommandEndsWithCheckConditionAndSense) {
  File device(device_);
  const Reply reply = Send(device.fd(), {0x43, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0}, SG_DXFER_FROM_DEV, 12);
  ASSERT_EQ(0, reply.result);  // the transport worked; the drive said no
  EXPECT_EQ(0x02, reply.header.status);
  EXPECT_EQ(0x01, reply.header.masked_status);
  EXPECT_EQ(0x08, reply.header.driver_status);
  EXPECT_EQ(18, reply.header.sb_len_wr);
  EXPECT_EQ(0x70, reply.sense[0]);
  EXPECT_EQ(0x05, reply.sense[2]);
  EXPECT_EQ(0x20, reply.sense[12]);
  EXPECT_EQ(0, reply.sense[18]);  // no more sense than fits

  const Reply shortSense = Send(device.fd(), {0x43, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0},
                                SG_DXFER_FROM_DEV, 12, 8);
  EXPECT_EQ(8, shortSense.header.sb_len_wr);
  EXPECT_EQ(0, shortSense.sense[8]);
}

TEST_F(SgIoPreload, SettingsWrittenStayForTheProcessAndEveryCommandIsLogged) {
  File device(device_);
  const std::size_t before = LogLines().size();
  const Reply write = Send(device.fd(), WriteSetting(0xE2), SG_DXFER_TO_DEV, 0);
  ASSERT_EQ(0, write.result);
  EXPECT_EQ(0, write.header.status);
  File again(device_);  // a later open sees the same drive
  const Reply read = Send(again.fd(), kReadSettings, SG_DXFER_FROM_DEV, 128);
  ASSERT_EQ(0, read.result);
  EXPECT_EQ(0x03, read.data[6]);  // configured 0x01, +RW bit added

  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(before + 2, lines.size());
  EXPECT_EQ(device_ + " F3 0E 70 E2 00 00 00 00 00 00 00 00 out 0 good", lines[before]);
  EXPECT_EQ(device_ + " F3 0F 02 00 00 00 07 00 80 00 00 00 in 128 good", lines[before + 1]);
}

TEST_F(SgIoPreload, MalformedRequestsAreRejected) {
  File device(device_);
  Reply reply = Send(device.fd(), std::vector<std::uint8_t>(17, 0), SG_DXFER_NONE, 0);
  EXPECT_EQ(-1, reply.result);
  EXPECT_EQ(EINVAL, reply.error);

  sg_io_hdr_t header{};
  header.interface_id = 'Q';
  errno = 0;
  EXPECT_EQ(-1, ioctl(device.fd(), SG_IO, &header));
  EXPECT_EQ(ENOSYS, errno);
}

TEST_F(SgIoPreload, OtherFilesAndOtherRequestsReachTheSystem) {
  File other(device_ + ".other");
  const Reply reply = Send(other.fd(), kInquiry, SG_DXFER_FROM_DEV, 74);
  EXPECT_EQ(-1, reply.result);
  EXPECT_EQ(ENOTTY, reply.error);  // a regular file is no SCSI device

  File device(device_);
  termios settings{};
  errno = 0;
  EXPECT_EQ(-1, ioctl(device.fd(), TCGETS, &settings));
  EXPECT_EQ(ENOTTY, errno);
  unlink((device_ + ".other").c_str());
}

}  // namespace
