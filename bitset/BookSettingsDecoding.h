// What the two read-only fields show for a reading of the drive's settings.
#pragma once

#include <string>

struct BookTypeTexts {
  std::string plusR;   // book type the drive writes on DVD+R media
  std::string plusRw;  // book type the drive writes on DVD+RW media
};

// `settings` is the settings byte (0 to 255), or -1 when the read failed.
BookTypeTexts DecodeBookSettings(int settings);
