// Where a device is, as the routes to it need it: its drive letter for the
// pass-through, its host adapter, target and LUN for the ASPI library.
#pragma once

#include <cstdint>

struct ScsiAddress {
  std::uint8_t Lun = 0;
  std::uint8_t TargetId = 0;
  std::uint8_t HostAdapter = 0;
  char DriveName[3] = {0, 0, 0};  // "D:" for a drive found by its letter; empty from a bus scan
};
