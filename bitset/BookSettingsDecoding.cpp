#include "bitset/BookSettingsDecoding.h"

namespace {
const char kDvdPlusR[] = "DVD+R";
const char kDvdPlusRw[] = "DVD+RW";
const char kDvdRom[] = "DVD-ROM";
const char kUnknown[] = "------";

constexpr int kPlusRIsRom = 0x01;   // bit 0: +R media written as DVD-ROM
constexpr int kPlusRwIsRom = 0x02;  // bit 1: +RW media written as DVD-ROM
}  // namespace

BookTypeTexts DecodeBookSettings(int settings) {
  if (settings < 0) return {kUnknown, kUnknown};
  BookTypeTexts texts;
  texts.plusRw = (settings & kPlusRwIsRom) != 0 ? kDvdRom : kDvdPlusRw;
  // A byte of exactly 0 reads as DVD-ROM for +R media.
  texts.plusR = (settings & kPlusRIsRom) != 0 || settings == 0 ? kDvdRom : kDvdPlusR;
  return texts;
}
