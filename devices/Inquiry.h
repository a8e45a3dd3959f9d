// The standard INQUIRY command that both discoveries send, and the filling
// of a device record from its response.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CDeviceInfo;

constexpr std::uint8_t kInquiryOperation = 0x12;
constexpr std::uint8_t kInquiryLength = 74;  // allocation length and response buffer

// Fills the record's type, vendor and product, and revision from a response
// buffer of kInquiryLength bytes.
void FillFromInquiry(CDeviceInfo& device, const std::uint8_t* response);

// Upper case in the active code page, leading white space removed; trailing
// blanks stay.
void NormalizeInquiryText(std::string& text);
