// One open SCSI device, reached the way the system reaches drives: the
// Windows pass-through (SPTI), the ASPI library, or the Linux SCSI generic
// driver. It sends one command and tells its whole outcome, keeping apart
// what stopped a command on its way ("the system refused", "no answer")
// from what the device answered (its status and sense data).
#pragma once

#include <cstdint>

#include "scsi/CommandStatus.h"
#include "scsi/SenseData.h"

// The SCSI status of a command the device carried out.
constexpr std::uint8_t kScsiStatusGood = 0x00;
constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;

constexpr std::uint32_t kCommandTimeOutSeconds = 30;

struct ScsiCommand {
  const std::uint8_t* cdb = nullptr;
  std::uint8_t cdbLength = 0;
  bool fromDevice = false;  // data from the device; else to it, or no data phase
  void* data = nullptr;
  std::uint32_t length = 0;  // bytes of `data`
  std::uint32_t timeOutSeconds = kCommandTimeOutSeconds;
};

constexpr std::uint8_t kMaxSenseLength = 32;

// How a command ended, each end once: what every caller, message and trace
// goes by.
enum class ScsiEnd {
  CarriedOut,   // GOOD status, no sense data
  Sense,        // the device answered with sense data: `codes`
  OtherStatus,  // the device answered with a status other than GOOD, without sense data
  Refused,      // the system refused the command: `systemError`, 0 when it tells none
  NoAnswer,     // the device never answered, or not in time (`timedOut`): `systemError`
};

struct ScsiOutcome {
  ScsiEnd end = ScsiEnd::NoAnswer;
  int systemError = 0;     // Refused, NoAnswer: an errno on Linux, a Windows error code
  bool timedOut = false;   // NoAnswer: the time-out ran out
  std::uint8_t status = 0;  // the SCSI status, when the device answered
  SenseCodes codes;         // Sense
  std::uint8_t sense[kMaxSenseLength] = {};
  std::uint8_t senseLength = 0;   // bytes of sense data returned
  std::uint32_t transferred = 0;  // data bytes moved; 0 unless carried out
  // What the command channel returns for the command: 0 when carried out;
  // the ASPI route's packed `CommandStatus`, or 1.
  CommandStatus commandStatus = kCommandFailed;

  bool CarriedOut() const { return end == ScsiEnd::CarriedOut; }
  // The device ended the command with a status (carried out or not).
  bool Answered() const { return end == ScsiEnd::CarriedOut || end == ScsiEnd::Sense || end == ScsiEnd::OtherStatus; }
};

// The outcome of a command the device ended with `status` and the `sense`
// bytes already in the outcome: sense data (response codes 70h to 7Fh)
// first, then a status other than GOOD, fail the command.
void SetAnswer(ScsiOutcome& outcome, std::uint8_t status, std::uint32_t transferred);
// A command the system refused, or that the device never answered.
void SetRefused(ScsiOutcome& outcome, int systemError);
void SetNoAnswer(ScsiOutcome& outcome, int systemError, bool timedOut);

class ScsiTransport {
 public:
  virtual ~ScsiTransport() = default;
  virtual ScsiOutcome Execute(const ScsiCommand& command) = 0;
};

// The standard name of a SCSI status: "GOOD", "BUSY", "RESERVATION CONFLICT".
const char* ScsiStatusName(std::uint8_t status);
