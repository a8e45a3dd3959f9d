// A simulated drive: answers SCSI commands as a QSI / Nu-Tek DVD writer (or
// another kind of device) would, and records every command it was sent.
// Besides INQUIRY and its vendor commands it answers what the Linux kernel
// asks of a drive (TEST UNIT READY, the capabilities page of MODE SENSE,
// GET CONFIGURATION, READ CAPACITY), and with a disc loaded what the disc
// says about itself and its data, which reads as zeros (sim/SimulatedDisc.h).
// The same model answers the unit tests, the simulated ASPI library and the
// pass-through under Wine.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimulatedDisc.h"

namespace sim {

enum class Direction { None, FromDrive, ToDrive };

struct SenseData {
  std::uint8_t key = 0;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
  bool descriptor = false;  // written in descriptor format (72h), else fixed (70h)
};

struct DriveConfig {
  int peripheralType = 5;  // INQUIRY byte 0
  std::string vendor = "QSI";
  std::string product = "DVDRW SDW-082";
  std::string revision = "BX03";
  bool vendorCommands = true;  // understands the F3h book-type commands
  std::uint8_t settings = 0x00;  // bit 0: +R as DVD-ROM, bit 1: +RW as DVD-ROM
  bool inquiryFails = false;     // answers the INQUIRY with sense data
  bool writeFails = false;       // refuses to change its settings
  bool ignoresWrites = false;    // takes the write command but keeps its settings
  std::size_t inquiryLength = 36;  // bytes of INQUIRY data it returns
  std::uint32_t settingsLength = 128;  // bytes of the settings read's response it returns
  // Ends every command but the INQUIRY with this status and no sense data,
  // carrying nothing out: 08h BUSY, 18h RESERVATION CONFLICT (another
  // program holds the drive), 28h TASK SET FULL. 0: it works.
  std::uint8_t statusWithoutSense = 0;
  bool descriptorSense = false;  // sense data in descriptor format (72h)
  SimulatedDisc disc;  // none: every disc command ends with 02h/3Ah
  // The current profile it reports, when not the disc's own: a read-only
  // drive names every DVD DVD-ROM. -1: the disc's own.
  int profile = -1;
  // Bytes at most of its answers to GET CONFIGURATION, READ DVD STRUCTURE
  // and READ DISC INFORMATION.
  std::uint32_t discAnswerLength = 0xFFFF;
};

// Parses "type=5;vendor=QSI;product=...;revision=BX03;vendor-commands=1;
// settings=0x01;inquiry-fails=0;write-fails=0;ignores-writes=0;
// settings-length=128;status=0x18;disc=dvd+r:dvd-rom;profile=0x10;
// disc-answer-length=8". Unknown keys are an error.
bool ParseDriveConfig(const std::string& text, DriveConfig& config, std::string& error);

struct CommandRecord {
  std::vector<std::uint8_t> cdb;
  Direction direction = Direction::None;
  std::uint32_t length = 0;
};

struct CommandResult {
  bool checkCondition = false;  // the command ended with sense data
  std::uint8_t status = 0;      // SCSI status: 00h GOOD, 02h CHECK CONDITION, or a bare status
  SenseData sense;
  std::uint32_t transferred = 0;
};

class DriveModel {
 public:
  explicit DriveModel(DriveConfig config = DriveConfig()) : config_(std::move(config)) {}

  CommandResult Execute(const std::uint8_t* cdb, std::size_t cdbLength, Direction direction,
                        std::uint8_t* data, std::uint32_t length);

  DriveConfig& Config() { return config_; }
  const DriveConfig& Config() const { return config_; }
  const std::vector<CommandRecord>& Commands() const { return commands_; }
  void ClearCommands() { commands_.clear(); }
  // Fills sense data of `length` bytes: fixed format (response code 70h),
  // or descriptor format (72h) without descriptors.
  static void WriteSense(const SenseData& sense, std::uint8_t* out, std::size_t length);

 private:
  CommandResult Answer(const std::uint8_t* cdb, std::size_t cdbLength, Direction direction,
                       std::uint8_t* data, std::uint32_t length);
  CommandResult Inquiry(std::uint8_t* data, std::uint32_t length);
  CommandResult ModeSense(const std::uint8_t* cdb, std::uint8_t* data, std::uint32_t length);
  CommandResult Configuration(const std::uint8_t* cdb, std::uint8_t* data, std::uint32_t length);
  CommandResult ReadDvdStructure(const std::uint8_t* cdb, std::uint8_t* data, std::uint32_t length);
  CommandResult ReadDiscInformation(const std::uint8_t* cdb, std::uint8_t* data,
                                    std::uint32_t length);
  CommandResult ReadCapacity(std::uint8_t* data, std::uint32_t length);
  CommandResult ReadBlocks(const std::uint8_t* cdb, std::uint8_t* data, std::uint32_t length);
  CommandResult ReadSettings(std::uint8_t* data, std::uint32_t length);
  CommandResult WriteSetting(std::uint8_t value);

  DriveConfig config_;
  std::vector<CommandRecord> commands_;
};

}  // namespace sim
