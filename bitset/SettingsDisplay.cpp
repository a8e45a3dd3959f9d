// Showing the drive's settings, and the change of drive.
#include "app/DvdInfoDlg.h"
#include "bitset/BookSettingsDecoding.h"

void CDvdInfoDlg::RefreshSettingsDisplay() {
  const BookTypeTexts texts = DecodeBookSettings(QueryBookSettings());
  m_plusRwText = texts.plusRw;
  m_plusRText = texts.plusR;
  // Also puts the user's choices back into the radio groups: the drive's
  // settings never move them.
  UpdateData(false);
}

// CBN_SELCHANGE of the drive box, and once at start-up.
void CDvdInfoDlg::OnSelectDevice() {
  m_selectedDevice = GetSelectedDevice();
  if (m_selectedDevice == nullptr) {
    MessageBox("Fatal Error Getting Selected Device");
    OnCancel();
    EndDialog(1);
    return;
  }
  m_channel.BindDevice(m_selectedDevice);
  if (QueryBookSettings() != -1) {
    m_setPlusRwButton.EnableWindow(true);
    m_setPlusRButton.EnableWindow(true);
    RefreshSettingsDisplay();
    return;
  }
  // The first drive that does not answer is passed over silently.
  if (m_firstSelection == 1) {
    m_firstSelection = 0;
    return;
  }
  m_setPlusRwButton.EnableWindow(false);
  m_setPlusRButton.EnableWindow(false);
  MessageBox("Not a QSI / Nu-tek Drive or function unsupported");
  RefreshSettingsDisplay();
}
