#include "sim/DriveModel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace sim {

namespace {

constexpr std::uint8_t kIllegalRequest = 0x05;
constexpr std::uint8_t kInvalidOperation = 0x20;
constexpr std::uint8_t kInvalidFieldInCdb = 0x24;
constexpr std::uint8_t kNotReady = 0x02;
constexpr std::uint8_t kLogicalUnitNotReady = 0x04;
constexpr std::uint8_t kMediumNotPresent = 0x3A;

// An F3h CDB is 12 bytes as sent, but Linux's SCSI target (LIO) passes its
// user-space backstores only as many CDB bytes as the opcode's group implies:
// 10 for group 7 (E0h-FFh). What the commands carry is within the first ten
// (the function, the read's length in bytes 7-8, the write's value in byte
// 3); bytes 10 and 11 are zero in every F3h command. So the drive takes both
// lengths, and a 12-byte CDB still reaches a drive behind ATAPI or SG_IO.
bool IsVendorCdbLength(std::size_t length) { return length == 10 || length == 12; }

// Page 2Ah, the capabilities and mechanical status of a DVD writer with a
// tray: reads CD-R/RW, DVD-ROM and DVD-R, writes CD-R/RW and DVD-R, ejects.
constexpr std::uint8_t kCapabilitiesPage[] = {
    0x2A, 0x14, 0x1B, 0x17, 0x71, 0x7F, 0x29, 0x03, 0x1B, 0x90, 0x01, 0x00,
    0x08, 0x00, 0x1B, 0x90, 0x00, 0x00, 0x0D, 0xC8, 0x0D, 0xC8};

// The profile list of GET CONFIGURATION with no disc loaded (current profile
// 0000h): DVD+R, DVD+RW, DVD-R, DVD-ROM, CD-R, CD-RW, CD-ROM, none current.
constexpr std::uint8_t kProfileList[] = {
    0x00, 0x00, 0x03, 0x1C, 0x00, 0x1B, 0x00, 0x00, 0x00, 0x1A, 0x00, 0x00,
    0x00, 0x11, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00,
    0x00, 0x0A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00};

CommandResult Check(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq = 0) {
  CommandResult result;
  result.checkCondition = true;
  result.status = 0x02;  // CHECK CONDITION
  result.sense = SenseData{key, asc, ascq};
  return result;
}

void CopyPadded(std::uint8_t* out, const std::string& text, std::size_t width) {
  std::memset(out, ' ', width);
  std::memcpy(out, text.data(), std::min(width, text.size()));
}

bool ParseNumber(const std::string& text, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 0);
  return !text.empty() && end != nullptr && *end == '\0';
}

}  // namespace

bool ParseDriveConfig(const std::string& text, DriveConfig& config, std::string& error) {
  std::istringstream fields(text);
  std::string field;
  while (std::getline(fields, field, ';')) {
    if (field.empty()) continue;
    const std::size_t equals = field.find('=');
    if (equals == std::string::npos) {
      error = "no value in '" + field + "'";
      return false;
    }
    const std::string key = field.substr(0, equals);
    const std::string value = field.substr(equals + 1);
    long number = 0;
    const bool numeric = ParseNumber(value, number);
    if (key == "vendor") {
      config.vendor = value;
    } else if (key == "product") {
      config.product = value;
    } else if (key == "revision") {
      config.revision = value;
    } else if (key == "type" && numeric && number >= 0 && number <= 255) {
      config.peripheralType = static_cast<int>(number);
    } else if (key == "settings" && numeric && number >= 0 && number <= 255) {
      config.settings = static_cast<std::uint8_t>(number);
    } else if (key == "vendor-commands" && numeric) {
      config.vendorCommands = number != 0;
    } else if (key == "write-fails" && numeric) {
      config.writeFails = number != 0;
    } else if (key == "ignores-writes" && numeric) {
      config.ignoresWrites = number != 0;
    } else if (key == "inquiry-fails" && numeric) {
      config.inquiryFails = number != 0;
    } else if (key == "inquiry-length" && numeric && number >= 0 && number <= 96) {
      config.inquiryLength = static_cast<std::size_t>(number);
    } else if (key == "settings-length" && numeric && number >= 0 && number <= 128) {
      config.settingsLength = static_cast<std::uint32_t>(number);
    } else if (key == "status" && numeric && number >= 0 && number <= 255) {
      config.statusWithoutSense = static_cast<std::uint8_t>(number);
    } else {
      error = "bad field '" + field + "'";
      return false;
    }
  }
  return true;
}

void DriveModel::WriteSense(const SenseData& sense, std::uint8_t* out, std::size_t length) {
  std::uint8_t full[18] = {};
  if (sense.descriptor) {  // the header alone: no descriptors follow
    full[0] = 0x72;
    full[1] = sense.key;
    full[2] = sense.asc;
    full[3] = sense.ascq;
  } else {
    full[0] = 0x70;
    full[2] = sense.key;
    full[7] = 10;  // additional sense length
    full[12] = sense.asc;
    full[13] = sense.ascq;
  }
  std::memcpy(out, full, std::min(length, sizeof full));
}

CommandResult DriveModel::Execute(const std::uint8_t* cdb, std::size_t cdbLength,
                                  Direction direction, std::uint8_t* data, std::uint32_t length) {
  commands_.push_back(CommandRecord{std::vector<std::uint8_t>(cdb, cdb + cdbLength), direction, length});
  CommandResult result = Answer(cdb, cdbLength, direction, data, length);
  result.sense.descriptor = config_.descriptorSense;
  return result;
}

