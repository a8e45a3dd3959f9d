#include "disc/DiscCommands.h"

#include "scsi/ScsiPassThrough.h"

namespace {

// The header of GET CONFIGURATION holds the current profile; the physical
// format information is 2048 bytes after a 4-byte header; the standard disc
// information is 34 bytes.
constexpr std::uint32_t kConfigurationLength = 8;
constexpr std::uint32_t kPhysicalFormatLength = 4 + 2048;
constexpr std::uint32_t kDiscInformationLength = 34;

using Decoder = bool (*)(const std::uint8_t*, std::size_t, DiscFacts&);

// Sends the built CDB for `length` bytes from the drive and decodes what
// came back; false, with what the drive said kept in `reading`, when it was
// not carried out or its answer is too short.
bool Ask(CScsiPassThrough& channel, DiscCommand command, std::uint8_t* answer,
         std::uint32_t length, Decoder decode, DiscReading& reading) {
  reading.command = command;
  if (channel.ExecuteCommand(kDataFromDrive, answer, length) == kCommandSucceeded) {
    if (decode(answer, channel.BytesTransferred(), reading.facts)) return true;
    reading.failure = DiscFailure::ShortAnswer;
    return false;
  }
  const ScsiOutcome& outcome = channel.LastOutcome();
  reading.sense = outcome.end == ScsiEnd::Sense;
  if (reading.sense) reading.codes = outcome.codes;
  const bool noDisc = reading.sense && reading.codes.key == kSenseKeyNotReady &&
                      reading.codes.asc == kAscMediumNotPresent;
  reading.failure = noDisc ? DiscFailure::NoDisc : DiscFailure::Refused;
  return false;
}

// GET CONFIGURATION, the header alone: the features from 0000h on that are
// current (RT 01b), cut to the header by the allocation length.
bool AskProfile(CScsiPassThrough& channel, DiscReading& reading) {
  std::uint8_t answer[kConfigurationLength] = {};
  channel.CommandByte(0) = 0x46;
  channel.CommandByte(1) = 0x01;                  // RT: current features
  channel.CommandByte(8) = kConfigurationLength;  // bytes 7-8: allocation length
  channel.CommandByte(9) = 0x00;                  // the CDB is 10 bytes
  return Ask(channel, DiscCommand::GetConfiguration, answer, sizeof answer, DecodeCurrentProfile,
             reading);
}

// READ DVD STRUCTURE, format 00h (physical format information) of layer 0.
// A drive that cannot read it from this medium (05h/30h) holds a CD.
bool AskPhysicalFormat(CScsiPassThrough& channel, DiscReading& reading) {
  std::uint8_t answer[kPhysicalFormatLength] = {};
  channel.CommandByte(0) = 0xAD;
  channel.CommandByte(6) = 0x00;  // layer 0
  channel.CommandByte(7) = 0x00;  // format 00h
  channel.CommandByte(8) = static_cast<std::uint8_t>(kPhysicalFormatLength >> 8);
  channel.CommandByte(9) = static_cast<std::uint8_t>(kPhysicalFormatLength & 0xFF);
  channel.CommandByte(11) = 0x00;  // the CDB is 12 bytes
  if (Ask(channel, DiscCommand::ReadDvdStructure, answer, sizeof answer, DecodePhysicalFormat,
          reading)) {
    return true;
  }
  const bool incompatible = reading.sense && reading.codes.key == kSenseKeyIllegalRequest &&
                            reading.codes.asc == kAscIncompatibleMedium;
  if (incompatible) reading.failure = DiscFailure::NotDvd;
  return false;
}

// READ DISC INFORMATION, the standard disc information (data type 000b).
bool AskDiscStatus(CScsiPassThrough& channel, DiscReading& reading) {
  std::uint8_t answer[kDiscInformationLength] = {};
  channel.CommandByte(0) = 0x51;
  channel.CommandByte(8) = kDiscInformationLength;  // bytes 7-8: allocation length
  channel.CommandByte(9) = 0x00;                    // the CDB is 10 bytes
  return Ask(channel, DiscCommand::ReadDiscInformation, answer, sizeof answer, DecodeDiscStatus,
             reading);
}

}  // namespace

DiscReading ReadDisc(CScsiPassThrough& channel) {
  DiscReading reading;
  if (!AskProfile(channel, reading)) return reading;
  // A CD has no physical format information to ask for.
  if (IsCdProfile(reading.facts.profile)) {
    reading.failure = DiscFailure::NotDvd;
    return reading;
  }
  if (AskPhysicalFormat(channel, reading)) AskDiscStatus(channel, reading);
  return reading;
}

const char* DiscCommandName(DiscCommand command) {
  switch (command) {
    case DiscCommand::GetConfiguration: return "GET CONFIGURATION";
    case DiscCommand::ReadDvdStructure: return "READ DVD STRUCTURE";
    case DiscCommand::ReadDiscInformation: return "READ DISC INFORMATION";
  }
  return "";
}
