// From the drive box's current line to its device record.
#include "app/DvdInfoDlg.h"
#include "framework/FileException.h"
#include "framework/Format.h"

CDeviceInfo* CDvdInfoDlg::GetSelectedDevice() {
  try {
    int index = m_driveBox.GetCurSel();
    const int lines = m_driveBox.GetCount();
    if (lines <= 0) {
      MessageBox("No Devices found");
      return nullptr;
    }
    if (index < 0 || index > lines - 1) {
      // The first line, and the box shows it: commands go only to the drive shown.
      index = 0;
      if (m_driveBox.SetCurSel(index) != index) return nullptr;
    }
    if (!m_deviceList.HasIndex(index)) {
      MessageBox("Error selecting device");
      return nullptr;
    }
    if (CDeviceInfo* device = m_deviceList.GetAt(index)) return device;
    MessageBox("Selected device was not found,  list will be reset");
    m_driveBox.SetCurSel(0);
    UpdateData(false);
    return m_deviceList.GetAt(0);
  } catch (CFileException* exception) {
    MessageBox(FormatString("EXCEPTION OCCURRED IN CDvdInfoDlg::GetSelectedDevice() -  Exception %d",
                            ExceptionNumber(exception)));
    exception->Delete();
    return nullptr;
  }
}
