// The two ways Bitset.exe reaches a drive: SPTI by its drive letter, or the
// ASPI library by its bus address. The route is the one the platform class
// chose; on the SPTI route a record without a drive name, which the bus
// scan found, goes through the ASPI library that found it.
#pragma once

#include "scsi/AspiTransport.h"
#include "scsi/ScsiAddress.h"
#include "scsi/ScsiRoute.h"
#include "scsi/ScsiTransport.h"
#include "scsi/SptiTransport.h"

class CAspiLibrary;
class DeviceSystem;

class WindowsRoutes : public ScsiTransport {
 public:
  WindowsRoutes(ScsiRoute route, DeviceSystem& devices) : route_(route), spti_(&devices) {}

  // Opens "\\.\" + driveName on the SPTI route. 1 when opened, or when
  // nothing needs opening on the ASPI route; 0 when the open failed.
  int OpenDrive(const char* driveName);
  void CloseDrive() { spti_.Close(); }
  bool IsDriveOpen() const { return spti_.IsOpen(); }
  void BindDevice(const ScsiAddress* device);
  void BindAspiLibrary(const CAspiLibrary* library);

  ScsiOutcome Execute(const ScsiCommand& command) override;

 private:
  // The record may learn its drive name after it was bound, so this is
  // asked at each command.
  ScsiTransport& Transport();

  ScsiRoute route_;
  SptiTransport spti_;
  AspiTransport aspi_;
  const ScsiAddress* device_ = nullptr;
  const CAspiLibrary* library_ = nullptr;
};
