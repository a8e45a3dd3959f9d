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
constexpr std::uint8_t kLbaOutOfRange = 0x21;
constexpr std::uint8_t kIncompatibleMedium = 0x30;  // with ASCQ 02h: cannot read this format
constexpr std::uint32_t kBlockSize = 2048;

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

// The profile list of GET CONFIGURATION: DVD+R, DVD+RW, DVD-R, DVD-ROM,
// CD-R, CD-RW, CD-ROM, none marked current (the disc's is marked when asked).
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

// An answer of `answer`'s bytes, cut to the `length` the initiator gave.
CommandResult Reply(const std::vector<std::uint8_t>& answer, std::uint8_t* data,
                    std::uint32_t length) {
  CommandResult result;
  result.transferred = static_cast<std::uint32_t>(std::min<std::size_t>(length, answer.size()));
  if (data != nullptr) std::memcpy(data, answer.data(), result.transferred);
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
    } else if (key == "disc" && ParseDisc(value, config.disc)) {
    } else if (key == "profile" && numeric && number >= -1 && number <= 0xFFFF) {
      config.profile = static_cast<int>(number);
    } else if (key == "disc-answer-length" && numeric && number >= 0 && number <= 0xFFFF) {
      config.discAnswerLength = static_cast<std::uint32_t>(number);
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
  const bool fromDrive = direction == Direction::FromDrive;
  std::uint8_t* in = fromDrive ? data : nullptr;
  const std::uint32_t inLength = fromDrive ? length : 0;
  if ((cdb[0] == 0x1A && cdbLength == 6) || (cdb[0] == 0x5A && cdbLength == 10)) {
    return ModeSense(cdb, in, inLength);
  }
  if (cdb[0] == 0x46 && cdbLength == 10) return Configuration(cdb, in, inLength);
  const bool discCommand = (cdb[0] == 0x00 && cdbLength == 6) ||
                           (cdb[0] == 0xAD && cdbLength == 12) ||
                           ((cdb[0] == 0x51 || cdb[0] == 0x25 || cdb[0] == 0x28) && cdbLength == 10);
  if (discCommand && config_.disc.medium == Medium::None) {
    return Check(kNotReady, kMediumNotPresent);
  }
  if (cdb[0] == 0x00 && cdbLength == 6) return CommandResult{};  // TEST UNIT READY: a disc
  if (cdb[0] == 0xAD && cdbLength == 12) return ReadDvdStructure(cdb, in, inLength);
  if (cdb[0] == 0x51 && cdbLength == 10) return ReadDiscInformation(cdb, in, inLength);
  if (cdb[0] == 0x25 && cdbLength == 10) return ReadCapacity(in, inLength);
  if (cdb[0] == 0x28 && cdbLength == 10) return ReadBlocks(cdb, in, inLength);
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

// GET CONFIGURATION: the current profile (0000h without a disc) and the
// profile list (feature 0000h) with the current one marked, or the header
// alone when asked from a later feature on.
CommandResult DriveModel::Configuration(const std::uint8_t* cdb, std::uint8_t* data,
                                        std::uint32_t length) {
  const bool fromProfileList = cdb[2] == 0 && cdb[3] == 0;  // the starting feature
  const std::size_t features = fromProfileList ? sizeof kProfileList : 0;
  const std::uint16_t current = config_.profile >= 0 ? static_cast<std::uint16_t>(config_.profile)
                                                     : CurrentProfile(config_.disc);
  std::uint8_t response[8 + sizeof kProfileList] = {};
  response[3] = static_cast<std::uint8_t>(4 + features);  // data length
  response[6] = static_cast<std::uint8_t>(current >> 8);
  response[7] = static_cast<std::uint8_t>(current);
  std::memcpy(response + 8, kProfileList, features);
  for (std::size_t at = 8 + 4; at < 8 + features; at += 4) {
    const bool isCurrent = current != 0 && (response[at] << 8 | response[at + 1]) == current;
    if (isCurrent) response[at + 2] |= 0x01;  // CurrentP
  }
  CommandResult result;
  const std::uint32_t allocation = static_cast<std::uint32_t>(cdb[7] << 8 | cdb[8]);
  result.transferred = static_cast<std::uint32_t>(
      std::min<std::size_t>({length, allocation, 8 + features, config_.discAnswerLength}));
  if (data != nullptr) std::memcpy(data, response, result.transferred);
  return result;
}

// READ DVD STRUCTURE: the physical format information of layer 0 alone.
CommandResult DriveModel::ReadDvdStructure(const std::uint8_t* cdb, std::uint8_t* data,
                                           std::uint32_t length) {
  if (!IsDvd(config_.disc)) return Check(kIllegalRequest, kIncompatibleMedium, 0x02);
  const bool dvdMedia = (cdb[1] & 0x0F) == 0;  // not a Blu-ray structure
  if (!dvdMedia || cdb[6] != 0 || cdb[7] != 0x00) return Check(kIllegalRequest, kInvalidFieldInCdb);
  const std::uint32_t allocation = static_cast<std::uint32_t>(cdb[8] << 8 | cdb[9]);
  return Reply(PhysicalFormat(config_.disc), data,
                std::min({length, allocation, config_.discAnswerLength}));
}

// READ DISC INFORMATION: the standard disc information only.
CommandResult DriveModel::ReadDiscInformation(const std::uint8_t* cdb, std::uint8_t* data,
                                              std::uint32_t length) {
  if ((cdb[1] & 0x07) != 0) return Check(kIllegalRequest, kInvalidFieldInCdb);
  const std::uint32_t allocation = static_cast<std::uint32_t>(cdb[7] << 8 | cdb[8]);
  return Reply(DiscInformation(config_.disc), data,
                std::min({length, allocation, config_.discAnswerLength}));
}

// READ CAPACITY: the last block recorded (0 on a blank disc) and the block size.
CommandResult DriveModel::ReadCapacity(std::uint8_t* data, std::uint32_t length) {
  const std::uint32_t blocks = RecordedBlocks(config_.disc);
  const std::uint32_t last = blocks == 0 ? 0 : blocks - 1;
  std::vector<std::uint8_t> answer = {
      static_cast<std::uint8_t>(last >> 24), static_cast<std::uint8_t>(last >> 16),
      static_cast<std::uint8_t>(last >> 8), static_cast<std::uint8_t>(last), 0x00, 0x00,
      kBlockSize >> 8, 0x00};
  return Reply(answer, data, length);
}

// READ (10): zeros from the recorded blocks; nothing beyond them.
CommandResult DriveModel::ReadBlocks(const std::uint8_t* cdb, std::uint8_t* data,
                                     std::uint32_t length) {
  const std::uint64_t first = std::uint64_t{cdb[2]} << 24 | cdb[3] << 16 | cdb[4] << 8 | cdb[5];
  const std::uint32_t count = static_cast<std::uint32_t>(cdb[7] << 8 | cdb[8]);
  if (first + count > RecordedBlocks(config_.disc)) return Check(kIllegalRequest, kLbaOutOfRange);
  CommandResult result;
  result.transferred = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, std::uint64_t{count} * kBlockSize));
  if (data != nullptr) std::memset(data, 0, result.transferred);
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
