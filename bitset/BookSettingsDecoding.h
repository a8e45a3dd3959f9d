// What the drive's settings byte means: the one reading of it that the
// window's fields and the command line's output, preview and read-back
// check all share.
#pragma once

#include <string>

enum class Medium { PlusR, PlusRw };

// True when the settings byte (0 to 255) says the drive writes `medium` as
// DVD-ROM, false when it writes the medium's own book type. Bit 0 tells for
// +R media and bit 1 for +RW media, except that a byte of exactly 00h reads
// as DVD-ROM for +R media.
bool WritesDvdRom(int settings, Medium medium);

// "DVD-ROM", or the medium's own book type: "DVD+R", "DVD+RW".
const char* BookTypeName(Medium medium, bool dvdRom);

// What the settings byte says of `medium`, in the words of the window.
std::string BookTypeText(int settings, Medium medium);

struct BookTypeTexts {
  std::string plusR;   // book type the drive writes on DVD+R media
  std::string plusRw;  // book type the drive writes on DVD+RW media
};

// `settings` is the settings byte (0 to 255), or -1 when the read failed.
BookTypeTexts DecodeBookSettings(int settings);
