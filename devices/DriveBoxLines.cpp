#include "devices/DriveBoxLines.h"

#include "devices/DeviceInfo.h"
#include "platform/Format.h"

std::string DriveLetterLine(const CDeviceInfo& device) {
  return FormatString("%s (%2s)", device.VendorProduct.c_str(), device.DriveName);
}

std::string BusAddressLine(const CDeviceInfo& device) {
  return NamedDeviceLine(FormatString("%u:%u:%u", unsigned{device.HostAdapter},
                                      unsigned{device.TargetId}, unsigned{device.Lun}),
                         device);
}

std::string NamedDeviceLine(const std::string& name, const CDeviceInfo& device) {
  return FormatString("%s  %6s %s", name.c_str(), DeviceTypeName(device.PeripheralType),
                      device.VendorProduct.c_str());
}
