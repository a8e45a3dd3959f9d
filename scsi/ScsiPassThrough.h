// The command channel: every drive command is built here with CommandByte
// and sent to the bound device with ExecuteCommand. The channel keeps the
// command as the SCSI standard has it (the CDB, the direction, the buffer,
// the time-out) and hands it to its transport: Bitset.exe's routes by drive
// letter or bus address, or the one transport it was given for all its
// commands, as the Linux command line gives it SG_IO.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Platform.h"
#include "scsi/CommandStatus.h"
#include "scsi/DataDirection.h"
#include "scsi/ScsiAddress.h"
#include "scsi/ScsiRoute.h"
#include "scsi/ScsiTransport.h"

class CAspiLibrary;
class WindowsRoutes;

constexpr int kCdbSize = 16;

class CScsiPassThrough {
 public:
  // The route given; SPTI opens drives through `devices`.
  CScsiPassThrough(ScsiRoute route, DeviceSystem& devices);
  // Every command through `transport`, whatever device is bound.
  explicit CScsiPassThrough(ScsiTransport& transport);
  ~CScsiPassThrough();
  CScsiPassThrough(const CScsiPassThrough&) = delete;
  CScsiPassThrough& operator=(const CScsiPassThrough&) = delete;

  // The CDB byte at `index`. Index 0 first resets the whole command and
  // what is known of the last one; every call makes the CDB end at
  // `index`. An index outside 0 to 15 gives a scratch byte that is never
  // sent and changes nothing.
  std::uint8_t& CommandByte(int index);
  // Opens "\\.\" + driveName on the SPTI route. 1 when opened, or when
  // nothing needs opening; 0 when the open failed.
  int OpenDrive(const char* driveName);
  void CloseDrive();
  // Sends the built CDB to the bound device.
  CommandStatus ExecuteCommand(int direction, void* buffer, std::uint32_t length);

  void BindDevice(ScsiAddress* device);
  ScsiAddress* BoundDevice() const { return boundDevice_; }
  void BindAspiLibrary(CAspiLibrary* library);
  CAspiLibrary* BoundAspiLibrary() const { return aspiLibrary_; }
  bool IsDriveOpen() const;
  // The data bytes the last command moved; 0 after a failed command.
  std::uint32_t BytesTransferred() const { return outcome_.transferred; }
  // All that is known of the last command's end.
  const ScsiOutcome& LastOutcome() const { return outcome_; }

 private:
  std::unique_ptr<WindowsRoutes> routes_;  // none when given a transport
  ScsiTransport& transport_;
  std::uint8_t cdb_[kCdbSize] = {};
  ScsiCommand command_;
  ScsiAddress* boundDevice_ = nullptr;
  CAspiLibrary* aspiLibrary_ = nullptr;
  ScsiOutcome outcome_;
  std::uint8_t outOfRangeByte_ = 0;
};
