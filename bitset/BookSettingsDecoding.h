// What the drive's settings byte means: its two bits, and the window's
// reading of them for its fields.
#pragma once

#include <string>

enum class Medium { PlusR, PlusRw };

// True when the settings byte (0 to 255) has the DVD-ROM bit of `medium`
// set: bit 0 for +R media, bit 1 for +RW media. The write values set and
// clear exactly these bits (D1h/D0h, E2h/E0h), so whether a write changes
// anything, and whether the drive took it, is told by them alone.
bool DvdRomBitSet(int settings, Medium medium);

// The window's reading: as the bit, except that a byte of exactly 00h reads
// as DVD-ROM for +R media.
bool WritesDvdRom(int settings, Medium medium);

// "DVD-ROM", or the medium's own book type: "DVD+R", "DVD+RW".
const char* BookTypeName(Medium medium, bool dvdRom);

// What the settings byte says of `medium`, in the words of the window.
std::string BookTypeText(int settings, Medium medium);
// What the bit of `medium` says, in the same words.
std::string BookTypeBitText(int settings, Medium medium);

struct BookTypeTexts {
  std::string plusR;   // book type the drive writes on DVD+R media
  std::string plusRw;  // book type the drive writes on DVD+RW media
};

// `settings` is the settings byte (0 to 255), or -1 when the read failed.
BookTypeTexts DecodeBookSettings(int settings);
