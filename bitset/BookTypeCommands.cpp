#include "bitset/BookTypeCommands.h"

#include <cstddef>

#include "scsi/ScsiPassThrough.h"

namespace {
constexpr std::uint8_t kVendorOperation = 0xF3;
constexpr std::uint8_t kReadSettingsFunction = 0x0F;
constexpr std::uint8_t kWriteSettingFunction = 0x0E;
constexpr std::uint32_t kSettingsResponseLength = 128;
constexpr std::size_t kSettingsByte = 6;
}  // namespace

std::uint8_t PlusRValueByte(int choice) { return choice == 0 ? 0xD0 : 0xD1; }
std::uint8_t PlusRwValueByte(int choice) { return choice == 0 ? 0xE0 : 0xE2; }

int QueryBookSettings(CScsiPassThrough& channel) {
  std::uint8_t response[kSettingsResponseLength] = {};
  channel.CommandByte(0) = kVendorOperation;
  channel.CommandByte(1) = kReadSettingsFunction;
  channel.CommandByte(2) = 0x02;
  channel.CommandByte(6) = 0x07;
  channel.CommandByte(8) = 0x80;   // bytes 7 and 8: the 128-byte response
  channel.CommandByte(11) = 0x00;  // the CDB is 12 bytes
  if (channel.ExecuteCommand(kDataFromDrive, response, kSettingsResponseLength) !=
      kCommandSucceeded) {
    return -1;
  }
  // A response that ends before the settings byte reports no setting.
  if (channel.BytesTransferred() <= kSettingsByte) return -1;
  return response[kSettingsByte];
}

CommandStatus SetBookType(CScsiPassThrough& channel, std::uint8_t valueByte) {
  channel.CommandByte(0) = kVendorOperation;
  channel.CommandByte(1) = kWriteSettingFunction;
  channel.CommandByte(2) = 0x70;
  channel.CommandByte(3) = valueByte;
  channel.CommandByte(11) = 0x00;  // the CDB is 12 bytes
  return channel.ExecuteCommand(kDataToDriveOrNone, nullptr, 0);
}
