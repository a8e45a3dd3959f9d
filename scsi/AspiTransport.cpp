#include "scsi/AspiTransport.h"

#include <cstring>

#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"

namespace {
constexpr std::uint32_t kStatusFormMask = 0xFF000000u;  // the ASPI status byte of the status form

// The sense data of a failed request: what the library left in the SRB,
// read in its own format. A packed sense form counts even without a
// response code, as it does in the packed status.
void StoreSense(const AspiReply& reply, ScsiOutcome& outcome) {
  std::memcpy(outcome.sense, reply.sense, kAspiSenseLength);
  outcome.senseLength = kAspiSenseLength;
  SetAnswer(outcome, reply.targetStatus != 0 ? reply.targetStatus : kScsiStatusCheckCondition, 0);
  outcome.end = ScsiEnd::Sense;
  outcome.codes = SenseCodesOf(outcome.sense, outcome.senseLength);
}

// The library's statuses, each to the end it names.
void StoreReply(const AspiReply& reply, std::uint32_t length, ScsiOutcome& outcome) {
  const auto packed = static_cast<std::uint32_t>(reply.status);
  if (!reply.sent) {
    SetRefused(outcome, 0);
  } else if (!reply.finished) {
    SetNoAnswer(outcome, 0, false);
  } else if (reply.srbStatus == kSsComp) {
    SetAnswer(outcome, kScsiStatusGood, length);  // the library tells no residue
  } else if ((packed & kStatusFormMask) == 0 || HasSenseData(reply.sense, kAspiSenseLength)) {
    StoreSense(reply, outcome);
  } else if (reply.targetStatus != kScsiStatusGood) {
    SetAnswer(outcome, reply.targetStatus, 0);
  } else if (reply.adapterStatus != 0 || reply.srbStatus == kSsNoDevice) {
    SetNoAnswer(outcome, 0, false);  // no device answered at that address
  } else {
    SetRefused(outcome, 0);  // the library's own reason is in the packed status
  }
  outcome.commandStatus = reply.status;
}
}  // namespace

ScsiOutcome AspiTransport::Execute(const ScsiCommand& command) {
  ScsiOutcome outcome;
  if (library_ == nullptr || device_ == nullptr) return outcome;
  const AspiRequest request{device_->HostAdapter,
                            device_->TargetId,
                            device_->Lun,
                            command.fromDevice ? kSrbDirIn : kSrbDirOut,
                            command.cdb,
                            command.cdbLength,
                            command.data,
                            command.length};
  StoreReply(ExchangeAspiRequest(*library_, request), command.length, outcome);
  return outcome;
}