CommandResult DriveModel::Answer(const std::uint8_t* cdb, std::size_t cdbLength,
                                 Direction direction, std::uint8_t* data, std::uint32_t length) {
  if (cdbLength == 0) return Check(kIllegalRequest, kInvalidOperation);
  if (cdb[0] == 0x12 && cdbLength == 6) return Inquiry(data, direction == Direction::FromDrive ? length : 0);
  if (config_.statusWithoutSense != 0) {
    CommandResult refused;
    refused.status = config_.statusWithoutSense;
    return refused;
  }
  if (cdb[0] == 0x00 && cdbLength == 6) return Check(kNotReady, kMediumNotPresent);  // no disc
  const bool fromDrive = direction == Direction::FromDrive;
  if ((cdb[0] == 0x1A && cdbLength == 6) || (cdb[0] == 0x5A && cdbLength == 10)) {
    return ModeSense(cdb, fromDrive ? data : nullptr, fromDrive ? length : 0);
  }
  if (cdb[0] == 0x46 && cdbLength == 10) {
    return Configuration(cdb, fromDrive ? data : nullptr, fromDrive ? length : 0);
  }
  if (cdb[0] == 0xF3 && config_.vendorCommands && IsVendorCdbLength(cdbLength)) {
    if (cdb[1] == 0x0F && direction == Direction::FromDrive) return ReadSettings(data, length);
    if (cdb[1] == 0x0E && cdb[2] == 0x70 && length == 0) return WriteSetting(cdb[3]);
    return Check(kIllegalRequest, kInvalidFieldInCdb);
  }
  return Check(kIllegalRequest, kInvalidOperation);
}

CommandResult DriveModel::Inquiry(std::uint8_t* data, std::uint32_t length) {
  if (config_.inquiryFails) return Check(kNotReady, kLogicalUnitNotReady);
  std::uint8_t response[96] = {};
  response[0] = static_cast<std::uint8_t>(config_.peripheralType);
  response[2] = 0x02;
  response[3] = 0x02;
  response[4] = 31;
  CopyPadded(response + 8, config_.vendor, 8);
  CopyPadded(response + 16, config_.product, 16);
  CopyPadded(response + 32, config_.revision, 4);
  CommandResult result;
  result.transferred = static_cast<std::uint32_t>(
      std::min<std::size_t>({length, config_.inquiryLength, sizeof response}));
  if (data != nullptr) std::memcpy(data, response, result.transferred);
  return result;
}

// MODE SENSE (6) or (10) of the capabilities page (or of all pages), with
// no block descriptors.
CommandResult DriveModel::ModeSense(const std::uint8_t* cdb, std::uint8_t* data,
                                    std::uint32_t length) {
  const std::uint8_t page = cdb[2] & 0x3F;
  if (page != 0x2A && page != 0x3F) return Check(kIllegalRequest, kInvalidFieldInCdb);
  const bool ten = cdb[0] == 0x5A;
  const std::size_t header = ten ? 8 : 4;
  std::uint8_t response[8 + sizeof kCapabilitiesPage] = {};
  const std::size_t total = header + sizeof kCapabilitiesPage;
  if (ten) {
    response[1] = static_cast<std::uint8_t>(total - 2);  // mode data length
  } else {
    response[0] = static_cast<std::uint8_t>(total - 1);
  }
  std::memcpy(response + header, kCapabilitiesPage, sizeof kCapabilitiesPage);
  CommandResult result;
  result.transferred = static_cast<std::uint32_t>(std::min<std::size_t>(length, total));
  if (data != nullptr) std::memcpy(data, response, result.transferred);
  return result;
}

// GET CONFIGURATION of a drive without a disc: the profile list (feature
// 0000h), or the header alone when asked from a later feature on.
CommandResult DriveModel::Configuration(const std::uint8_t* cdb, std::uint8_t* data,
                                        std::uint32_t length) {
  const bool fromProfileList = cdb[2] == 0 && cdb[3] == 0;  // the starting feature
  const std::size_t features = fromProfileList ? sizeof kProfileList : 0;
  std::uint8_t response[8 + sizeof kProfileList] = {};
  response[3] = static_cast<std::uint8_t>(4 + features);  // data length; current profile 0
  std::memcpy(response + 8, kProfileList, features);
  CommandResult result;
  result.transferred = static_cast<std::uint32_t>(std::min<std::size_t>(length, 8 + features));
  if (data != nullptr) std::memcpy(data, response, result.transferred);
  return result;
}

CommandResult DriveModel::ReadSettings(std::uint8_t* data, std::uint32_t length) {
  std::uint8_t response[128] = {};
  response[6] = config_.settings;
  CommandResult result;
  result.transferred = std::min<std::uint32_t>({length, config_.settingsLength, sizeof response});
  if (data != nullptr) std::memcpy(data, response, result.transferred);
  return result;
}

CommandResult DriveModel::WriteSetting(std::uint8_t value) {
  if (config_.writeFails) return Check(kIllegalRequest, kInvalidFieldInCdb);
  if (config_.ignoresWrites) return CommandResult{};
  switch (value) {
    case 0xD0: config_.settings &= static_cast<std::uint8_t>(~0x01); break;
    case 0xD1: config_.settings |= 0x01; break;
    case 0xE0: config_.settings &= static_cast<std::uint8_t>(~0x02); break;
    case 0xE2: config_.settings |= 0x02; break;
    default: return Check(kIllegalRequest, kInvalidFieldInCdb);
  }
  return CommandResult{};
}

}  // namespace sim
