// The main window's way to the drives: the start-up choice, both
// discoveries and the drive box's selection.
#include "app/DvdInfoDlg.h"
#include "devices/BusScan.h"
#include "devices/DeviceSelection.h"
#include "devices/DriveLetterDiscovery.h"
#include "framework/FileException.h"
#include "platform/Format.h"

bool CDvdInfoDlg::InitDeviceAccess() {
  const char* failure = nullptr;
  if (UsesSpti(m_platformClass)) {
    if (EnumerateSptiDrives()) return true;
    if (InitAspi()) return true;
    failure = "Aspi & SPTI init failed For SPTI, your login needs administrator rights.";
  } else {
    if (InitAspi()) return true;
    failure = "Aspi init failed Uninstall ASPI and install ASPI V4.60 (not later)";
  }
  MessageBox(failure);
  EndDialog(1);
  return false;
}

bool CDvdInfoDlg::EnumerateSptiDrives() {
  try {
    const bool walked = WalkDriveLetters(GetPlatform(), m_channel, m_deviceList);
    // Each record was selected, as it was bound, for its own question.
    m_selectedDevice = m_deviceList.Find(m_channel.BoundDevice());
    return walked && FillDriveBox(DriveLetterLine) > 0;
  } catch (CFileException* exception) {
    m_selectedDevice = m_deviceList.Find(m_channel.BoundDevice());
    MessageBox(FormatString("Fatal Error In SPTI, try changing to ASPI, Exception %d",
                            ExceptionNumber(exception)));
    exception->Delete();
    return false;
  }
}

bool CDvdInfoDlg::InitAspi() {
  if (m_aspiLibrary.Load() != 0) return false;
  if (!AspiReady(m_aspiLibrary.GetSupportInfo())) return false;
  if (!EnumerateAspiDevices()) return false;
  m_channel.BindAspiLibrary(&m_aspiLibrary);
  return true;
}

bool CDvdInfoDlg::EnumerateAspiDevices() {
  switch (ScanAspiBuses(m_aspiLibrary, m_deviceList)) {
    case BusScanResult::kLibraryNotReady: return false;
    case BusScanResult::kNoAdapters: return true;
    case BusScanResult::kScanned: break;
  }
  FillDriveBox(BusAddressLine);
  return !m_deviceList.IsEmpty();
}

CommandStatus CDvdInfoDlg::ScanAspiCommand(const std::uint8_t* cdb, std::uint8_t cdbLength,
                                           std::uint8_t directionFlags, void* buffer,
                                           std::uint32_t length, const CDeviceInfo& device) {
  return ::ScanAspiCommand(m_aspiLibrary, cdb, cdbLength, directionFlags, buffer, length, device);
}

int CDvdInfoDlg::FillDriveBox(DriveBoxLineFormat format) {
  m_driveBox.ResetContent();
  int lines = 0;
  while (lines < m_deviceList.GetCount()) {
    CDeviceInfo* device = m_deviceList.GetAt(lines);
    if (m_driveBox.AddString(format(*device)) >= 0) {
      ++lines;
      continue;
    }
    // The box could not take the line: the record goes, so that line i
    // still names element i.
    m_deviceList.RemoveAt(lines);
    DiscardRecord(device);
  }
  m_driveBox.SetCurSel(0);
  UpdateData(false);
  return lines;
}

void CDvdInfoDlg::DiscardRecord(CDeviceInfo* device) {
  if (m_selectedDevice == device) m_selectedDevice = nullptr;
  if (m_channel.BoundDevice() == device) m_channel.BindDevice(nullptr);
  delete device;
}

CDeviceInfo* CDvdInfoDlg::GetSelectedDevice() {
  try {
    const int line = m_driveBox.GetCurSel();
    const int lines = m_driveBox.GetCount();
    const DeviceSelection selection = ResolveSelection(m_deviceList, line, lines);
    switch (selection.outcome) {
      case DeviceSelection::kFound:
        // Commands go only to the drive the box shows: when line 0 cannot be
        // shown, there is no selection.
        if (selection.fellBackToFirstLine && m_driveBox.SetCurSel(0) != 0) return nullptr;
        return selection.device;
      case DeviceSelection::kNoLines: MessageBox("No Devices found"); return nullptr;
      case DeviceSelection::kBeyondList: MessageBox("Error selecting device"); return nullptr;
      case DeviceSelection::kRecordMissing: break;
    }
    MessageBox("Selected device was not found,  list will be reset");
    m_driveBox.SetCurSel(0);
    UpdateData(false);
    return selection.device;
  } catch (CFileException* exception) {
    MessageBox(FormatString("EXCEPTION OCCURRED IN CDvdInfoDlg::GetSelectedDevice() -  Exception %d",
                            ExceptionNumber(exception)));
    exception->Delete();
    return nullptr;
  }
}
