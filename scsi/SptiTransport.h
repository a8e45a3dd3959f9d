// The Windows SCSI pass-through interface (SPTI) to a drive letter: each
// command goes to DeviceIoControl as a SCSI_PASS_THROUGH_DIRECT request
// block with its sense area, built here. The drive is opened for each
// command and closed after it, unless a handle for it was opened
// beforehand, which the command then closes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/WinTypes.h"
#include "scsi/ScsiAddress.h"
#include "scsi/ScsiTransport.h"
#include "scsi/SptiRequestBlock.h"

class DeviceSystem;

constexpr std::uint8_t kRequestedSenseLength = 18;

class SptiTransport : public ScsiTransport {
 public:
  explicit SptiTransport(DeviceSystem* devices);
  ~SptiTransport() override { Close(); }
  SptiTransport(const SptiTransport&) = delete;
  SptiTransport& operator=(const SptiTransport&) = delete;

  // Opens "\\.\" + driveName, at most 27 characters of the name.
  bool Open(const char* driveName);
  void Close();
  bool IsOpen() const { return handle_ != InvalidDeviceHandle(); }
  // The device the commands go to, its drive name read at each command;
  // null for none, an empty name for the drive opened beforehand.
  void SetDevice(const ScsiAddress* device) { device_ = device; }

  ScsiOutcome Execute(const ScsiCommand& command) override;

 private:
  bool OpenForAnotherDrive() const;
  void Send(const ScsiCommand& command, ScsiOutcome& outcome);

  DeviceSystem* devices_;
  DeviceHandle handle_;
  std::string openDriveName_;  // the drive `device_` was opened for
  const ScsiAddress* device_ = nullptr;
  SptiRequestBlock block_;
  std::uint32_t bytesReturned_ = 0;
};
