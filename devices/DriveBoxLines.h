// The two forms of a line of the drive box, one per discovery.
#pragma once

#include <string>

class CDeviceInfo;

using DriveBoxLineFormat = std::string (*)(const CDeviceInfo& device);

// A drive found by its letter: vendor and product as stored, then the drive
// name in parentheses, "QSI     DVDRW SDW-082    (D:)".
std::string DriveLetterLine(const CDeviceInfo& device);

// A device found by the bus scan: host adapter, target and logical unit,
// the six-character type name, vendor and product,
// "0:1:0  CD/DVD QSI     DVDRW SDW-082   ".
std::string BusAddressLine(const CDeviceInfo& device);

// The bus-scan form with another name for the device in place of its
// address, "/dev/sg1  CD/DVD QSI     DVDRW SDW-082   ".
std::string NamedDeviceLine(const std::string& name, const CDeviceInfo& device);
