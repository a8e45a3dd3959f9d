#include "devices/BusScan.h"

#include <cstring>
#include <memory>

#include "devices/DeviceList.h"
#include "devices/Inquiry.h"
#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"

namespace {

constexpr int kTargetsPerAdapter = 15;
constexpr int kLunsPerTarget = 15;

// Questions one address; its filled record when it answered, else null.
std::unique_ptr<CDeviceInfo> QuestionAddress(const CAspiLibrary& library, int adapter, int target,
                                             int lun) {
  auto device = std::make_unique<CDeviceInfo>();
  device->HostAdapter = static_cast<std::uint8_t>(adapter);
  device->TargetId = static_cast<std::uint8_t>(target);
  device->Lun = static_cast<std::uint8_t>(lun);
  std::uint8_t response[kInquiryLength] = {};
  std::uint8_t cdb[16] = {};
  std::memcpy(cdb, kInquiryCdb, kInquiryCdbLength);
  if (ScanAspiCommand(library, cdb, kInquiryCdbLength, kSrbDirIn, response, kInquiryLength,
                      *device) != kCommandSucceeded) {
    return nullptr;
  }
  FillFromInquiry(*device, response, PlatformUpperCase);
  return device;
}

}  // namespace

bool AspiReady(std::uint32_t supportInfo) { return ((supportInfo >> 8) & 0xFF) == kSsComp; }

CommandStatus ScanAspiCommand(const CAspiLibrary& library, const std::uint8_t* cdb,
                              std::uint8_t cdbLength, std::uint8_t directionFlags, void* buffer,
                              std::uint32_t length, const CDeviceInfo& device) {
  const AspiRequest request{device.HostAdapter, device.TargetId, device.Lun, directionFlags,
                            cdb,                cdbLength,       buffer,     length};
  return SendAspiRequest(library, request);
}

BusScanResult ScanAspiBuses(const CAspiLibrary& library, DeviceList& list) {
  const std::uint32_t supportInfo = library.GetSupportInfo();
  if (!AspiReady(supportInfo)) return BusScanResult::kLibraryNotReady;
  const int adapters = static_cast<int>(supportInfo & 0xFF);
  if (adapters == 0) return BusScanResult::kNoAdapters;
  for (int adapter = 0; adapter < adapters; ++adapter) {
    for (int target = 0; target < kTargetsPerAdapter; ++target) {
      for (int lun = 0; lun < kLunsPerTarget; ++lun) {
        std::unique_ptr<CDeviceInfo> device = QuestionAddress(library, adapter, target, lun);
        if (device != nullptr && IsListedType(device->PeripheralType)) list.AddHead(std::move(device));
      }
    }
  }
  return BusScanResult::kScanned;
}
