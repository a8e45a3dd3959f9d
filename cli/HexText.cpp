#include "cli/HexText.h"

#include <cstdint>
#include <cstdio>

std::string HexByte(unsigned byte) {
  char text[8];
  std::snprintf(text, sizeof text, "%02Xh", byte & 0xFF);
  return text;
}

std::string HexBytes(const void* bytes, std::size_t length) {
  const auto* byte = static_cast<const std::uint8_t*>(bytes);
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", unsigned{byte[i]});
    if (i > 0) text += ' ';
    text += pair;
  }
  return text;
}
