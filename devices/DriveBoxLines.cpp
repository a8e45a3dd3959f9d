#include "devices/DriveBoxLines.h"

#include "devices/DeviceInfo.h"
#include "framework/Format.h"

std::string DriveLetterLine(const CDeviceInfo& device) {
  return FormatString("%s (%2s)", device.VendorProduct.c_str(), device.DriveName);
}

std::string BusAddressLine(const CDeviceInfo& device) {
  return FormatString("%u:%u:%u  %6s %s", unsigned{device.HostAdapter}, unsigned{device.TargetId},
                      unsigned{device.Lun}, DeviceTypeName(device.PeripheralType),
                      device.VendorProduct.c_str());
}
