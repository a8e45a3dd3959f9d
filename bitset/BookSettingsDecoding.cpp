#include "bitset/BookSettingsDecoding.h"

namespace {
const char kUnknown[] = "------";

constexpr int kPlusRIsRom = 0x01;   // bit 0: +R media written as DVD-ROM
constexpr int kPlusRwIsRom = 0x02;  // bit 1: +RW media written as DVD-ROM
}  // namespace

bool WritesDvdRom(int settings, Medium medium) {
  if (medium == Medium::PlusRw) return (settings & kPlusRwIsRom) != 0;
  return (settings & kPlusRIsRom) != 0 || settings == 0;
}

const char* BookTypeName(Medium medium, bool dvdRom) {
  if (dvdRom) return "DVD-ROM";
  return medium == Medium::PlusR ? "DVD+R" : "DVD+RW";
}

std::string BookTypeText(int settings, Medium medium) {
  return BookTypeName(medium, WritesDvdRom(settings, medium));
}

BookTypeTexts DecodeBookSettings(int settings) {
  if (settings < 0) return {kUnknown, kUnknown};
  return {BookTypeText(settings, Medium::PlusR), BookTypeText(settings, Medium::PlusRw)};
}
