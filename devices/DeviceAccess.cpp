// The start-up choice of the way to the drives.
#include "app/DvdInfoDlg.h"

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
