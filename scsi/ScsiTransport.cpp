#include "scsi/ScsiTransport.h"

#include "scsi/SenseData.h"

bool ScsiOutcome::CarriedOut() const {
  return reached && status == kScsiStatusGood && !HasSenseData(sense, senseLength);
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
