// The filling of a device record from an INQUIRY response: any bytes, as
// many as the drive returns (the rest of the buffer stays zero).
#include <string>

#include "devices/DeviceInfo.h"
#include "devices/Inquiry.h"
#include "tests/memory/MemoryPlatform.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The text a field may give: its bytes up to the first zero, upper-cased.
std::string RawField(const std::uint8_t* response, std::size_t offset, std::size_t length) {
  std::string text;
  for (std::size_t at = offset; at < offset + length && response[at] != 0; ++at) {
    text += static_cast<char>(response[at]);
  }
  GetPlatform().UpperCaseAnsi(text);
  return text;
}

// The field's text with its leading white space taken away; the rest,
// trailing blanks included, stays.
std::string Expected(std::string raw) {
  std::size_t first = 0;
  while (first < raw.size() && IsWhiteSpace(raw[first])) ++first;
  return raw.substr(first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static memory::MemoryPlatform platform;
  fuzz::Input input(data, size);
  std::uint8_t response[kInquiryLength] = {};
  input.CopyTo(response, sizeof response);

  CDeviceInfo device;
  FillFromInquiry(device, response, PlatformUpperCase);
  fuzz::Require(device.PeripheralType == response[0], "the type is byte 0, whole");
  fuzz::Require(device.VendorProduct == Expected(RawField(response, 8, 24)),
                "vendor and product: bytes 8 to 31 up to a zero, upper case, no leading blank");
  fuzz::Require(device.Revision == Expected(RawField(response, 32, 4)),
                "revision: bytes 32 to 35 up to a zero, upper case, no leading blank");
  return 0;
}
