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
  full[0] = 0x70;
  full[2] = sense.key;
  full[7] = 10;  // additional sense length
  full[12] = sense.asc;
  full[13] = sense.ascq;
  std::memcpy(out, full, std::min(length, sizeof full));
}

CommandResult DriveModel::Execute(const std::uint8_t* cdb, std::size_t cdbLength,
                                  Direction direction, std::uint8_t* data, std::uint32_t length) {
  commands_.push_back(CommandRecord{std::vector<std::uint8_t>(cdb, cdb + cdbLength), direction, length});
  if (cdbLength == 0) return Check(kIllegalRequest, kInvalidOperation);
  if (cdb[0] == 0x12 && cdbLength == 6) return Inquiry(data, direction == Direction::FromDrive ? length : 0);
  if (config_.statusWithoutSense != 0) {
    CommandResult refused;
    refused.status = config_.statusWithoutSense;
    return refused;
  }
  if (cdb[0] == 0xF3 && config_.vendorCommands && cdbLength == 12) {
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
