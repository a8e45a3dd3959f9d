// A fuzzed drive D: on the pass-through route: the channel that questions
// it, and its answers taken from the fuzzer's input (the data, then a length
// byte and up to that many bytes of sense data, as far as the output buffer
// has room).
#pragma once

#include <algorithm>
#include <cstdint>

#include "app/PlatformClass.h"
#include "devices/DeviceInfo.h"
#include "scsi/ScsiPassThrough.h"
#include "scsi/SptiRequestBlock.h"
#include "tests/fuzz/FuzzSupport.h"

namespace fuzz {

// Sense response codes 70h to 7Fh: the drive returned sense data.
inline bool SenseReturned(std::uint8_t responseCode) { return (responseCode & 0x70) != 0; }

// Fills the request's data buffer and its sense area from the input; true
// when the sense area then holds sense data.
inline bool AnswerPassThrough(Input& input, void* out, std::uint32_t outLength,
                              std::uint32_t* bytesReturned) {
  auto* request = static_cast<ScsiPassThroughDirect*>(out);
  input.CopyTo(request->DataBuffer, request->DataTransferLength);
  const std::size_t senseBytes =
      std::min<std::size_t>(input.Byte(), outLength - request->SenseInfoOffset);
  auto* sense = static_cast<std::uint8_t*>(out) + request->SenseInfoOffset;
  input.CopyTo(sense, senseBytes);
  if (bytesReturned != nullptr) *bytesReturned = outLength;
  return senseBytes != 0 && SenseReturned(sense[0]);
}

// A command channel bound to a record of drive D:.
struct ChannelOnD {
  ChannelOnD() {
    device.DriveName[0] = 'D';
    device.DriveName[1] = ':';
    channel.BindDevice(&device);
  }
  CDeviceInfo device;
  CScsiPassThrough channel{RouteFor(GetPlatformClass()), GetPlatform()};
};

}  // namespace fuzz
