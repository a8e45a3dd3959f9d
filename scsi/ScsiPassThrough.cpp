#include "scsi/ScsiPassThrough.h"

#include <cstring>

CScsiPassThrough::CScsiPassThrough(ScsiRoute route, DeviceSystem& devices)
    : route_(route), passThrough_(&devices) {
  std::memset(&buffer_, 0, sizeof buffer_);
}

CScsiPassThrough::CScsiPassThrough(ScsiTransport& transport)
    : route_(ScsiRoute::PassThrough), passThrough_(nullptr), given_(&transport) {
  std::memset(&buffer_, 0, sizeof buffer_);
}

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
  if (route_ != ScsiRoute::PassThrough || given_ != nullptr) return 1;
  return passThrough_.Open(driveName) ? 1 : 0;
}

void CScsiPassThrough::CloseDrive() { passThrough_.Close(); }

void CScsiPassThrough::BindDevice(ScsiAddress* device) {
  boundDevice_ = device;
  passThrough_.SetDevice(device);
  aspi_.Bind(aspiLibrary_, device);
}

void CScsiPassThrough::BindAspiLibrary(CAspiLibrary* library) {
  aspiLibrary_ = library;
  aspi_.Bind(library, boundDevice_);
}

ScsiTransport& CScsiPassThrough::Transport() {
  if (given_ != nullptr) return *given_;
  // A device that the bus scan found has no drive letter to open: on the NT
  // family it is reached through the ASPI library that found it.
  const bool scanned = aspiLibrary_ != nullptr && boundDevice_ != nullptr &&
                       boundDevice_->DriveName[0] == '\0';
  if (route_ == ScsiRoute::Aspi || scanned) return aspi_;
  return passThrough_;
}

ScsiCommand CScsiPassThrough::BuiltCommand(int direction, void* buffer, std::uint32_t length) {
  ScsiPassThroughDirect& request = buffer_.request;
  request.DataBuffer = buffer;
  request.DataTransferLength = length;
  request.DataIn = direction == kDataFromDrive ? kScsiIoctlDataIn : kScsiIoctlDataOut;
  ScsiCommand command;
  command.cdb = request.Cdb;
  command.cdbLength = request.CdbLength;
  command.fromDevice = direction == kDataFromDrive;
  command.data = buffer;
  command.length = length;
  command.timeOutSeconds = kCommandTimeOutSeconds;
  return command;
}

// The sense area and the status tell the same facts on every route.
void CScsiPassThrough::KeepOutcome(const ScsiOutcome& outcome) {
  outcome_ = outcome;
  buffer_.request.ScsiStatus = outcome.status;
  buffer_.request.DataTransferLength = outcome.transferred;
  std::memcpy(buffer_.sense, outcome.sense, sizeof buffer_.sense);
  transferred_ = outcome.routeStatus == kCommandSucceeded ? outcome.transferred : 0;
}

CommandStatus CScsiPassThrough::ExecuteCommand(int direction, void* buffer, std::uint32_t length) {
  transferred_ = 0;
  const ScsiCommand command = BuiltCommand(direction, buffer, length);
  KeepOutcome(Transport().Execute(command));
  return outcome_.routeStatus;
}
