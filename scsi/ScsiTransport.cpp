#include "scsi/ScsiTransport.h"

void SetAnswer(ScsiOutcome& outcome, std::uint8_t status, std::uint32_t transferred) {
  outcome.status = status;
  outcome.systemError = 0;
  outcome.timedOut = false;
  if (HasSenseData(outcome.sense, outcome.senseLength)) {
    outcome.end = ScsiEnd::Sense;
    outcome.codes = SenseCodesOf(outcome.sense, outcome.senseLength);
  } else {
    outcome.end = status == kScsiStatusGood ? ScsiEnd::CarriedOut : ScsiEnd::OtherStatus;
  }
  outcome.transferred = outcome.CarriedOut() ? transferred : 0;
  outcome.commandStatus = outcome.CarriedOut() ? kCommandSucceeded : kCommandFailed;
}

void SetRefused(ScsiOutcome& outcome, int systemError) {
  outcome.end = ScsiEnd::Refused;
  outcome.systemError = systemError;
  outcome.timedOut = false;
  outcome.transferred = 0;
  outcome.commandStatus = kCommandFailed;
}

void SetNoAnswer(ScsiOutcome& outcome, int systemError, bool timedOut) {
  outcome.end = ScsiEnd::NoAnswer;
  outcome.systemError = systemError;
  outcome.timedOut = timedOut;
  outcome.transferred = 0;
  outcome.commandStatus = kCommandFailed;
}

const char* ScsiStatusName(std::uint8_t status) {
  switch (status) {
    case 0x00: return "GOOD";
    case 0x02: return "CHECK CONDITION";
    case 0x04: return "CONDITION MET";
    case 0x08: return "BUSY";
    case 0x18: return "RESERVATION CONFLICT";
    case 0x22: return "COMMAND TERMINATED";
    case 0x28: return "TASK SET FULL";
    case 0x30: return "ACA ACTIVE";
    case 0x40: return "TASK ABORTED";
    default: return "unknown status";
  }
}
