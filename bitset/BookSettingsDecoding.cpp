#include "bitset/BookSettingsDecoding.h"

namespace {
const char kUnknown[] = "------";

constexpr int kPlusRIsRom = 0x01;   // bit 0: +R media written as DVD-ROM
constexpr int kPlusRwIsRom = 0x02;  // bit 1: +RW media written as DVD-ROM
}  // namespace

bool DvdRomBitSet(int settings, Medium medium) {
  return (settings & (medium == Medium::PlusR ? kPlusRIsRom : kPlusRwIsRom)) != 0;
}

bool WritesDvdRom(int settings, Medium medium) {
  return DvdRomBitSet(settings, medium) || (medium == Medium::PlusR && settings == 0);
}

const char* BookTypeName(Medium medium, bool dvdRom) {
  if (dvdRom) return "DVD-ROM";
  return medium == Medium::PlusR ? "DVD+R" : "DVD+RW";
}

std::string BookTypeText(int settings, Medium medium) {
  return BookTypeName(medium, WritesDvdRom(settings, medium));
}

std::string BookTypeBitText(int settings, Medium medium) {
  return BookTypeName(medium, DvdRomBitSet(settings, medium));
}

BookTypeTexts DecodeBookSettings(int settings) {
  if (settings < 0) return {kUnknown, kUnknown};
  return {BookTypeText(settings, Medium::PlusR), BookTypeText(settings, Medium::PlusRw)};
}
