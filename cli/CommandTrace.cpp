#include "cli/CommandTrace.h"

#include <cstring>

#include "cli/HexText.h"

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
  if (!outcome.Answered()) {
    say_(std::string("not carried to the drive: ") +
         (outcome.systemError != 0 ? std::strerror(outcome.systemError) : "no answer"));
    return;
  }
  say_("status: " + HexByte(outcome.status) + " (" + ScsiStatusName(outcome.status) + "), " +
       std::to_string(outcome.transferred) + " bytes transferred");
  if (outcome.end == ScsiEnd::Sense) {
    const SenseCodes& codes = outcome.codes;
    say_("sense: " + HexBytes(outcome.sense, outcome.senseLength) + " (key " +
         HexByte(codes.key).substr(1) + " " + SenseKeyName(codes.key) + ", ASC " + HexByte(codes.asc) +
         ", ASCQ " + HexByte(codes.ascq) + (codes.deferred ? ", deferred" : "") + ")");
  }
  if (level_ >= 2 && command.fromDevice && outcome.transferred > 0) {
    say_("data in: " + HexBytes(command.data, outcome.transferred));
  }
}
