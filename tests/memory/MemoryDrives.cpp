// Drives behind drive letters: the in-memory pass-through.
#include <algorithm>
#include <cstring>

#include "tests/memory/MemoryInternal.h"
#include "tests/memory/MemoryDrives.h"
#include "scsi/SptiRequestBlock.h"

namespace memory {

// --- Set-up --------------------------------------------------------------------

sim::DriveModel& MemoryDrives::AddDrive(char letter, sim::DriveConfig config) {
  DriveSlot& slot = drives_[letter];
  slot.model = std::make_unique<sim::DriveModel>(std::move(config));
  slot.openable = true;
  driveRoots_.push_back(std::string(1, letter) + ":\\");
  return *slot.model;
}

void MemoryDrives::AddUnopenableDrive(char letter) {
  drives_[letter].openable = false;
  driveRoots_.push_back(std::string(1, letter) + ":\\");
}

sim::DriveModel* MemoryDrives::Drive(char letter) {
  auto found = drives_.find(letter);
  return found == drives_.end() ? nullptr : found->second.model.get();
}

// --- The pass-through -------------------------------------------------------------

std::uint32_t MemoryDrives::GetLogicalDriveStrings(std::uint32_t length, char* buffer) {
  if (auto answer = Fault("GetLogicalDriveStrings", 0)) return AnswerAs<std::uint32_t>(*answer);
  driveStringsLengths_.push_back(length);
  Record("GetLogicalDriveStrings");
  std::string all;
  for (const std::string& root : driveRoots_) {
    all += root;
    all += '\0';
  }
  if (all.empty()) return 0;
  const auto needed = static_cast<std::uint32_t>(all.size() + 1);
  if (needed > length) return needed;  // too small: nothing is written
  std::memcpy(buffer, all.data(), all.size());
  buffer[all.size()] = '\0';
  return static_cast<std::uint32_t>(all.size());
}

DeviceHandle MemoryDrives::CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                                      std::uint32_t disposition, std::uint32_t flags) {
  if (auto answer = Fault("CreateFile", Handle(InvalidDeviceHandle()))) return AnswerAs<DeviceHandle>(*answer);
  DeviceEvent event;
  event.kind = DeviceEvent::OpenFailed;
  event.path = path;
  event.access = access;
  event.share = share;
  event.disposition = disposition;
  event.flags = flags;
  const std::string name(path);
  char letter = 0;
  if (name.size() == 6 && name.compare(0, 4, "\\\\.\\") == 0 && name[5] == ':') letter = name[4];
  auto slot = drives_.find(letter);
  if (letter == 0 || slot == drives_.end() || !slot->second.openable) {
    SetLastError(kErrorFileNotFound);
    deviceEvents_.push_back(event);
    return InvalidDeviceHandle();
  }
  DeviceHandle handle = NewHandle();
  openDevices_[handle] = letter;
  event.kind = DeviceEvent::Open;
  event.handle = handle;
  event.drive = letter;
  deviceEvents_.push_back(event);
  return handle;
}

bool MemoryDrives::DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in,
                                   std::uint32_t inLength, void* out, std::uint32_t outLength,
                                   std::uint32_t* bytesReturned) {
  if (auto answer = Fault("DeviceIoControl", 0)) return AnswerAs<bool>(*answer);
  DeviceEvent event;
  event.kind = DeviceEvent::Io;
  event.handle = device;
  event.code = code;
  event.inLength = inLength;
  event.outLength = outLength;
  auto open = openDevices_.find(device);
  if (open == openDevices_.end()) {
    SetLastError(kErrorInvalidHandle);
    deviceEvents_.push_back(event);
    return false;
  }
  event.drive = open->second;
  // The request is read from the output buffer, as Windows does.
  if (code != kIoctlScsiPassThroughDirect || inLength < sizeof(ScsiPassThroughDirect) ||
      outLength < inLength || in == nullptr || out == nullptr) {
    deviceEvents_.push_back(event);
    return false;
  }
  auto* request = static_cast<ScsiPassThroughDirect*>(out);
  event.cdb.assign(request->Cdb, request->Cdb + std::min<int>(request->CdbLength, 16));
  event.dataIn = request->DataIn;
  event.dataLength = request->DataTransferLength;
  event.timeOut = request->TimeOutValue;
  event.senseInfoLength = request->SenseInfoLength;
  event.blockLength = request->Length;
  event.senseInfoOffset = request->SenseInfoOffset;
  event.dataBuffer = request->DataBuffer;
  const bool refused =
      std::find(refusedDrives_.begin(), refusedDrives_.end(), event.drive) != refusedDrives_.end();
  sim::DriveModel* model = Drive(event.drive);
  if (refused || model == nullptr || request->CdbLength == 0 || request->CdbLength > 16) {
    deviceEvents_.push_back(event);
    return false;
  }
  const sim::Direction direction = request->DataIn == kScsiIoctlDataIn   ? sim::Direction::FromDrive
                                   : request->DataIn == kScsiIoctlDataOut ? sim::Direction::ToDrive
                                                                          : sim::Direction::None;
  const sim::CommandResult result =
      model->Execute(request->Cdb, request->CdbLength, direction,
                     static_cast<std::uint8_t*>(request->DataBuffer), request->DataTransferLength);
  request->ScsiStatus = result.status;
  auto bare = bareStatus_.find(event.drive);
  if (!result.checkCondition && bare != bareStatus_.end()) request->ScsiStatus = bare->second;
  request->DataTransferLength = result.transferred;
  if (result.checkCondition && request->SenseInfoOffset < outLength) {
    const std::size_t room = outLength - request->SenseInfoOffset;
    auto* sense = static_cast<std::uint8_t*>(out) + request->SenseInfoOffset;
    const std::size_t length = std::min<std::size_t>(room, request->SenseInfoLength);
    sim::DriveModel::WriteSense(result.sense, sense, length);
    auto responseCode = senseCodes_.find(event.drive);
    if (responseCode != senseCodes_.end() && length > 0) sense[0] = responseCode->second;
  }
  if (bytesReturned != nullptr) *bytesReturned = outLength;
  event.succeeded = true;
  deviceEvents_.push_back(event);
  return true;
}

bool MemoryDrives::CloseDevice(void* handle) {
  auto open = openDevices_.find(handle);
  DeviceEvent event;
  event.kind = DeviceEvent::Close;
  event.handle = handle;
  if (open == openDevices_.end()) {
    deviceEvents_.push_back(event);
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  event.drive = open->second;
  event.succeeded = true;
  openDevices_.erase(open);
  deviceEvents_.push_back(event);
  return true;
}

}  // namespace memory
