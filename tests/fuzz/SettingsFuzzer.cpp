// The reading and decoding of the drive's settings: the drive answers the
// read command with any outcome, data and sense bytes.
#include <string>

#include "app/DvdInfoDlg.h"
#include "platform/memory/MemoryPlatform.h"
#include "res/resource.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

constexpr std::uint8_t kVendorOperation = 0xF3;
constexpr std::uint8_t kReadSettings = 0x0F;

// A QSI writer at D: whose answers to the read command come from the input.
class FuzzedSettings : public memory::MemoryPlatform {
 public:
  explicit FuzzedSettings(fuzz::Input& input) : input_(input) { AddDrive('D'); }

  bool DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t inLength,
                       void* out, std::uint32_t outLength, std::uint32_t* bytesReturned) override {
    auto* request = static_cast<ScsiPassThroughDirect*>(out);
    if (request->Cdb[0] != kVendorOperation) {
      return MemoryPlatform::DeviceIoControl(device, code, in, inLength, out, outLength, bytesReturned);
    }
    if (request->Cdb[1] != kReadSettings) {
      ++writes_;
      return true;
    }
    ++reads_;
    const std::uint8_t outcome = input_.Byte();
    auto* response = static_cast<std::uint8_t*>(request->DataBuffer);
    input_.CopyTo(response, request->DataTransferLength);
    const std::size_t senseBytes = std::min<std::size_t>(input_.Byte(), outLength - request->SenseInfoOffset);
    auto* sense = static_cast<std::uint8_t*>(out) + request->SenseInfoOffset;
    input_.CopyTo(sense, senseBytes);
    const bool sent = (outcome & 1) != 0;
    const bool senseReturned = senseBytes != 0 && (sense[0] & 0x70) != 0;
    lastReading_ = sent && !senseReturned && request->DataTransferLength > 6 ? response[6] : -1;
    return sent;
  }

  int lastReading_ = -2;  // -2: no read yet, -1: the read failed
  int reads_ = 0;
  int writes_ = 0;

 private:
  fuzz::Input& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  FuzzedSettings platform(input);
  platform.SetVersion(2, 5, 1);
  CDvdInfoDlg dialog;
  try {
    dialog.DoModal();
  } catch (const memory::ProcessExit&) {
  }
  fuzz::Require(platform.writes_ == 0, "nothing is written without the user's Yes");
  fuzz::Require(platform.OpenDeviceCount() == 0, "no drive is left open");
  if (platform.lastReading_ == -2) return 0;

  const std::string plusR = dialog.PlusRText();
  const std::string plusRw = dialog.PlusRwText();
  const int reading = platform.lastReading_;
  if (reading < 0 && platform.reads_ == 1) {
    fuzz::Require(plusR.empty() && plusRw.empty(), "the first drive that does not answer is passed over");
    return 0;
  }
  if (reading < 0) {
    fuzz::Require(plusR == "------" && plusRw == "------", "a failed read shows dashes");
    return 0;
  }
  fuzz::Require(plusRw == ((reading & 0x02) != 0 ? "DVD-ROM" : "DVD+RW"), "+RW book type from bit 1");
  fuzz::Require(plusR == ((reading & 0x01) != 0 || reading == 0 ? "DVD-ROM" : "DVD+R"),
                "+R book type from bit 0; a byte of 0 reads as DVD-ROM");
  return 0;
}
