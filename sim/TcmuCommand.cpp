#include "sim/TcmuCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/uio.h>

namespace sim {

namespace {

constexpr std::uint8_t kCheckCondition = 0x02;

// TCMU does not say which way a command's data goes; a drive knows it from
// the opcode. These carry data to the drive; every other command with a
// buffer reads from it.
bool CarriesDataToDrive(std::uint8_t opcode) {
  switch (opcode) {
    case 0x0A: case 0x15: case 0x2A: case 0x3B: case 0x54: case 0x55:
    case 0x5D: case 0xA3: case 0xAA: case 0xBF:
      return true;
    default:
      return false;
  }
}

// The SCSI status: CHECK CONDITION with sense data, or the drive's own.
std::uint8_t Status(const CommandResult& result) {
  return result.checkCondition ? kCheckCondition : result.status;
}

struct Buffers {
  std::vector<iovec> pieces;  // iov_base: offsets into the mapping
  std::size_t length = 0;
};

// The entry's data buffers, dropped whole if one lies outside the mapping.
Buffers DataBuffers(const tcmu::Entry& entry, std::size_t mappingSize) {
  Buffers buffers;
  for (std::uint32_t i = 0; i < entry.req.iov_cnt; ++i) {
    iovec piece;
    std::memcpy(&piece, entry.req.iov + i * sizeof piece, sizeof piece);
    const auto offset = reinterpret_cast<std::uintptr_t>(piece.iov_base);
    if (offset > mappingSize || piece.iov_len > mappingSize - offset) return Buffers{};
    buffers.pieces.push_back(piece);
    buffers.length += piece.iov_len;
  }
  return buffers;
}

// Copies between the contiguous `bytes` and the scattered buffers.
void Scatter(std::uint8_t* mapping, const Buffers& buffers, std::uint8_t* bytes,
             std::size_t count, bool toBuffers) {
  for (const iovec& piece : buffers.pieces) {
    if (count == 0) break;
    const std::size_t part = std::min(count, piece.iov_len);
    std::uint8_t* place = mapping + reinterpret_cast<std::uintptr_t>(piece.iov_base);
    if (toBuffers) {
      std::memcpy(place, bytes, part);
    } else {
      std::memcpy(bytes, place, part);
    }
    bytes += part;
    count -= part;
  }
}

std::string LogLine(const std::uint8_t* cdb, std::size_t cdbLength, Direction direction,
                    std::size_t length, const CommandResult& result) {
  std::string line = "cdb=";
  char text[64];
  for (std::size_t i = 0; i < cdbLength; ++i) {
    std::snprintf(text, sizeof text, i == 0 ? "%02X" : " %02X", cdb[i]);
    line += text;
  }
  const char* way = direction == Direction::FromDrive ? "in"
                    : direction == Direction::ToDrive ? "out" : "none";
  std::snprintf(text, sizeof text, " dir=%s len=%zu status=%02X", way, length,
                Status(result));
  line += text;
  if (result.checkCondition) {
    std::snprintf(text, sizeof text, " sense=%Xh/%02Xh/%02Xh", result.sense.key, result.sense.asc,
                  result.sense.ascq);
    line += text;
  }
  return line;
}

}  // namespace

std::size_t GroupCdbLength(std::uint8_t opcode) {
  static constexpr std::size_t kLengths[8] = {6, 10, 10, 12, 16, 12, 10, 10};
  return kLengths[opcode >> 5];
}

std::string AnswerTcmuCommand(DriveModel& drive, std::uint8_t* mapping, std::size_t mappingSize,
                              tcmu::Entry& entry, bool readLength) {
  // The request and the response share the entry: read it all first.
  std::uint8_t cdb[16] = {};
  const std::size_t cdbOffset = static_cast<std::size_t>(entry.req.cdb_off);
  const std::size_t cdbLength = cdbOffset < mappingSize
                                    ? std::min(GroupCdbLength(mapping[cdbOffset]), mappingSize - cdbOffset)
                                    : 0;
  std::memcpy(cdb, mapping + cdbOffset, cdbLength);
  const Buffers buffers = DataBuffers(entry, mappingSize);
  const Direction direction = buffers.length == 0          ? Direction::None
                              : CarriesDataToDrive(cdb[0]) ? Direction::ToDrive
                                                           : Direction::FromDrive;
  std::vector<std::uint8_t> data(buffers.length);
  if (direction == Direction::ToDrive) Scatter(mapping, buffers, data.data(), data.size(), false);
  const CommandResult result = drive.Execute(cdb, cdbLength, direction, data.data(),
                                             static_cast<std::uint32_t>(data.size()));
  if (direction == Direction::FromDrive) Scatter(mapping, buffers, data.data(), result.transferred, true);

  std::memset(&entry.rsp, 0, sizeof entry.rsp);
  entry.rsp.scsi_status = Status(result);
  if (result.checkCondition) {
    DriveModel::WriteSense(result.sense, reinterpret_cast<std::uint8_t*>(entry.rsp.sense_buffer),
                           sizeof entry.rsp.sense_buffer);
  } else if (result.status == 0 && readLength && direction == Direction::FromDrive) {
    entry.uflags |= tcmu::kUflagReadLength;
    entry.rsp.read_len = result.transferred;
  }
  return LogLine(cdb, cdbLength, direction, data.size(), result);
}

}  // namespace sim
