// One command of the kernel's SCSI target answered by the simulated drive:
// the entry of a TCMU command ring (target_core_user) read, the drive
// model asked, and the answer (status, sense, data, the length returned)
// written back into the same entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/DriveModel.h"

namespace sim {

// The ring's structures as <linux/target_core_user.h> declares them (its
// inline functions do not compile as C++), packed as there: the entry is,
// the request within it is not.
namespace tcmu {

constexpr std::uint16_t kCapReadLength = 1 << 1;  // the mailbox flag
constexpr std::uint8_t kUflagUnknownOp = 0x1;
constexpr std::uint8_t kUflagReadLength = 0x2;
enum Opcode : std::uint32_t { kPad = 0, kCommand = 1, kTaskManagement = 2 };
constexpr std::uint32_t kOpMask = 0x7;

struct Mailbox {
  std::uint16_t version;
  std::uint16_t flags;
  std::uint32_t cmdr_off;
  std::uint32_t cmdr_size;
  std::uint32_t cmd_head;            // written by the kernel
  std::uint8_t pad[48];
  std::uint32_t cmd_tail;            // written by us, on a cache line of its own
} __attribute__((packed));
static_assert(offsetof(Mailbox, cmd_head) == 12 && offsetof(Mailbox, cmd_tail) == 64, "mailbox");

struct Request {
  std::uint32_t iov_cnt;
  std::uint32_t iov_bidi_cnt;
  std::uint32_t iov_dif_cnt;
  std::uint64_t cdb_off;  // offsets into the mapping, as are the iov_base
  std::uint64_t pad1;
  std::uint64_t pad2;
  std::uint8_t iov[1];    // iov_cnt struct iovec
};                        // not packed: cdb_off is aligned within it

struct Response {
  std::uint8_t scsi_status;
  std::uint8_t pad1;
  std::uint16_t pad2;
  std::uint32_t read_len;
  std::uint8_t sense_buffer[96];
} __attribute__((packed));

struct Entry {
  std::uint32_t len_op;  // the entry's length, the opcode in its low bits
  std::uint16_t cmd_id;
  std::uint8_t kflags;
  std::uint8_t uflags;
  union {
    Request req;
    Response rsp;
  };
} __attribute__((packed));
static_assert(offsetof(Entry, req.cdb_off) == 24 && offsetof(Entry, req.iov) == 48, "request");
static_assert(offsetof(Entry, rsp.read_len) == 12 && offsetof(Entry, rsp.sense_buffer) == 16,
              "response");

}  // namespace tcmu

// The CDB length LIO passes for an opcode: that of its group, as the
// kernel's scsi_command_size() tells it (10 for the vendor group E0h-FFh).
std::size_t GroupCdbLength(std::uint8_t opcode);

// Answers the command of `entry`, whose data buffers are at offsets into
// `mapping` (`mappingSize` bytes). `readLength`: the kernel takes the length
// returned. Returns the line of the drive's log for the command.
std::string AnswerTcmuCommand(DriveModel& drive, std::uint8_t* mapping, std::size_t mappingSize,
                              tcmu::Entry& entry, bool readLength);

}  // namespace sim
