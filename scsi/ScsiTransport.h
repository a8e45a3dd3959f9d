// One open SCSI device, reached the way the system reaches drives: the
// Windows pass-through, the ASPI library, or the Linux SCSI generic driver.
// It sends one command and tells its whole outcome, keeping apart what
// stopped a command on its way ("the system refused", "no answer") from what
// the device answered (its status and sense data).
#pragma once

#include <cstdint>

#include "scsi/CommandStatus.h"

// The SCSI status of a command the device carried out.
constexpr std::uint8_t kScsiStatusGood = 0x00;
constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;

struct ScsiCommand {
  const std::uint8_t* cdb = nullptr;
  std::uint8_t cdbLength = 0;
  bool fromDevice = false;  // data from the device; else to it, or no data phase
  void* data = nullptr;
  std::uint32_t length = 0;  // bytes of `data`
  std::uint32_t timeOutSeconds = 30;
};

constexpr std::uint8_t kMaxSenseLength = 32;

struct ScsiOutcome {
  // The device received the command and ended it with a status; when false,
  // `systemError` may tell why (an errno on Linux, a Windows error code).
  bool reached = false;
  bool timedOut = false;
  int systemError = 0;
  std::uint8_t status = 0;  // SCSI status byte
  std::uint8_t sense[kMaxSenseLength] = {};
  std::uint8_t senseLength = 0;   // bytes of sense data returned
  std::uint32_t transferred = 0;  // data bytes moved
  // The route's own result: 0 for a command carried out. The ASPI route
  // packs its sense codes or status bytes in it; the others give 1.
  CommandStatus routeStatus = kCommandFailed;

  // Reached, GOOD status, no sense data.
  bool CarriedOut() const;
};

class ScsiTransport {
 public:
  virtual ~ScsiTransport() = default;
  virtual ScsiOutcome Execute(const ScsiCommand& command) = 0;
};

// The standard name of a SCSI status: "GOOD", "BUSY", "RESERVATION CONFLICT".
const char* ScsiStatusName(std::uint8_t status);
