#include "scsi/SptiTransport.h"

#include <algorithm>
#include <cstring>

#include "platform/Platform.h"

namespace {
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kFileShareRead = 0x1;
constexpr std::uint32_t kFileShareWrite = 0x2;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::size_t kMaxDriveName = 27;  // as the 32-byte path always held
}  // namespace

SptiTransport::SptiTransport(DeviceSystem* devices)
    : devices_(devices), handle_(InvalidDeviceHandle()) {
  std::memset(&block_, 0, sizeof block_);
}

bool SptiTransport::Open(const char* driveName) {
  Close();
  const char* end = std::find(driveName, driveName + kMaxDriveName, '\0');
  const std::string path = "\\\\.\\" + std::string(driveName, end);
  handle_ = devices_->CreateFile(path.c_str(), kGenericRead | kGenericWrite,
                                  kFileShareRead | kFileShareWrite, kOpenExisting, 0);
  if (IsOpen()) openDriveName_ = driveName;
  return IsOpen();
}

void SptiTransport::Close() {
  if (!IsOpen()) return;
  devices_->CloseHandle(handle_);
  handle_ = InvalidDeviceHandle();
  openDriveName_.clear();
}

bool SptiTransport::OpenForAnotherDrive() const {
  // A record without a name is the one a drive-letter walk is asking about,
  // through the drive it has just opened.
  return IsOpen() && device_ != nullptr && device_->DriveName[0] != '\0' &&
         openDriveName_ != std::string(device_->DriveName, strnlen(device_->DriveName, sizeof device_->DriveName));
}

ScsiOutcome SptiTransport::Execute(const ScsiCommand& command) {
  ScsiOutcome outcome;
  if (OpenForAnotherDrive()) Close();
  if (!IsOpen()) {
    if (device_ == nullptr) {  // no device: nothing is sent
      SetRefused(outcome, 0);
      return outcome;
    }
    Open(device_->DriveName);  // a failed open fails the request below
  }
  // The handle is closed however the command ends, an exception included.
  struct CloseWhenDone {
    SptiTransport& transport;
    ~CloseWhenDone() { transport.Close(); }
  } closeWhenDone{*this};
  Send(command, outcome);
  return outcome;
}

void SptiTransport::Send(const ScsiCommand& command, ScsiOutcome& outcome) {
  std::memset(&block_, 0, sizeof block_);
  ScsiPassThroughDirect& request = block_.request;
  request.Length = static_cast<std::uint16_t>(kRequestBlockSize);
  request.CdbLength = command.cdbLength;
  request.SenseInfoLength = kRequestedSenseLength;
  request.DataIn = command.fromDevice ? kScsiIoctlDataIn : kScsiIoctlDataOut;
  request.DataTransferLength = command.length;
  request.TimeOutValue = command.timeOutSeconds;
  request.DataBuffer = command.data;
  request.SenseInfoOffset = kSenseAreaOffset;
  std::memcpy(request.Cdb, command.cdb, std::min<std::size_t>(command.cdbLength, sizeof request.Cdb));
  const bool sent = devices_->DeviceIoControl(handle_, kIoctlScsiPassThroughDirect, &block_,
                                               kRequestBlockSize, &block_, kRequestWithSenseSize,
                                               &bytesReturned_);
  if (!sent) {
    SetRefused(outcome, static_cast<int>(devices_->GetLastError()));
    return;
  }
  std::memcpy(outcome.sense, block_.sense, sizeof block_.sense);
  outcome.senseLength = sizeof block_.sense;
  SetAnswer(outcome, request.ScsiStatus, std::min(request.DataTransferLength, command.length));
}
