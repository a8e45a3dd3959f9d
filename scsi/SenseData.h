// The sense data a command returned: what the drive said when it refused a
// command.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scsi/ScsiPassThroughDirect.h"

struct SenseCodes {
  std::uint8_t key = 0;   // sense key, 0 to 15
  std::uint8_t asc = 0;   // additional sense code
  std::uint8_t ascq = 0;  // additional sense code qualifier
};

// True when the bytes hold sense data: response codes 70h to 7Fh.
bool HasSenseData(const std::uint8_t* sense, std::size_t length);
// Key, ASC and ASCQ of fixed-format sense data of `length` bytes; zero
// where the data ends first.
SenseCodes SenseCodesOf(const std::uint8_t* sense, std::size_t length);
// The same for the channel's sense area.
bool HasSenseData(const ScsiRequestBuffer& buffer);
SenseCodes SenseCodesOf(const ScsiRequestBuffer& buffer);
// The standard name of a sense key, "ILLEGAL REQUEST" for 5.
const char* SenseKeyName(std::uint8_t key);
