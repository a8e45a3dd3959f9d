// The main window's book types: reading and showing the drive's settings,
// the drive change and the two set buttons.
#include "app/DvdInfoDlg.h"
#include "bitset/BookSettingsDecoding.h"
#include "bitset/BookTypeCommands.h"
#include "bitset/BookTypeMessages.h"
#include "bitset/FirmwareGate.h"

int CDvdInfoDlg::QueryBookSettings() { return ::QueryBookSettings(m_channel); }

// BN_CLICKED of "Set +R Book Value".
void CDvdInfoDlg::OnSetPlusRBookType() {
  UpdateData(true);
  if (m_plusRChoice < 0) return;  // no button reads as checked: the choice is unknown
  ConfirmAndSetBookType(PlusRValueByte(m_plusRChoice));
}

// BN_CLICKED of "Set +RW Book Value".
void CDvdInfoDlg::OnSetPlusRwBookType() {
  UpdateData(true);
  if (m_plusRwChoice < 0) return;  // no button reads as checked: the choice is unknown
  ConfirmAndSetBookType(PlusRwValueByte(m_plusRwChoice));
}

void CDvdInfoDlg::ConfirmAndSetBookType(std::uint8_t valueByte) {
  if (m_selectedDevice != nullptr && FirmwareRefused(m_selectedDevice->Revision)) {
    MessageBox(kFirmwareRefusedMessage);
    return;
  }
  if (MessageBox(kConfirmChangeQuestion, "Are you sure?",
                 Mb::YesNo | Mb::IconQuestion) != Id::Yes) {
    return;  // No, or no answer at all: a box that failed to show is no consent
  }
  if (SetBookType(m_channel, valueByte) != kCommandSucceeded) {
    MessageBox(kCommandFailedMessage);
    EndDialog(1);
  }
  RefreshSettingsDisplay();
}

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
  MessageBox(kNotQsiDriveMessage);
  RefreshSettingsDisplay();
}
