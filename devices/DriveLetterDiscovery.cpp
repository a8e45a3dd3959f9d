#include "devices/DriveLetterDiscovery.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "devices/DeviceList.h"
#include "devices/Inquiry.h"
#include "platform/Platform.h"
#include "scsi/ScsiPassThrough.h"

namespace {

// Room for all 26 roots of 4 bytes ("D:\" and its zero) and the final zero.
constexpr std::uint32_t kDriveStringsLength = 105;
constexpr std::size_t kDriveEntrySize = 4;
constexpr char kUpperCaseMask = static_cast<char>(0xDF);

// Opens and questions one drive; its filled record when it answered, else
// null. The record stays bound to the channel only when it is returned.
std::unique_ptr<CDeviceInfo> QuestionDrive(CScsiPassThrough& channel, const std::string& name,
                                           int answered) {
  auto device = std::make_unique<CDeviceInfo>();
  channel.OpenDrive(name.c_str());  // a drive that cannot be opened fails its INQUIRY
  channel.BindDevice(device.get());
  std::uint8_t response[kInquiryLength];
  if (SendInquiry(channel, response) != kCommandSucceeded) {
    channel.BindDevice(nullptr);
    return nullptr;
  }
  std::memcpy(device->DriveName, name.c_str(), sizeof device->DriveName);
  device->HostAdapter = static_cast<std::uint8_t>(answered);
  FillFromInquiry(*device, response, PlatformUpperCase);
  return device;
}

void WalkDrives(CScsiPassThrough& channel, DeviceList& list, const std::vector<std::string>& names) {
  int answered = 0;  // every drive that answered the INQUIRY, listed or not
  for (const std::string& name : names) {
    std::unique_ptr<CDeviceInfo> device = QuestionDrive(channel, name, answered);
    if (device == nullptr) continue;
    ++answered;
    if (IsListedType(device->PeripheralType)) {
      list.AddTail(std::move(device));
    } else {
      channel.BindDevice(nullptr);
    }
  }
}

}  // namespace

std::vector<std::string> DriveNamesOf(const char* roots, std::size_t length) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at + kDriveEntrySize <= length && roots[at] != '\0';
       at += kDriveEntrySize) {
    const char letter = static_cast<char>(roots[at] & kUpperCaseMask);
    if (letter == 'A' || letter == 'B') continue;
    names.push_back(std::string{letter, roots[at + 1]});  // "D:\" becomes "D:"
  }
  return names;
}

bool WalkDriveLetters(DeviceSystem& devices, CScsiPassThrough& channel, DeviceList& list) {
  char roots[kDriveStringsLength] = {};
  if (devices.GetLogicalDriveStrings(kDriveStringsLength, roots) == 0) return false;
  try {
    WalkDrives(channel, list, DriveNamesOf(roots, kDriveStringsLength));
  } catch (...) {
    channel.CloseDrive();
    // The record being questioned is gone with the walk; keep no pointer to it.
    if (list.Find(channel.BoundDevice()) == nullptr) channel.BindDevice(nullptr);
    throw;
  }
  return true;
}
