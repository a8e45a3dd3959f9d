#include "scsi/SenseData.h"

namespace {
constexpr std::uint8_t kSenseDataPresent = 0x70;
constexpr std::uint8_t kResponseCodeMask = 0x7F;  // bit 7: the information field is valid
constexpr std::uint8_t kKeyMask = 0x0F;

struct SenseLayout {
  std::size_t key, asc, ascq;
};
constexpr SenseLayout kFixed{2, 12, 13};
constexpr SenseLayout kDescriptor{1, 2, 3};

std::uint8_t ByteAt(const std::uint8_t* sense, std::size_t length, std::size_t index) {
  return index < length ? sense[index] : 0;
}
}  // namespace

bool HasSenseData(const std::uint8_t* sense, std::size_t length) {
  return length > 0 && (sense[0] & kSenseDataPresent) != 0;
}

SenseCodes SenseCodesOf(const std::uint8_t* sense, std::size_t length) {
  const std::uint8_t responseCode = ByteAt(sense, length, 0) & kResponseCodeMask;
  const bool descriptor = responseCode == 0x72 || responseCode == 0x73;
  const SenseLayout& layout = descriptor ? kDescriptor : kFixed;
  SenseCodes codes;
  codes.key = static_cast<std::uint8_t>(ByteAt(sense, length, layout.key) & kKeyMask);
  codes.asc = ByteAt(sense, length, layout.asc);
  codes.ascq = ByteAt(sense, length, layout.ascq);
  codes.deferred = responseCode == 0x71 || responseCode == 0x73;
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
