// The drive box's lines, one for each listed record, in list order.
#include "app/DvdInfoDlg.h"

int CDvdInfoDlg::ListRecordsInDriveBox(
    const std::function<std::string(const CDeviceInfo&)>& lineOf) {
  m_driveBox.ResetContent();
  int lines = 0;
  while (lines < m_deviceList.GetCount()) {
    CDeviceInfo* device = m_deviceList.GetAt(lines);
    if (m_driveBox.AddString(lineOf(*device)) >= 0) {
      ++lines;
      continue;
    }
    // The box could not take the line: the record goes, as one the walk does not keep.
    m_deviceList.RemoveAt(lines);
    DiscardRecord(device);
  }
  return lines;
}
