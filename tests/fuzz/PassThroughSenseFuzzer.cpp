// The sense handling of the pass-through route: the platform answers a
// command with any outcome, SCSI status, data and sense bytes.
#include "devices/Inquiry.h"
#include "tests/memory/MemoryPlatform.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/FuzzedPassThrough.h"

namespace {

// A pass-through whose every answer comes from the fuzzer's input.
class FuzzedPassThrough : public memory::MemoryPlatform {
 public:
  explicit FuzzedPassThrough(fuzz::Input& input) : input_(input) { AddDrive('D'); }

  bool DeviceIoControl(DeviceHandle, std::uint32_t, void*, std::uint32_t, void* out,
                       std::uint32_t outLength, std::uint32_t* bytesReturned) override {
    auto* request = static_cast<ScsiPassThroughDirect*>(out);
    const std::uint8_t outcome = input_.Byte();
    request->ScsiStatus = input_.Byte();
    fuzz::AnswerPassThrough(input_, out, outLength, bytesReturned);
    sent_ = (outcome & 1) != 0;
    return sent_;
  }

  bool sent_ = false;

 private:
  fuzz::Input& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  FuzzedPassThrough platform(input);
  fuzz::ChannelOnD drive;
  CScsiPassThrough& channel = drive.channel;

  while (input.Remaining() != 0) {
    channel.CommandByte(0) = kInquiryCdb[0];
    fuzz::Require(channel.LastOutcome().senseLength == 0, "a new command starts without sense data");
    std::uint8_t response[kInquiryLength];
    const CommandStatus status = SendInquiry(channel, response);
    fuzz::Require(status == kCommandSucceeded || status == kCommandFailed, "the route gives only 0 or 1");
    fuzz::Require(status != kCommandSucceeded || platform.sent_, "a refused request never succeeds");
    const ScsiOutcome& outcome = channel.LastOutcome();
    fuzz::Require(status != kCommandSucceeded || !fuzz::SenseReturned(outcome.sense[0]),
                  "a command that returned sense data never succeeds");
    fuzz::Require((status == kCommandSucceeded) == outcome.CarriedOut(), "the status and the end agree");
    fuzz::Require(platform.OpenDeviceCount() == 0, "the drive is closed after every command");
  }
  return 0;
}
