// What discovery learned of one device.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Object.h"
#include "scsi/ScsiAddress.h"

// INQUIRY peripheral device types that the system lists.
constexpr int kPeripheralWorm = 4;
constexpr int kPeripheralCdDvd = 5;

// The address fields (`DriveName`, `HostAdapter`, `TargetId`, `Lun`) are
// the record's place on the routes, which the command channel reads.
class CDeviceInfo : public CObject, public ScsiAddress {
 public:
  CDeviceInfo() = default;
  ~CDeviceInfo() override = default;

  int PeripheralType = 0;     // INQUIRY byte 0, whole (qualifier bits included)
  std::string Revision;       // product revision level, upper case
  std::string VendorProduct;  // vendor and product identification, upper case
};

// Only CD/DVD and WORM devices are listed.
bool IsListedType(int peripheralType);

// The six-character name of a device type, padded with blanks; empty for
// the types that have none.
const char* DeviceTypeName(int peripheralType);
