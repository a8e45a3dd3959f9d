// The reading and decoding of the drive's settings: the drive answers the
// read command with any outcome, data and sense bytes.
#include <string>

#include "bitset/BookSettingsDecoding.h"
#include "bitset/BookTypeCommands.h"
#include "tests/memory/MemoryPlatform.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/FuzzedPassThrough.h"

namespace {

// A drive at D: whose every answer comes from the input.
class FuzzedSettings : public memory::MemoryPlatform {
 public:
  explicit FuzzedSettings(fuzz::Input& input) : input_(input) { AddDrive('D'); }

  bool DeviceIoControl(DeviceHandle, std::uint32_t, void*, std::uint32_t, void* out,
                       std::uint32_t outLength, std::uint32_t* bytesReturned) override {
    auto* request = static_cast<ScsiPassThroughDirect*>(out);
    const bool sent = (input_.Byte() & 1) != 0;
    const bool senseReturned = fuzz::AnswerPassThrough(input_, out, outLength, bytesReturned);
    reading_ = sent && !senseReturned ? static_cast<std::uint8_t*>(request->DataBuffer)[6] : -1;
    return sent;
  }

  int reading_ = -2;  // what the drive reported: -1 a failure, else byte 6

 private:
  fuzz::Input& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  FuzzedSettings platform(input);
  fuzz::ChannelOnD drive;
  CScsiPassThrough& channel = drive.channel;

  while (input.Remaining() != 0) {
    const int settings = QueryBookSettings(channel);
    fuzz::Require(settings == platform.reading_, "the settings byte is byte 6 of an answer without sense data");
    const BookTypeTexts texts = DecodeBookSettings(settings);
    if (settings < 0) {
      fuzz::Require(texts.plusR == "------" && texts.plusRw == "------", "a failed read shows dashes");
      continue;
    }
    fuzz::Require(texts.plusRw == ((settings & 0x02) != 0 ? "DVD-ROM" : "DVD+RW"), "+RW book type from bit 1");
    fuzz::Require(texts.plusR == ((settings & 0x01) != 0 || settings == 0 ? "DVD-ROM" : "DVD+R"),
                  "+R book type from bit 0; a byte of 0 reads as DVD-ROM");
  }
  fuzz::Require(platform.OpenDeviceCount() == 0, "no drive is left open");
  return 0;
}
