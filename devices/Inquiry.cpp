#include "devices/Inquiry.h"

#include <cstring>
#include <string>

#include "devices/DeviceInfo.h"
#include "platform/Platform.h"
#include "scsi/ScsiPassThrough.h"

namespace {

constexpr std::size_t kVendorProductOffset = 8;
constexpr std::size_t kVendorProductLength = 24;
constexpr std::size_t kVendorLength = 8;
constexpr std::size_t kProductOffset = 16;
constexpr std::size_t kProductLength = 16;
constexpr std::size_t kRevisionOffset = 32;
constexpr std::size_t kRevisionLength = 4;

// The field as text: it ends at its first zero byte, or after all of it.
std::string FieldText(const std::uint8_t* response, std::size_t offset, std::size_t length) {
  char scratch[kVendorProductLength + 1] = {};
  std::memcpy(scratch, response + offset, length);
  scratch[length] = '\0';
  return std::string(scratch);
}

bool IsLeadingWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A field normalised as the record's texts, its padding blanks removed too.
std::string TrimmedField(const std::uint8_t* response, std::size_t offset, std::size_t length,
                         UpperCaseFunction upperCase) {
  std::string text = FieldText(response, offset, length);
  NormalizeInquiryText(text, upperCase);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

const std::uint8_t kInquiryCdb[kInquiryCdbLength] = {
    0x12,            // operation code INQUIRY
    0x00,            // EVPD 0: standard inquiry data
    0x00,            // page code
    0x00,            // allocation length, high byte
    kInquiryLength,  // allocation length, low byte
    0x00,            // control
};

CommandStatus SendInquiry(CScsiPassThrough& channel, std::uint8_t* response) {
  std::memset(response, 0, kInquiryLength);
  for (int index = 0; index < kInquiryCdbLength; ++index) channel.CommandByte(index) = kInquiryCdb[index];
  return channel.ExecuteCommand(kDataFromDrive, response, kInquiryLength);
}

void PlatformUpperCase(std::string& text) { GetPlatform().UpperCaseAnsi(text); }

void AsciiUpperCase(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

void NormalizeInquiryText(std::string& text, UpperCaseFunction upperCase) {
  upperCase(text);
  std::size_t first = 0;
  while (first < text.size() && IsLeadingWhiteSpace(text[first])) ++first;
  text.erase(0, first);
}

void FillFromInquiry(CDeviceInfo& device, const std::uint8_t* response, UpperCaseFunction upperCase) {
  device.PeripheralType = response[0];
  device.VendorProduct = FieldText(response, kVendorProductOffset, kVendorProductLength);
  NormalizeInquiryText(device.VendorProduct, upperCase);
  device.Revision = FieldText(response, kRevisionOffset, kRevisionLength);
  NormalizeInquiryText(device.Revision, upperCase);
}

std::string InquiryVendor(const std::uint8_t* response, UpperCaseFunction upperCase) {
  return TrimmedField(response, kVendorProductOffset, kVendorLength, upperCase);
}

std::string InquiryProduct(const std::uint8_t* response, UpperCaseFunction upperCase) {
  return TrimmedField(response, kProductOffset, kProductLength, upperCase);
}
