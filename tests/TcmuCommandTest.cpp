// The simulated drive behind the kernel's SCSI target: commands as LIO puts
// them in a TCMU ring entry (the CDB cut to its group's length, the data
// buffers scattered), answered into the same entry as the drive would, empty
// or with a disc.
#include <gtest/gtest.h>

#include <sys/uio.h>

#include <cstring>
#include <ostream>
#include <vector>

#include "sim/DriveModel.h"
#include "sim/TcmuCommand.h"

namespace {

struct Row {
  const char* what;
  std::vector<std::uint8_t> cdb;  // as sent; the ring holds only its group's length
  std::uint32_t buffer;           // data buffer the kernel provides
  std::uint8_t status;
  std::uint8_t senseKey, asc;
  std::uint32_t readLength;       // taken by the kernel when the status is GOOD
  std::size_t checkedByte;        // a byte of the data and its value
  std::uint8_t checkedValue;
  const char* config = "";        // the drive's, beyond its settings byte 02h
};

const Row kRows[] = {
    {"INQUIRY", {0x12, 0, 0, 0, 0x60, 0}, 96, 0, 0, 0, 36, 0, 0x05},
    {"book-type read, 12 bytes sent", {0xF3, 0x0F, 0x02, 0, 0, 0, 0x07, 0, 0x80, 0, 0, 0}, 128,
     0, 0, 0, 128, 6, 0x02},
    {"TEST UNIT READY: no disc", {0x00, 0, 0, 0, 0, 0}, 0, 2, 0x02, 0x3A, 0, 0, 0},
    {"MODE SENSE (6) page 2Ah", {0x1A, 0, 0x2A, 0, 0x80, 0}, 128, 0, 0, 0, 26, 4, 0x2A},
    {"MODE SENSE (10) page 2Ah", {0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 0x80, 0}, 128, 0, 0, 0, 30, 8, 0x2A},
    {"MODE SENSE of another page", {0x1A, 0, 0x01, 0, 0x80, 0}, 128, 2, 0x05, 0x24, 0, 0, 0},
    {"GET CONFIGURATION: profiles, none current", {0x46, 0, 0, 0, 0, 0, 0, 0, 0x80, 0}, 128, 0,
     0, 0, 40, 13, 0x1B},
    {"GET CONFIGURATION from feature 28h", {0x46, 0, 0, 0x28, 0, 0, 0, 0, 0x10, 0}, 16, 0, 0, 0,
     8, 3, 4},
    {"GET EVENT STATUS NOTIFICATION", {0x4A, 1, 0, 0, 0x10, 0, 0, 0, 8, 0}, 8, 2, 0x05, 0x20, 0,
     0, 0},
    {"READ CAPACITY: no disc", {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, 2, 0x02, 0x3A, 0, 0, 0},
    {"TEST UNIT READY: a disc", {0x00, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, "disc=cd"},
    {"GET CONFIGURATION: DVD+R current", {0x46, 0, 0, 0, 0, 0, 0, 0, 0x80, 0}, 128, 0, 0, 0, 40,
     14, 0x01, "disc=dvd+r:blank"},
    {"GET CONFIGURATION: its profile, as long as asked", {0x46, 0, 0, 0, 0, 0, 0, 0, 0x08, 0}, 64,
     0, 0, 0, 8, 7, 0x1A, "disc=dvd+rw:dvd-rom"},
    {"READ DVD STRUCTURE, as long as asked", {0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0}, 64, 0, 0,
     0, 8, 4, 0x01, "disc=dvd+r:dvd-rom"},
    {"READ DVD STRUCTURE: 2050 bytes follow", {0xAD, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x04, 0, 0},
     2052, 0, 0, 0, 2052, 0, 0x08, "disc=dvd-rom"},
    {"READ DVD STRUCTURE of a blank DVD+RW", {0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0}, 8, 0, 0, 0,
     8, 4, 0x92, "disc=dvd+rw:blank"},
    {"READ DVD STRUCTURE of layer 1", {0xAD, 0, 0, 0, 0, 0, 1, 0, 0, 8, 0, 0}, 8, 2, 0x05, 0x24,
     0, 0, 0, "disc=dvd-rom"},
    {"READ DVD STRUCTURE of a CD", {0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0}, 8, 2, 0x05, 0x30, 0,
     0, 0, "disc=cd"},
    {"READ DISC INFORMATION of a DVD+RW", {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0}, 64, 0, 0, 0, 34,
     2, 0x1E, "disc=dvd+rw:dvd+rw"},
    {"READ DISC INFORMATION of a blank DVD+R", {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0}, 34, 0, 0, 0,
     34, 2, 0x00, "disc=dvd+r:blank"},
    {"READ CAPACITY", {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, 0, 0, 0, 8, 3, 0x3F, "disc=dvd-rom"},
    {"READ (10) of the last block", {0x28, 0, 0, 0x23, 0x05, 0x3F, 0, 0, 1, 0}, 2048, 0, 0, 0,
     2048, 100, 0x00, "disc=dvd+r:dvd-rom"},
    {"READ (10) beyond it", {0x28, 0, 0, 0x23, 0x05, 0x3F, 0, 0, 2, 0}, 4096, 2, 0x05, 0x21, 0, 0,
     0, "disc=dvd+r:dvd-rom"},
    {"READ (10) of a blank disc", {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 2048, 2, 0x05, 0x21, 0, 0, 0,
     "disc=dvd+r:blank"},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

class TcmuCommandTest : public ::testing::TestWithParam<Row> {
 protected:
  static constexpr std::size_t kEntry = 64, kCdb = 256, kData = 512;

  // The entry at kEntry, zeroed as the kernel queues it, its CDB at kCdb,
  // its buffer in two pieces from kData.
  sim::tcmu::Entry& Prepare(const Row& row) {
    std::memset(mapping.data() + kEntry, 0, kCdb - kEntry);
    auto& entry = *reinterpret_cast<sim::tcmu::Entry*>(mapping.data() + kEntry);
    std::memcpy(mapping.data() + kCdb, row.cdb.data(), row.cdb.size());
    const std::size_t first = row.buffer / 3;
    const iovec pieces[2] = {{reinterpret_cast<void*>(kData), first},
                             {reinterpret_cast<void*>(kData + first + 16), row.buffer - first}};
    entry.req.iov_cnt = row.buffer == 0 ? 0 : 2;
    entry.req.cdb_off = kCdb;
    std::memcpy(entry.req.iov, pieces, sizeof pieces);
    return entry;
  }

  std::uint8_t DataByte(const Row& row, std::size_t index) const {
    const std::size_t first = row.buffer / 3;
    return mapping[kData + index + (index < first ? 0 : 16)];
  }

  std::vector<std::uint8_t> mapping = std::vector<std::uint8_t>(8192, 0xEE);
};

TEST_P(TcmuCommandTest, AnswersIntoTheEntry) {
  const Row& row = GetParam();
  sim::DriveConfig config;
  std::string error;
  ASSERT_TRUE(sim::ParseDriveConfig(row.config, config, error)) << error;
  sim::DriveModel drive(config);
  drive.Config().settings = 0x02;
  sim::tcmu::Entry& entry = Prepare(row);
  const std::string line = sim::AnswerTcmuCommand(drive, mapping.data(), mapping.size(), entry, true);
  ASSERT_EQ(drive.Commands().size(), 1u);
  EXPECT_EQ(drive.Commands()[0].cdb.size(), sim::GroupCdbLength(row.cdb[0])) << line;
  EXPECT_EQ(entry.rsp.scsi_status, row.status) << line;
  EXPECT_EQ(entry.rsp.sense_buffer[2], row.senseKey);
  EXPECT_EQ(entry.rsp.sense_buffer[12], row.asc);
  EXPECT_EQ((entry.uflags & sim::tcmu::kUflagReadLength) != 0, row.status == 0 && row.buffer > 0);
  if (row.status == 0 && row.buffer > 0) {
    EXPECT_EQ(entry.rsp.read_len, row.readLength);
    EXPECT_EQ(DataByte(row, row.checkedByte), row.checkedValue);
  }
}

INSTANTIATE_TEST_SUITE_P(Drive, TcmuCommandTest, ::testing::ValuesIn(kRows));

// LIO passes ten bytes of the twelve of an F3h command; the write still
// changes the setting, and nothing beyond the ring's CDB is read.
TEST(TcmuCommand, WriteOfTenBytesChangesTheSetting) {
  std::vector<std::uint8_t> mapping(1024, 0);
  const std::uint8_t cdb[10] = {0xF3, 0x0E, 0x70, 0xD1};
  std::memcpy(mapping.data() + 256, cdb, sizeof cdb);
  auto& entry = *reinterpret_cast<sim::tcmu::Entry*>(mapping.data());
  entry.req.iov_cnt = 0;
  entry.req.cdb_off = 256;
  sim::DriveModel drive;
  sim::AnswerTcmuCommand(drive, mapping.data(), mapping.size(), entry, true);
  EXPECT_EQ(entry.rsp.scsi_status, 0);
  EXPECT_EQ(drive.Config().settings, 0x01);
  EXPECT_EQ(sim::GroupCdbLength(0xF3), 10u);
  EXPECT_EQ(sim::GroupCdbLength(0xA8), 12u);
  EXPECT_EQ(sim::GroupCdbLength(0x88), 16u);
}

}  // namespace
