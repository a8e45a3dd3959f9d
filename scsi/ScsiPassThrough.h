// The command channel: every drive command is built here with CommandByte
// and sent to the bound device with ExecuteCommand, through the transport of
// the channel's route. On the pass-through route the device is opened by
// its drive name and closed again after every command; on the ASPI route
// the ASPI library carries it. A channel can also be given one transport for
// all its commands, as the Linux command line does.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "scsi/AspiTransport.h"
#include "scsi/CommandStatus.h"
#include "scsi/DataDirection.h"
#include "scsi/PassThroughTransport.h"
#include "scsi/ScsiAddress.h"
#include "scsi/ScsiPassThroughDirect.h"
#include "scsi/ScsiRoute.h"
#include "scsi/ScsiTransport.h"

class CAspiLibrary;

constexpr std::uint32_t kCommandTimeOutSeconds = 30;
constexpr int kCdbSize = 16;

class CScsiPassThrough {
 public:
  // The route given; the pass-through opens drives through `devices`.
  CScsiPassThrough(ScsiRoute route, DeviceSystem& devices);
  // Every command through `transport`, whatever device is bound.
  explicit CScsiPassThrough(ScsiTransport& transport);
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

  void BindDevice(ScsiAddress* device);
  ScsiAddress* BoundDevice() const { return boundDevice_; }
  void BindAspiLibrary(CAspiLibrary* library);
  CAspiLibrary* BoundAspiLibrary() const { return aspiLibrary_; }
  bool IsDriveOpen() const { return passThrough_.IsOpen(); }
  const ScsiRequestBuffer& Request() const { return buffer_; }
  // The data bytes the last command moved; 0 after a failed command.
  std::uint32_t BytesTransferred() const { return transferred_; }
  // All that is known of the last command's end.
  const ScsiOutcome& LastOutcome() const { return outcome_; }

 private:
  // The transport for the bound device: the given one, or the route's. On
  // the pass-through route a record without a drive name that a bus scan
  // found goes through the ASPI library; the record may learn its drive
  // name after it was bound, so this is asked at each command.
  ScsiTransport& Transport();
  ScsiCommand BuiltCommand(int direction, void* buffer, std::uint32_t length);
  void KeepOutcome(const ScsiOutcome& outcome);

  ScsiRoute route_;
  PassThroughTransport passThrough_;
  AspiTransport aspi_;
  ScsiTransport* given_ = nullptr;
  ScsiRequestBuffer buffer_;
  ScsiAddress* boundDevice_ = nullptr;
  CAspiLibrary* aspiLibrary_ = nullptr;
  ScsiOutcome outcome_;
  std::uint32_t transferred_ = 0;
  std::uint8_t outOfRangeByte_ = 0;
};
