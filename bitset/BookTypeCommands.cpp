// The drive's vendor commands that read and change its two book types.
#include <cstdint>

#include "app/DvdInfoDlg.h"
#include "bitset/BookTypeCommands.h"

namespace {
constexpr std::uint8_t kVendorOperation = 0xF3;
constexpr std::uint8_t kReadSettingsFunction = 0x0F;
constexpr std::uint8_t kWriteSettingFunction = 0x0E;
constexpr std::uint32_t kSettingsResponseLength = 128;
constexpr std::size_t kSettingsByte = 6;

// Firmware that cannot change its book type.
bool FirmwareRefused(const std::string& revision) {
  return revision == "BX02" || revision == "BX01";
}
}  // namespace

std::uint8_t PlusRValueByte(int choice) { return choice == 0 ? 0xD0 : 0xD1; }
std::uint8_t PlusRwValueByte(int choice) { return choice == 0 ? 0xE0 : 0xE2; }

int CDvdInfoDlg::QueryBookSettings() {
  std::uint8_t response[kSettingsResponseLength] = {};
  m_channel.CommandByte(0) = kVendorOperation;
  m_channel.CommandByte(1) = kReadSettingsFunction;
  m_channel.CommandByte(2) = 0x02;
  m_channel.CommandByte(6) = 0x07;
  m_channel.CommandByte(8) = 0x80;  // bytes 7 and 8: the 128-byte response
  m_channel.CommandByte(11) = 0x00;  // the CDB is 12 bytes
  if (m_channel.ExecuteCommand(kDataFromDrive, response, kSettingsResponseLength) !=
      kCommandSucceeded) {
    return -1;
  }
  return response[kSettingsByte];
}

// BN_CLICKED of "Set +R Book Value".
void CDvdInfoDlg::OnSetPlusRBookType() {
  UpdateData(true);
  if (m_plusRChoice < 0) return;  // no button reads as checked: the choice is unknown
  SetBookType(PlusRValueByte(m_plusRChoice));
}

// BN_CLICKED of "Set +RW Book Value".
void CDvdInfoDlg::OnSetPlusRwBookType() {
  UpdateData(true);
  if (m_plusRwChoice < 0) return;  // no button reads as checked: the choice is unknown
  SetBookType(PlusRwValueByte(m_plusRwChoice));
}

void CDvdInfoDlg::SetBookType(std::uint8_t valueByte) {
  if (m_selectedDevice != nullptr && FirmwareRefused(m_selectedDevice->Revision)) {
    MessageBox("Wrong firmware revision,  you must upgrade to at least BX03 firmware");
    return;
  }
  if (MessageBox("Are you sure you want to change the bitsetting?", "Are you sure?",
                 Mb::YesNo | Mb::IconQuestion) != Id::Yes) {
    return;  // No, or no answer at all: a box that failed to show is no consent
  }
  m_channel.CommandByte(0) = kVendorOperation;
  m_channel.CommandByte(1) = kWriteSettingFunction;
  m_channel.CommandByte(2) = 0x70;
  m_channel.CommandByte(3) = valueByte;
  m_channel.CommandByte(11) = 0x00;  // the CDB is 12 bytes
  if (m_channel.ExecuteCommand(kDataToDriveOrNone, nullptr, 0) != kCommandSucceeded) {
    MessageBox("Error. May not be a QSI / Nu-Tek drive or wrong firmware");
    EndDialog(1);
  }
  RefreshSettingsDisplay();
}
