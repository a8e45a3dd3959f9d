#include "cli/CommandTrace.h"

#include <cstdio>
#include <cstring>

#include "scsi/SenseData.h"

namespace {
std::string Byte(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02Xh", value & 0xFF);
  return text;
}
}  // namespace

std::string HexBytes(const void* bytes, std::size_t length) {
  const auto* byte = static_cast<const std::uint8_t*>(bytes);
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", unsigned{byte[i]});
    if (i > 0) text += ' ';
    text += pair;
  }
  return text;
}

ScsiOutcome CommandTrace::Execute(const ScsiCommand& command) {
  const char* direction = command.length == 0 ? "no data" : command.fromDevice ? "from drive" : "to drive";
  say_("cdb: " + HexBytes(command.cdb, command.cdbLength) + " (" + direction + ", " +
       std::to_string(command.length) + " bytes)");
  if (level_ >= 2 && !command.fromDevice && command.length > 0) {
    say_("data out: " + HexBytes(command.data, command.length));
  }
  const ScsiOutcome outcome = inner_.Execute(command);
  ShowOutcome(command, outcome);
  return outcome;
}

void CommandTrace::ShowOutcome(const ScsiCommand& command, const ScsiOutcome& outcome) {
  if (!outcome.reached) {
    say_(std::string("not carried to the drive: ") +
         (outcome.systemError != 0 ? std::strerror(outcome.systemError) : "no answer"));
    return;
  }
  say_("status: " + Byte(outcome.status) + " (" + ScsiStatusName(outcome.status) + "), " +
       std::to_string(outcome.transferred) + " bytes transferred");
  if (HasSenseData(outcome.sense, outcome.senseLength)) {
    const SenseCodes codes = SenseCodesOf(outcome.sense, outcome.senseLength);
    say_("sense: " + HexBytes(outcome.sense, outcome.senseLength) + " (key " +
         Byte(codes.key).substr(1) + " " + SenseKeyName(codes.key) + ", ASC " + Byte(codes.asc) +
         ", ASCQ " + Byte(codes.ascq) + ")");
  }
  if (level_ >= 2 && command.fromDevice && outcome.transferred > 0) {
    say_("data in: " + HexBytes(command.data, outcome.transferred));
  }
}
