// Finding drives by scanning the buses of the ASPI library.
#include <memory>

#include "app/DvdInfoDlg.h"
#include "devices/Inquiry.h"
#include "framework/Format.h"
#include "scsi/AspiSrb.h"

namespace {
constexpr int kTargetsPerAdapter = 15;
constexpr int kLunsPerTarget = 15;
constexpr std::uint8_t kInquiryCdbLength = 6;

// The ASPI library is ready when the status byte of its support info is SS_COMP.
bool AspiReady(std::uint32_t supportInfo) { return ((supportInfo >> 8) & 0xFF) == kSsComp; }
}  // namespace

bool CDvdInfoDlg::InitAspi() {
  if (m_aspiLibrary.Load() != 0) return false;
  if (!AspiReady(m_aspiLibrary.GetSupportInfo())) return false;
  if (!EnumerateAspiDevices()) return false;
  m_channel.BindAspiLibrary(&m_aspiLibrary);
  return true;
}

bool CDvdInfoDlg::EnumerateAspiDevices() {
  const std::uint32_t supportInfo = m_aspiLibrary.GetSupportInfo();
  if (!AspiReady(supportInfo)) return false;
  const int adapters = static_cast<int>(supportInfo & 0xFF);
  if (adapters == 0) return true;

  for (int adapter = 0; adapter < adapters; ++adapter) {
    for (int target = 0; target < kTargetsPerAdapter; ++target) {
      for (int lun = 0; lun < kLunsPerTarget; ++lun) {
        auto device = std::make_unique<CDeviceInfo>();
        device->HostAdapter = static_cast<std::uint8_t>(adapter);
        device->TargetId = static_cast<std::uint8_t>(target);
        device->Lun = static_cast<std::uint8_t>(lun);
        std::uint8_t response[kInquiryLength] = {};
        std::uint8_t cdb[16] = {};
        cdb[0] = kInquiryOperation;
        cdb[4] = kInquiryLength;
        cdb[5] = 0x00;
        if (ScanAspiCommand(cdb, kInquiryCdbLength, kSrbDirIn, response, kInquiryLength, *device) !=
            kCommandSucceeded) {
          continue;
        }
        FillFromInquiry(*device, response);
        if (IsListedType(device->PeripheralType)) m_deviceList.AddHead(std::move(device));
      }
    }
  }

  ListRecordsInDriveBox([](const CDeviceInfo& device) {
    return FormatString("%u:%u:%u  %6s %s", unsigned{device.HostAdapter}, unsigned{device.TargetId},
                        unsigned{device.Lun}, DeviceTypeName(device.PeripheralType),
                        device.VendorProduct.c_str());
  });
  m_driveBox.SetCurSel(0);
  UpdateData(false);
  return !m_deviceList.IsEmpty();
}

CommandStatus CDvdInfoDlg::ScanAspiCommand(const std::uint8_t* cdb, std::uint8_t cdbLength,
                                           std::uint8_t directionFlags, void* buffer,
                                           std::uint32_t length, const CDeviceInfo& device) {
  const AspiRequest request{device.HostAdapter, device.TargetId, device.Lun, directionFlags,
                            cdb,                cdbLength,       buffer,     length};
  return SendAspiRequest(m_aspiLibrary, request);
}
