// --verbose: every command on its way to the drive and its outcome, in hex,
// on standard error, as the Linux SCSI tools show them. It wraps the
// transport that carries the commands and changes nothing of them.
#pragma once

#include <functional>
#include <string>

#include "scsi/ScsiTransport.h"

class CommandTrace : public ScsiTransport {
 public:
  // Level 1: each CDB, its direction and length, the status and the sense
  // bytes; level 2 adds the data bytes.
  CommandTrace(ScsiTransport& inner, int level, std::function<void(const std::string&)> say)
      : inner_(inner), level_(level), say_(std::move(say)) {}

  ScsiOutcome Execute(const ScsiCommand& command) override;

 private:
  void ShowOutcome(const ScsiCommand& command, const ScsiOutcome& outcome);

  ScsiTransport& inner_;
  int level_;
  std::function<void(const std::string&)> say_;
};
