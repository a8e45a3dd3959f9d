// The standard INQUIRY command that both discoveries send, and the filling
// of a device record from its response.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scsi/CommandStatus.h"

class CDeviceInfo;
class CScsiPassThrough;

constexpr std::uint8_t kInquiryLength = 74;  // allocation length and response buffer
constexpr std::uint8_t kInquiryCdbLength = 6;

// 12 00 00 00 4A 00: standard inquiry data, kInquiryLength bytes of it.
extern const std::uint8_t kInquiryCdb[kInquiryCdbLength];

// Builds the INQUIRY in the channel and sends it to the bound device; the
// kInquiryLength bytes of `response` are zeroed first, so that bytes the
// device does not return read as zero.
CommandStatus SendInquiry(CScsiPassThrough& channel, std::uint8_t* response);

// Upper-cases text in place.
using UpperCaseFunction = void (*)(std::string& text);
// In the active ANSI code page of the platform: the window's texts.
void PlatformUpperCase(std::string& text);
// The 7-bit ASCII letters only, other bytes as they are: the Linux command line.
void AsciiUpperCase(std::string& text);

// Fills the record's type, vendor and product, and revision from a response
// buffer of kInquiryLength bytes.
void FillFromInquiry(CDeviceInfo& device, const std::uint8_t* response,
                     UpperCaseFunction upperCase);

// The vendor and the product identification on their own, normalised as the
// record's texts and without the blanks that pad them.
std::string InquiryVendor(const std::uint8_t* response, UpperCaseFunction upperCase);
std::string InquiryProduct(const std::uint8_t* response, UpperCaseFunction upperCase);

// Upper case, leading white space removed; trailing blanks stay.
void NormalizeInquiryText(std::string& text, UpperCaseFunction upperCase);
