// Finding drives by their drive letters, through the pass-through.
#include <cstring>
#include <memory>

#include "app/DvdInfoDlg.h"
#include "devices/Inquiry.h"
#include "framework/FileException.h"
#include "framework/Format.h"

namespace {
// Room for all 26 roots of 4 bytes ("D:\" and its zero) and the final zero.
constexpr std::uint32_t kDriveStringsLength = 105;
constexpr std::size_t kDriveEntrySize = 4;
constexpr char kUpperCaseMask = static_cast<char>(0xDF);
}  // namespace

bool CDvdInfoDlg::EnumerateSptiDrives() {
  try {
    char drives[kDriveStringsLength] = {};
    if (GetPlatform().GetLogicalDriveStrings(kDriveStringsLength, drives) == 0) return false;

    int answered = 0;  // every drive that answered the INQUIRY, listed or not
    for (std::size_t at = 0; at + kDriveEntrySize <= kDriveStringsLength && drives[at] != '\0';
         at += kDriveEntrySize) {
      char* entry = drives + at;
      entry[0] = static_cast<char>(entry[0] & kUpperCaseMask);
      entry[2] = '\0';  // "D:\" becomes "D:"
      if (entry[0] == 'A' || entry[0] == 'B') continue;

      auto device = std::make_unique<CDeviceInfo>();
      m_channel.OpenDrive(entry);  // a drive that cannot be opened fails its INQUIRY
      m_selectedDevice = device.get();
      m_channel.BindDevice(device.get());

      std::uint8_t response[kInquiryLength] = {};
      m_channel.CommandByte(0) = kInquiryOperation;
      m_channel.CommandByte(4) = kInquiryLength;
      m_channel.CommandByte(5) = 0x00;
      if (m_channel.ExecuteCommand(kDataFromDrive, response, kInquiryLength) != kCommandSucceeded) {
        DiscardRecord(device.release());
        continue;
      }
      std::memcpy(device->DriveName, entry, sizeof device->DriveName);
      device->HostAdapter = static_cast<std::uint8_t>(answered);
      FillFromInquiry(*device, response);
      if (IsListedType(device->PeripheralType)) {
        m_deviceList.AddTail(std::move(device));
      } else {
        DiscardRecord(device.release());
      }
      ++answered;
    }

    const int lines = ListRecordsInDriveBox([](const CDeviceInfo& device) {
      return FormatString("%s (%2s)", device.VendorProduct.c_str(), device.DriveName);
    });
    m_driveBox.SetCurSel(0);
    UpdateData(false);
    return lines > 0;
  } catch (CFileException* exception) {
    m_channel.CloseDrive();
    // The record being questioned is gone with the walk; keep no pointer to it.
    ForgetUnlistedBindings();
    MessageBox(FormatString("Fatal Error In SPTI, try changing to ASPI, Exception %d",
                            ExceptionNumber(exception)));
    exception->Delete();
    return false;
  }
}

void CDvdInfoDlg::DiscardRecord(CDeviceInfo* device) {
  if (m_selectedDevice == device) m_selectedDevice = nullptr;
  if (m_channel.BoundDevice() == device) m_channel.BindDevice(nullptr);
  delete device;
}

void CDvdInfoDlg::ForgetUnlistedBindings() {
  bool selectedListed = false;
  bool boundListed = false;
  for (const CDeviceInfo* listed : m_deviceList) {
    selectedListed = selectedListed || listed == m_selectedDevice;
    boundListed = boundListed || listed == m_channel.BoundDevice();
  }
  if (!selectedListed) m_selectedDevice = nullptr;
  if (!boundListed) m_channel.BindDevice(nullptr);
}
