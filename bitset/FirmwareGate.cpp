#include "bitset/FirmwareGate.h"

bool FirmwareRefused(const std::string& revision) {
  return revision == "BX02" || revision == "BX01";
}
