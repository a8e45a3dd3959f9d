// What discovery learned of one device.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Object.h"

// INQUIRY peripheral device types that the system lists.
constexpr int kPeripheralWorm = 4;
constexpr int kPeripheralCdDvd = 5;

class CDeviceInfo : public CObject {
 public:
  CDeviceInfo() = default;
  ~CDeviceInfo() override = default;

  int PeripheralType = 0;     // INQUIRY byte 0, whole (qualifier bits included)
  std::string Revision;       // product revision level, upper case
  std::uint8_t Lun = 0;
  std::uint8_t TargetId = 0;
  std::uint8_t HostAdapter = 0;
  std::string VendorProduct;  // vendor and product identification, upper case
  char DriveName[3] = {0, 0, 0};  // "D:" for a drive found by its letter; empty from a bus scan
};

// Only CD/DVD and WORM devices are listed.
bool IsListedType(int peripheralType);

// The six-character name of a device type, padded with blanks; empty for
// the types that have none.
const char* DeviceTypeName(int peripheralType);
