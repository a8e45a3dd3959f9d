// The sense data a command returned: what the drive said when it refused a
// command. Drives answer in fixed format (response codes 70h and 71h) or in
// descriptor format (72h and 73h); both are read here, and only here.
#pragma once

#include <cstddef>
#include <cstdint>

struct SenseCodes {
  std::uint8_t key = 0;   // sense key, 0 to 15
  std::uint8_t asc = 0;   // additional sense code
  std::uint8_t ascq = 0;  // additional sense code qualifier
  bool deferred = false;  // about an earlier command (71h, 73h), not this one
};

// True when the bytes hold sense data: response codes 70h to 7Fh.
bool HasSenseData(const std::uint8_t* sense, std::size_t length);
// Key, ASC and ASCQ of the sense data of `length` bytes, in the format its
// response code names; zero where the data ends first.
SenseCodes SenseCodesOf(const std::uint8_t* sense, std::size_t length);
// The standard name of a sense key, "ILLEGAL REQUEST" for 5.
const char* SenseKeyName(std::uint8_t key);

// The sense keys and codes that callers tell apart.
constexpr std::uint8_t kSenseKeyNotReady = 0x02;
constexpr std::uint8_t kSenseKeyIllegalRequest = 0x05;
constexpr std::uint8_t kAscMediumNotPresent = 0x3A;
constexpr std::uint8_t kAscIncompatibleMedium = 0x30;
