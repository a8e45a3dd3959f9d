#include "disc/DiscFacts.h"

#include <cstdio>

namespace {

constexpr std::uint16_t kProfileDvdRom = 0x0010;
constexpr std::uint16_t kProfileDvdPlusRw = 0x001A;
constexpr std::uint16_t kProfileDvdPlusR = 0x001B;
constexpr std::uint8_t kBookDvdRom = 0x0;
constexpr std::uint8_t kBookDvdPlusRw = 0x9;
constexpr std::uint8_t kBookDvdPlusR = 0xA;
constexpr std::uint8_t kReadOnlyLayer = 0x1;
constexpr std::uint8_t kStatusBlank = 0;

const char kBlankVerdict[] =
    ": its book type is written when it is recorded (`bitset show` tells which one this drive "
    "writes)";
const char kSetVerdict[] = ": its book type was set when it was written";
const char kOwnVerdict[] = " that carries its own book type";
const char kPressedVerdict[] = "a pressed DVD-ROM";

// The bytes of an answer that hold data: what was transferred, and no more
// than the data length field (of `fieldSize` bytes at the start, counting
// the bytes after it) says.
std::size_t ValidLength(const std::uint8_t* answer, std::size_t length, std::size_t fieldSize) {
  if (length < fieldSize) return 0;
  std::size_t declared = 0;
  for (std::size_t i = 0; i < fieldSize; ++i) declared = declared << 8 | answer[i];
  return declared + fieldSize < length ? declared + fieldSize : length;
}

std::string Hex(const char* format, unsigned value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// How the verdict names the disc: "a DVD+R", "a profile 0041h".
std::string DiscName(std::uint16_t profile) {
  return profile == 0 ? "a disc of no current profile" : "a " + ProfileName(profile);
}

}  // namespace

bool DecodeCurrentProfile(const std::uint8_t* answer, std::size_t length, DiscFacts& facts) {
  if (ValidLength(answer, length, 4) < 8) return false;
  facts.profile = static_cast<std::uint16_t>(answer[6] << 8 | answer[7]);
  return true;
}

bool DecodePhysicalFormat(const std::uint8_t* answer, std::size_t length, DiscFacts& facts) {
  if (ValidLength(answer, length, 2) < 7) return false;
  facts.bookType = static_cast<std::uint8_t>(answer[4] >> 4);
  facts.partVersion = static_cast<std::uint8_t>(answer[4] & 0x0F);
  facts.layers = static_cast<std::uint8_t>(((answer[6] >> 5) & 0x03) + 1);
  facts.layerType = static_cast<std::uint8_t>(answer[6] & 0x0F);
  return true;
}

bool DecodeDiscStatus(const std::uint8_t* answer, std::size_t length, DiscFacts& facts) {
  if (ValidLength(answer, length, 2) < 3) return false;
  facts.discStatus = static_cast<std::uint8_t>(answer[2] & 0x03);
  return true;
}

bool IsCdProfile(std::uint16_t profile) { return profile >= 0x0008 && profile <= 0x000A; }

std::string ProfileName(std::uint16_t profile) {
  switch (profile) {
    case 0x0000: return "none";
    case 0x0008: return "CD-ROM";
    case 0x0009: return "CD-R";
    case 0x000A: return "CD-RW";
    case 0x0010: return "DVD-ROM";
    case 0x0011: return "DVD-R";
    case 0x0012: return "DVD-RAM";
    case 0x0013: return "DVD-RW restricted overwrite";
    case 0x0014: return "DVD-RW sequential";
    case 0x001A: return "DVD+RW";
    case 0x001B: return "DVD+R";
    case 0x002B: return "DVD+R DL";
    default: return Hex("profile %04Xh", profile);
  }
}

std::string BookTypeName(std::uint8_t bookType) {
  switch (bookType) {
    case 0x0: return "DVD-ROM";
    case 0x1: return "DVD-RAM";
    case 0x2: return "DVD-R";
    case 0x3: return "DVD-RW";
    case 0x9: return "DVD+RW";
    case 0xA: return "DVD+R";
    case 0xD: return "DVD+RW DL";
    case 0xE: return "DVD+R DL";
    default: return Hex("book type %Xh", bookType);
  }
}

std::string LayerTypeName(std::uint8_t layerType) {
  switch (layerType) {
    case 0x1: return "read-only";
    case 0x2: return "recordable";
    case 0x4: return "rewritable";
    default: return Hex("layer type %Xh", layerType);
  }
}

std::string DiscStatusName(std::uint8_t discStatus) {
  switch (discStatus) {
    case 0: return "blank";
    case 1: return "appendable";
    case 2: return "complete";
    default: return "other";  // neither: a disc written at random, as DVD-RAM
  }
}

std::string DiscVerdict(const DiscFacts& facts) {
  const std::string disc = DiscName(facts.profile);
  const bool plus = facts.profile == kProfileDvdPlusR || facts.profile == kProfileDvdPlusRw;
  if (plus && facts.discStatus == kStatusBlank) return "a blank " + ProfileName(facts.profile) + kBlankVerdict;
  if (plus) {
    const std::uint8_t own = facts.profile == kProfileDvdPlusR ? kBookDvdPlusR : kBookDvdPlusRw;
    if (facts.bookType == own) return disc + kOwnVerdict;
    return disc + " that reads as " + BookTypeName(facts.bookType) + kSetVerdict;
  }
  const bool pressed = facts.profile == kProfileDvdRom && facts.bookType == kBookDvdRom &&
                       facts.layerType == kReadOnlyLayer;
  if (pressed) return kPressedVerdict;
  return disc + " that reads as " + BookTypeName(facts.bookType);
}
