// The disc in a simulated drive: none, a pressed CD or DVD-ROM, or a DVD+R
// or DVD+RW, blank or written. What the disc says about itself is what the
// drive answers to GET CONFIGURATION (its profile), READ DVD STRUCTURE (the
// physical format information of its lead-in) and READ DISC INFORMATION.
//
// In a drive config it is the key `disc`:
//   disc=none           no disc (the default)
//   disc=cd             a pressed CD
//   disc=dvd-rom        a pressed DVD-ROM
//   disc=dvd+r:blank    a DVD+R or DVD+RW not yet written (dvd+rw:blank)
//   disc=dvd+r:BOOK     a DVD+R or DVD+RW written, and closed, with the book
//                       type BOOK in its lead-in: dvd-rom, dvd+r, dvd+rw or
//                       a number from 0 to 15 (dvd+rw:dvd-rom...)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class Medium { None, Cd, DvdRom, DvdPlusR, DvdPlusRw };

struct SimulatedDisc {
  Medium medium = Medium::None;
  bool blank = false;
  std::uint8_t bookType = 0;  // of a written disc: what its lead-in carries
};

// False when the text is none of the forms above.
bool ParseDisc(const std::string& text, SimulatedDisc& disc);

// The current profile of GET CONFIGURATION: 0000h without a disc, 0008h
// CD-ROM, 0010h DVD-ROM, 001Bh DVD+R, 001Ah DVD+RW.
std::uint16_t CurrentProfile(const SimulatedDisc& disc);
bool IsDvd(const SimulatedDisc& disc);

// READ DVD STRUCTURE format 00h of layer 0, header included (2052 bytes).
// A blank disc has no lead-in yet: the drive gives what the disc's groove
// (ADIP) carries, the medium's own book type.
std::vector<std::uint8_t> PhysicalFormat(const SimulatedDisc& disc);

// The standard disc information of READ DISC INFORMATION (34 bytes).
std::vector<std::uint8_t> DiscInformation(const SimulatedDisc& disc);

// The blocks of 2048 bytes READ CAPACITY reports: none on a blank disc.
std::uint32_t RecordedBlocks(const SimulatedDisc& disc);

}  // namespace sim
