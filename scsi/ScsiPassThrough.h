// The command channel: every drive command is built here with CommandByte
// and sent to the bound device with ExecuteCommand. On the NT family a
// command travels through the system's SCSI pass-through (the device is
// opened by its drive name and closed again after every command); on the
// 9x family through the ASPI library.
#pragma once

#include <cstdint>
#include <string>

#include "app/PlatformClass.h"
#include "framework/WinTypes.h"
#include "scsi/CommandStatus.h"
#include "scsi/DataDirection.h"
#include "scsi/ScsiPassThroughDirect.h"

class CAspiLibrary;
class CDeviceInfo;

constexpr std::uint32_t kCommandTimeOutSeconds = 30;
constexpr std::uint8_t kRequestedSenseLength = 18;
constexpr int kCdbSize = 16;

class CScsiPassThrough {
 public:
  // The route follows the running Windows, asked once here.
  CScsiPassThrough();
  // The route of `platformClass`: 2 and above the pass-through, else ASPI.
  explicit CScsiPassThrough(PlatformClass platformClass);
  ~CScsiPassThrough();
  CScsiPassThrough(const CScsiPassThrough&) = delete;
  CScsiPassThrough& operator=(const CScsiPassThrough&) = delete;

  // The CDB byte at `index`. Index 0 first resets the whole request; every
  // call makes the CDB end at `index`. An index outside 0 to 15 gives a
  // scratch byte that is never sent and changes nothing.
  std::uint8_t& CommandByte(int index);
  // Opens "\\.\" + driveName for the pass-through. 1 when opened, or when
  // nothing needs opening on the ASPI side; 0 when the open failed.
  int OpenDrive(const char* driveName);
  void CloseDrive();
  // Sends the built CDB to the bound device.
  CommandStatus ExecuteCommand(int direction, void* buffer, std::uint32_t length);

  void BindDevice(CDeviceInfo* device) { boundDevice_ = device; }
  CDeviceInfo* BoundDevice() const { return boundDevice_; }
  void BindAspiLibrary(CAspiLibrary* library) { aspiLibrary_ = library; }
  CAspiLibrary* BoundAspiLibrary() const { return aspiLibrary_; }
  bool IsDriveOpen() const { return device_ != InvalidDeviceHandle(); }
  const ScsiRequestBuffer& Request() const { return buffer_; }
  // The data bytes the last command moved; 0 after a failed command.
  std::uint32_t BytesTransferred() const { return transferred_; }

 private:
  bool UsesAspiRoute() const;
  // Whether the open handle belongs to a drive other than the bound one.
  bool OpenForAnotherDrive() const;
  CommandStatus ExecuteSptiCommand(int direction, void* buffer, std::uint32_t length);
  CommandStatus ExecuteAspiCommand(int direction, void* buffer, std::uint32_t length);

  DeviceHandle device_;
  std::string openDriveName_;  // the drive `device_` was opened for
  ScsiRequestBuffer buffer_;
  CDeviceInfo* boundDevice_ = nullptr;
  CAspiLibrary* aspiLibrary_ = nullptr;
  std::uint32_t bytesReturned_ = 0;
  std::uint32_t transferred_ = 0;
  PlatformClass platformClass_;
  std::uint8_t outOfRangeByte_ = 0;
};
