#include "sim/SimulatedDisc.h"

#include <cstdlib>

namespace sim {

namespace {

constexpr std::uint8_t kBookDvdRom = 0x0;
constexpr std::uint8_t kBookDvdPlusRw = 0x9;
constexpr std::uint8_t kBookDvdPlusR = 0xA;

// Layer types of the physical format information, bits 3-0 of its byte 2.
constexpr std::uint8_t kReadOnlyLayer = 0x1;
constexpr std::uint8_t kRecordableLayer = 0x2;
constexpr std::uint8_t kRewritableLayer = 0x4;

constexpr std::uint32_t kDvdBlocks = 2295104;  // a single-layer 4.7 GB disc
constexpr std::uint32_t kCdBlocks = 333000;    // a 650 MB CD

bool ParseBookType(const std::string& text, std::uint8_t& bookType) {
  if (text == "dvd-rom") {
    bookType = kBookDvdRom;
  } else if (text == "dvd+r") {
    bookType = kBookDvdPlusR;
  } else if (text == "dvd+rw") {
    bookType = kBookDvdPlusRw;
  } else {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || number < 0 || number > 15) return false;
    bookType = static_cast<std::uint8_t>(number);
  }
  return true;
}

// The medium's own book type and part version, as its groove carries them.
std::uint8_t OwnBookType(Medium medium) {
  switch (medium) {
    case Medium::DvdPlusR: return kBookDvdPlusR;
    case Medium::DvdPlusRw: return kBookDvdPlusRw;
    default: return kBookDvdRom;
  }
}

std::uint8_t PartVersion(Medium medium) { return medium == Medium::DvdPlusRw ? 2 : 1; }

std::uint8_t LayerType(Medium medium) {
  switch (medium) {
    case Medium::DvdPlusR: return kRecordableLayer;
    case Medium::DvdPlusRw: return kRewritableLayer;
    default: return kReadOnlyLayer;
  }
}

void PutBigEndian24(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 16);
  out[1] = static_cast<std::uint8_t>(value >> 8);
  out[2] = static_cast<std::uint8_t>(value);
}

}  // namespace

bool ParseDisc(const std::string& text, SimulatedDisc& disc) {
  SimulatedDisc parsed;
  const std::size_t colon = text.find(':');
  const std::string medium = text.substr(0, colon);
  const std::string state = colon == std::string::npos ? std::string() : text.substr(colon + 1);
  if (medium == "dvd+r" || medium == "dvd+rw") {
    parsed.medium = medium == "dvd+r" ? Medium::DvdPlusR : Medium::DvdPlusRw;
    parsed.blank = state == "blank";
    if (!parsed.blank && !ParseBookType(state, parsed.bookType)) return false;
  } else if (colon != std::string::npos) {
    return false;  // only a recordable disc is blank or written
  } else if (medium == "none") {
    parsed.medium = Medium::None;
  } else if (medium == "cd") {
    parsed.medium = Medium::Cd;
  } else if (medium == "dvd-rom") {
    parsed.medium = Medium::DvdRom;
    parsed.bookType = kBookDvdRom;
  } else {
    return false;
  }
  disc = parsed;
  return true;
}

std::uint16_t CurrentProfile(const SimulatedDisc& disc) {
  switch (disc.medium) {
    case Medium::None: return 0x0000;
    case Medium::Cd: return 0x0008;
    case Medium::DvdRom: return 0x0010;
    case Medium::DvdPlusR: return 0x001B;
    case Medium::DvdPlusRw: return 0x001A;
  }
  return 0x0000;
}

bool IsDvd(const SimulatedDisc& disc) {
  return disc.medium != Medium::None && disc.medium != Medium::Cd;
}

std::vector<std::uint8_t> PhysicalFormat(const SimulatedDisc& disc) {
  std::vector<std::uint8_t> answer(4 + 2048, 0);
  answer[0] = 0x08;  // data length 2050: the descriptor and two reserved bytes
  answer[1] = 0x02;
  std::uint8_t* layer = answer.data() + 4;
  const std::uint8_t bookType = disc.blank ? OwnBookType(disc.medium) : disc.bookType;
  layer[0] = static_cast<std::uint8_t>(bookType << 4 | PartVersion(disc.medium));
  layer[1] = disc.medium == Medium::DvdRom ? 0x02 : 0x0F;  // 120 mm; 10.08 Mbit/s or not given
  layer[2] = LayerType(disc.medium);                       // one layer (bits 6-5 zero)
  PutBigEndian24(layer + 5, 0x030000);                     // the data area's first sector
  PutBigEndian24(layer + 9, 0x030000 + kDvdBlocks - 1);   // and its last
  return answer;
}

std::vector<std::uint8_t> DiscInformation(const SimulatedDisc& disc) {
  std::vector<std::uint8_t> answer(34, 0);
  answer[1] = 32;  // data length
  const bool erasable = disc.medium == Medium::DvdPlusRw;
  // Blank: status 0 with an empty last session; else complete (status 2)
  // with a complete last session (3).
  const std::uint8_t status = disc.blank ? 0x00 : 0x0E;
  answer[2] = static_cast<std::uint8_t>((erasable ? 0x10 : 0x00) | status);
  answer[3] = 1;  // the first track
  answer[4] = 1;  // sessions
  answer[5] = 1;  // first and last track of the last session
  answer[6] = 1;
  return answer;
}

std::uint32_t RecordedBlocks(const SimulatedDisc& disc) {
  if (disc.medium == Medium::None || disc.blank) return 0;
  return disc.medium == Medium::Cd ? kCdBlocks : kDvdBlocks;
}

}  // namespace sim
