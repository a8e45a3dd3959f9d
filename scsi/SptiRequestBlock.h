// SCSI_PASS_THROUGH_DIRECT as Windows declares it (ntddscsi.h), with the
// sense area that the SPTI transport keeps directly behind it.
#pragma once

#include <cstddef>
#include <cstdint>

// IOCTL_SCSI_PASS_THROUGH_DIRECT
constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x4D014;

// DataIn values
constexpr std::uint8_t kScsiIoctlDataOut = 0;
constexpr std::uint8_t kScsiIoctlDataIn = 1;
constexpr std::uint8_t kScsiIoctlDataUnspecified = 2;

// The fields, with the data buffer's type left open: the program fills it
// with a real pointer; a 32-bit stand-in lets every build, the 64-bit ones
// too, check the layout that 32-bit Windows reads.
template <class Pointer>
struct ScsiPassThroughDirectFields {
  std::uint16_t Length;               // in: size of this block
  std::uint8_t ScsiStatus;            // out: SCSI status of the command
  std::uint8_t PathId;                // in: unused, the opened device names the target
  std::uint8_t TargetId;              // in: unused
  std::uint8_t Lun;                   // in: unused
  std::uint8_t CdbLength;             // in: bytes of Cdb that are sent
  std::uint8_t SenseInfoLength;       // in: bytes of sense data wanted
  std::uint8_t DataIn;                // in: kScsiIoctlData...
  std::uint32_t DataTransferLength;   // in/out: bytes in DataBuffer
  std::uint32_t TimeOutValue;         // in: seconds
  Pointer DataBuffer;                 // in: the caller's data buffer
  std::uint32_t SenseInfoOffset;      // in: sense area, counted from the block's start
  std::uint8_t Cdb[16];               // in: the command descriptor block
};

struct ScsiPassThroughDirect : ScsiPassThroughDirectFields<void*> {};

constexpr std::size_t kSenseAreaSize = 20;

// The request block and its sense area as one buffer: the same buffer is
// handed to the platform as input (the block) and as output (both).
struct SptiRequestBlock {
  ScsiPassThroughDirect request;
  std::uint8_t sense[kSenseAreaSize];
};

constexpr std::uint32_t kRequestBlockSize = sizeof(ScsiPassThroughDirect);
constexpr std::uint32_t kSenseAreaOffset = offsetof(SptiRequestBlock, sense);
constexpr std::uint32_t kRequestWithSenseSize = kSenseAreaOffset + kSenseAreaSize;

static_assert(kSenseAreaOffset == kRequestBlockSize, "sense area must follow the block directly");

// The 32-bit layout that the release build hands to Windows.
using ScsiPassThroughDirect32 = ScsiPassThroughDirectFields<std::uint32_t>;
static_assert(sizeof(ScsiPassThroughDirect32) == 44, "SCSI_PASS_THROUGH_DIRECT is 44 bytes");
static_assert(offsetof(ScsiPassThroughDirect32, SenseInfoLength) == 7, "SenseInfoLength at 7");
static_assert(offsetof(ScsiPassThroughDirect32, DataIn) == 8, "DataIn at 8");
static_assert(offsetof(ScsiPassThroughDirect32, DataTransferLength) == 12, "DataTransferLength at 12");
static_assert(offsetof(ScsiPassThroughDirect32, TimeOutValue) == 16, "TimeOutValue at 16");
static_assert(offsetof(ScsiPassThroughDirect32, DataBuffer) == 20, "DataBuffer at 20");
static_assert(offsetof(ScsiPassThroughDirect32, SenseInfoOffset) == 24, "SenseInfoOffset at 24");
static_assert(offsetof(ScsiPassThroughDirect32, Cdb) == 28, "Cdb at 28");
static_assert(sizeof(ScsiPassThroughDirect32::Cdb) == 16, "Cdb of 16 bytes, not one in the padding");
static_assert(sizeof(ScsiPassThroughDirect32) + kSenseAreaSize == 64, "request block and sense area are 64 bytes");

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ScsiPassThroughDirect) == sizeof(ScsiPassThroughDirect32), "the 32-bit build sends that layout");
static_assert(kSenseAreaOffset == 44, "SenseInfoOffset is 44");
static_assert(kRequestWithSenseSize == 64, "request block and sense area are 64 bytes");
#endif
