#include "scsi/ScsiPassThrough.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "devices/DeviceInfo.h"
#include "framework/Platform.h"
#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"
#include "scsi/SenseData.h"

namespace {
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kFileShareRead = 0x1;
constexpr std::uint32_t kFileShareWrite = 0x2;
constexpr std::uint32_t kOpenExisting = 3;
}  // namespace

CScsiPassThrough::CScsiPassThrough() : CScsiPassThrough(GetPlatformClass()) {}

CScsiPassThrough::CScsiPassThrough(PlatformClass platformClass)
    : device_(InvalidDeviceHandle()), platformClass_(platformClass) {
  std::memset(&buffer_, 0, sizeof buffer_);
}

CScsiPassThrough::~CScsiPassThrough() { CloseDrive(); }

std::uint8_t& CScsiPassThrough::CommandByte(int index) {
  if (index < 0 || index >= kCdbSize) {
    outOfRangeByte_ = 0;
    return outOfRangeByte_;
  }
  ScsiPassThroughDirect& request = buffer_.request;
  if (index == 0) {
    // A new command: nothing of the previous one, its sense data included, survives.
    std::memset(&buffer_, 0, sizeof buffer_);
    request.Length = static_cast<std::uint16_t>(kRequestBlockSize);
    request.SenseInfoLength = kRequestedSenseLength;
    request.DataIn = kScsiIoctlDataUnspecified;
    request.TimeOutValue = kCommandTimeOutSeconds;
    request.SenseInfoOffset = kSenseAreaOffset;
  }
  request.CdbLength = static_cast<std::uint8_t>(index + 1);
  return request.Cdb[index];
}

int CScsiPassThrough::OpenDrive(const char* driveName) {
  // The route chosen when the channel was made: a handle opened here is
  // always one that the pass-through side closes again.
  if (!UsesSpti(platformClass_)) return 1;
  CloseDrive();
  // At most 27 characters of the name, as the 32-byte path always held.
  const char* end = std::find(driveName, driveName + 27, '\0');
  const std::string path = "\\\\.\\" + std::string(driveName, end);
  device_ = GetPlatform().CreateFile(path.c_str(), kGenericRead | kGenericWrite,
                                     kFileShareRead | kFileShareWrite, kOpenExisting, 0);
  if (IsDriveOpen()) openDriveName_ = driveName;
  return IsDriveOpen() ? 1 : 0;
}

void CScsiPassThrough::CloseDrive() {
  if (!IsDriveOpen()) return;
  GetPlatform().CloseHandle(device_);
  device_ = InvalidDeviceHandle();
  openDriveName_.clear();
}

bool CScsiPassThrough::OpenForAnotherDrive() const {
  // A record without a name is the one a drive-letter walk is asking about,
  // through the drive it has just opened.
  return IsDriveOpen() && boundDevice_ != nullptr && boundDevice_->DriveName[0] != '\0' &&
         openDriveName_ != std::string(boundDevice_->DriveName,
                                        strnlen(boundDevice_->DriveName, sizeof boundDevice_->DriveName));
}

bool CScsiPassThrough::UsesAspiRoute() const {
  if (!UsesSpti(platformClass_)) return true;
  // A device that the bus scan found has no drive letter to open: on the NT
  // family it is reached through the ASPI library that found it.
  return aspiLibrary_ != nullptr && boundDevice_ != nullptr && boundDevice_->DriveName[0] == '\0';
}

CommandStatus CScsiPassThrough::ExecuteCommand(int direction, void* buffer, std::uint32_t length) {
  transferred_ = 0;
  if (!UsesAspiRoute()) return ExecuteSptiCommand(direction, buffer, length);
  // Without a device nothing is sent, and nothing may pass for a drive's answer.
  if (boundDevice_ == nullptr) return kCommandFailed;
  const CommandStatus status = ExecuteAspiCommand(direction, buffer, length);
  // ASPI reports no residue: a finished request is taken as complete.
  transferred_ = status == kCommandSucceeded ? length : 0;
  // Keep the sense area telling the same facts as after a pass-through command.
  const auto packed = static_cast<std::uint32_t>(status);
  buffer_.sense[2] = static_cast<std::uint8_t>(packed >> 16);
  buffer_.sense[12] = static_cast<std::uint8_t>(packed >> 8);
  buffer_.sense[13] = static_cast<std::uint8_t>(packed);
  return status;
}

CommandStatus CScsiPassThrough::ExecuteSptiCommand(int direction, void* buffer,
                                                   std::uint32_t length) {
  if (OpenForAnotherDrive()) CloseDrive();
  if (!IsDriveOpen()) {
    if (boundDevice_ == nullptr) return kCommandFailed;
    OpenDrive(boundDevice_->DriveName);  // a failed open fails the request below
  }
  // The handle is closed however the command ends, an exception included.
  struct CloseWhenDone {
    CScsiPassThrough& channel;
    ~CloseWhenDone() { channel.CloseDrive(); }
  } closeWhenDone{*this};
  ScsiPassThroughDirect& request = buffer_.request;
  request.DataBuffer = buffer;
  request.DataTransferLength = length;
  request.DataIn = direction == kDataFromDrive ? kScsiIoctlDataIn : kScsiIoctlDataOut;
  const bool sent = GetPlatform().DeviceIoControl(device_, kIoctlScsiPassThroughDirect, &buffer_,
                                                  kRequestBlockSize, &buffer_,
                                                  kRequestWithSenseSize, &bytesReturned_);
  // A status other than GOOD means the drive did not carry the command out,
  // with sense data or without (BUSY, RESERVATION CONFLICT, TASK SET FULL).
  const bool carriedOut = sent && !HasSenseData(buffer_) && request.ScsiStatus == kScsiStatusGood;
  transferred_ = carriedOut ? std::min(request.DataTransferLength, length) : 0;
  return carriedOut ? kCommandSucceeded : kCommandFailed;
}

CommandStatus CScsiPassThrough::ExecuteAspiCommand(int direction, void* buffer,
                                                   std::uint32_t length) {
  if (aspiLibrary_ == nullptr) return kCommandFailed;  // no library: nothing can be sent
  const ScsiPassThroughDirect& request = buffer_.request;
  const AspiRequest aspi{boundDevice_->HostAdapter,
                         boundDevice_->TargetId,
                         boundDevice_->Lun,
                         direction == kDataFromDrive ? kSrbDirIn : kSrbDirOut,
                         request.Cdb,
                         request.CdbLength,
                         buffer,
                         length};
  return SendAspiRequest(*aspiLibrary_, aspi);
}
