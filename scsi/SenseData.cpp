#include "scsi/SenseData.h"

namespace {
constexpr std::uint8_t kSenseDataPresent = 0x70;
constexpr int kKeyByte = 2;
constexpr std::uint8_t kKeyMask = 0x0F;
constexpr int kAscByte = 12;
constexpr int kAscqByte = 13;
}  // namespace

bool HasSenseData(const ScsiRequestBuffer& buffer) {
  return (buffer.sense[0] & kSenseDataPresent) != 0;
}

SenseCodes SenseCodesOf(const ScsiRequestBuffer& buffer) {
  SenseCodes codes;
  codes.key = static_cast<std::uint8_t>(buffer.sense[kKeyByte] & kKeyMask);
  codes.asc = buffer.sense[kAscByte];
  codes.ascq = buffer.sense[kAscqByte];
  return codes;
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
