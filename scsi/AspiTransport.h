// A device reached through the ASPI library by its host adapter, target and
// LUN. The library reports no residue, and its result is the packed
// `CommandStatus` of the ASPI route.
#pragma once

#include "scsi/ScsiAddress.h"
#include "scsi/ScsiTransport.h"

class CAspiLibrary;

class AspiTransport : public ScsiTransport {
 public:
  // The library and the device's address; without either nothing is sent.
  void Bind(const CAspiLibrary* library, const ScsiAddress* device) {
    library_ = library;
    device_ = device;
  }
  ScsiOutcome Execute(const ScsiCommand& command) override;

 private:
  const CAspiLibrary* library_ = nullptr;
  const ScsiAddress* device_ = nullptr;
};
