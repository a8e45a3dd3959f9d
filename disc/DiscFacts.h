// What a disc says about itself, decoded from the answers of three standard
// commands: what it physically is (the current profile of GET
// CONFIGURATION), what it tells a player (the book type, part version,
// layers and layer type of READ DVD STRUCTURE's physical format
// information) and whether it was written (the disc status of READ DISC
// INFORMATION); their names, and one plain verdict.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct DiscFacts {
  std::uint16_t profile = 0;
  std::uint8_t bookType = 0;     // 0 to 15
  std::uint8_t partVersion = 0;  // 0 to 15
  std::uint8_t layers = 0;       // 1 to 4
  std::uint8_t layerType = 0;    // bits: 1 read-only, 2 recordable, 4 rewritable
  std::uint8_t discStatus = 0;   // 0 blank, 1 appendable, 2 complete, 3 other
};

// Each decoder reads the fields from an answer of `length` bytes (what the
// drive transferred): false, touching nothing, when the answer, or the data
// length the drive gives in it, ends before them.
// GET CONFIGURATION: the current profile in bytes 6-7 of its header.
bool DecodeCurrentProfile(const std::uint8_t* answer, std::size_t length, DiscFacts& facts);
// READ DVD STRUCTURE format 00h: bytes 4 and 6, after the 4-byte header.
bool DecodePhysicalFormat(const std::uint8_t* answer, std::size_t length, DiscFacts& facts);
// READ DISC INFORMATION: bits 1-0 of byte 2.
bool DecodeDiscStatus(const std::uint8_t* answer, std::size_t length, DiscFacts& facts);

// Profiles 0008h to 000Ah: a CD, which has no book type.
bool IsCdProfile(std::uint16_t profile);

// The names: "DVD+R", "DVD-ROM", "read-only", "blank"... A code without a
// name is shown by its number: "profile 0041h", "book type 5h".
std::string ProfileName(std::uint16_t profile);
std::string BookTypeName(std::uint8_t bookType);
std::string LayerTypeName(std::uint8_t layerType);
std::string DiscStatusName(std::uint8_t discStatus);

// One line in plain words: "a DVD+R that reads as DVD-ROM: its book type
// was set when it was written".
std::string DiscVerdict(const DiscFacts& facts);
