#include "scsi/AspiTransport.h"

#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"

namespace {
constexpr std::uint32_t kStatusFormMask = 0xFF000000u;  // the ASPI status byte of the status form
}

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
  const CommandStatus status = SendAspiRequest(*library_, request);
  const auto packed = static_cast<std::uint32_t>(status);
  outcome.routeStatus = status;
  // Sense codes, or the status form's bytes, where sense data keeps them.
  outcome.sense[2] = static_cast<std::uint8_t>(packed >> 16);
  outcome.sense[12] = static_cast<std::uint8_t>(packed >> 8);
  outcome.sense[13] = static_cast<std::uint8_t>(packed);
  outcome.senseLength = 14;
  const bool senseForm = status != kCommandSucceeded && (packed & kStatusFormMask) == 0;
  outcome.reached = status == kCommandSucceeded || senseForm;
  outcome.status = senseForm ? kScsiStatusCheckCondition : kScsiStatusGood;
  outcome.transferred = status == kCommandSucceeded ? command.length : 0;
  return outcome;
}
