// Drives behind drive letters: the in-memory SCSI pass-through, each drive
// a simulated drive model.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "tests/memory/MemoryCalls.h"
#include "sim/DriveModel.h"

namespace memory {

// One call that reached a device, in order.
struct DeviceEvent {
  enum Kind { Open, OpenFailed, Io, Close } kind = Open;
  std::string path;  // Open, OpenFailed
  std::uint32_t access = 0, share = 0, disposition = 0, flags = 0;
  DeviceHandle handle = nullptr;
  char drive = 0;  // the drive letter behind the handle
  // Io
  std::uint32_t code = 0;
  std::uint16_t blockLength = 0;  // the request block's Length field
  std::vector<std::uint8_t> cdb;
  std::uint8_t dataIn = 0;
  std::uint32_t dataLength = 0;
  std::uint32_t timeOut = 0;
  std::uint8_t senseInfoLength = 0;
  std::uint32_t senseInfoOffset = 0;
  const void* dataBuffer = nullptr;
  std::uint32_t inLength = 0, outLength = 0;
  bool succeeded = false;
};

class MemoryDrives : public virtual MemoryCalls {
 public:
  // --- Set-up --------------------------------------------------------------
  // The roots GetLogicalDriveStrings reports, in order ("D:\\", "e:\\"...).
  void SetDriveRoots(std::vector<std::string> roots) { driveRoots_ = std::move(roots); }
  // A drive behind a letter; its root is added to the drive roots.
  sim::DriveModel& AddDrive(char letter, sim::DriveConfig config = sim::DriveConfig());
  // A drive letter that cannot be opened (no rights, or not a device).
  void AddUnopenableDrive(char letter);
  // The platform refuses every request to this drive (DeviceIoControl FALSE).
  void FailRequests(char letter) { refusedDrives_.push_back(letter); }
  // The drive ends its commands with this SCSI status but no sense data.
  void ReportStatusWithoutSense(char letter, std::uint8_t status) { bareStatus_[letter] = status; }
  // The drive's sense data carries this response code (70h current, 71h
  // deferred errors...).
  void SetSenseResponseCode(char letter, std::uint8_t code) { senseCodes_[letter] = code; }
  sim::DriveModel* Drive(char letter);

  // --- What the tests look at ------------------------------------------------
  const std::vector<DeviceEvent>& DeviceEvents() const { return deviceEvents_; }
  void ClearDeviceEvents() { deviceEvents_.clear(); }
  int OpenDeviceCount() const { return static_cast<int>(openDevices_.size()); }
  // The buffer length of every GetLogicalDriveStrings call, in order.
  const std::vector<std::uint32_t>& DriveStringsLengths() const { return driveStringsLengths_; }

  // --- The platform's device calls -------------------------------------------
  std::uint32_t GetLogicalDriveStrings(std::uint32_t length, char* buffer);
  DeviceHandle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t flags);
  bool DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t inLength,
                       void* out, std::uint32_t outLength, std::uint32_t* bytesReturned);
  // CloseHandle of a device handle, after the call has been counted.
  bool CloseDevice(void* handle);

 private:
  struct DriveSlot {
    std::unique_ptr<sim::DriveModel> model;
    bool openable = true;
  };
  std::map<char, DriveSlot> drives_;
  std::vector<char> refusedDrives_;
  std::map<char, std::uint8_t> bareStatus_;
  std::map<char, std::uint8_t> senseCodes_;
  std::vector<std::string> driveRoots_;
  std::map<DeviceHandle, char> openDevices_;
  std::vector<DeviceEvent> deviceEvents_;
  std::vector<std::uint32_t> driveStringsLengths_;
};

}  // namespace memory
