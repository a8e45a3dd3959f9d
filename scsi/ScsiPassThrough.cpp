#include "scsi/ScsiPassThrough.h"

#include <cstring>

#include "scsi/WindowsRoutes.h"

CScsiPassThrough::CScsiPassThrough(ScsiRoute route, DeviceSystem& devices)
    : routes_(std::make_unique<WindowsRoutes>(route, devices)), transport_(*routes_) {
  command_.cdb = cdb_;
}

CScsiPassThrough::CScsiPassThrough(ScsiTransport& transport) : transport_(transport) {
  command_.cdb = cdb_;
}

CScsiPassThrough::~CScsiPassThrough() = default;

std::uint8_t& CScsiPassThrough::CommandByte(int index) {
  if (index < 0 || index >= kCdbSize) {
    outOfRangeByte_ = 0;
    return outOfRangeByte_;
  }
  if (index == 0) {
    // A new command: nothing of the previous one, its outcome included, survives.
    std::memset(cdb_, 0, sizeof cdb_);
    command_ = ScsiCommand();
    command_.cdb = cdb_;
    outcome_ = ScsiOutcome();
  }
  command_.cdbLength = static_cast<std::uint8_t>(index + 1);
  return cdb_[index];
}

int CScsiPassThrough::OpenDrive(const char* driveName) {
  return routes_ != nullptr ? routes_->OpenDrive(driveName) : 1;
}

void CScsiPassThrough::CloseDrive() {
  if (routes_ != nullptr) routes_->CloseDrive();
}

bool CScsiPassThrough::IsDriveOpen() const { return routes_ != nullptr && routes_->IsDriveOpen(); }

void CScsiPassThrough::BindDevice(ScsiAddress* device) {
  boundDevice_ = device;
  if (routes_ != nullptr) routes_->BindDevice(device);
}

void CScsiPassThrough::BindAspiLibrary(CAspiLibrary* library) {
  aspiLibrary_ = library;
  if (routes_ != nullptr) routes_->BindAspiLibrary(library);
}

CommandStatus CScsiPassThrough::ExecuteCommand(int direction, void* buffer, std::uint32_t length) {
  command_.fromDevice = direction == kDataFromDrive;
  command_.data = buffer;
  command_.length = length;
  outcome_ = transport_.Execute(command_);
  return outcome_.commandStatus;
}
