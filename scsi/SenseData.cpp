#include "scsi/SenseData.h"

namespace {
constexpr std::uint8_t kSenseDataPresent = 0x70;
constexpr std::size_t kKeyByte = 2;
constexpr std::uint8_t kKeyMask = 0x0F;
constexpr std::size_t kAscByte = 12;
constexpr std::size_t kAscqByte = 13;

std::uint8_t ByteAt(const std::uint8_t* sense, std::size_t length, std::size_t index) {
  return index < length ? sense[index] : 0;
}
}  // namespace

bool HasSenseData(const std::uint8_t* sense, std::size_t length) {
  return length > 0 && (sense[0] & kSenseDataPresent) != 0;
}

SenseCodes SenseCodesOf(const std::uint8_t* sense, std::size_t length) {
  SenseCodes codes;
  codes.key = static_cast<std::uint8_t>(ByteAt(sense, length, kKeyByte) & kKeyMask);
  codes.asc = ByteAt(sense, length, kAscByte);
  codes.ascq = ByteAt(sense, length, kAscqByte);
  return codes;
}

bool HasSenseData(const ScsiRequestBuffer& buffer) {
  return HasSenseData(buffer.sense, sizeof buffer.sense);
}

SenseCodes SenseCodesOf(const ScsiRequestBuffer& buffer) {
  return SenseCodesOf(buffer.sense, sizeof buffer.sense);
}

const char* SenseKeyName(std::uint8_t key) {
  static const char* const kNames[16] = {
      "NO SENSE",        "RECOVERED ERROR", "NOT READY",       "MEDIUM ERROR",
      "HARDWARE ERROR",  "ILLEGAL REQUEST", "UNIT ATTENTION",  "DATA PROTECT",
      "BLANK CHECK",     "VENDOR SPECIFIC", "COPY ABORTED",    "ABORTED COMMAND",
      "EQUAL",           "VOLUME OVERFLOW", "MISCOMPARE",      "COMPLETED",
  };
  return kNames[key & kKeyMask];
}
