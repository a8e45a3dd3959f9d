// Asks the drive bound to the command channel what its disc says about
// itself, with three standard commands that any CD/DVD drive knows: GET
// CONFIGURATION, READ DVD STRUCTURE and READ DISC INFORMATION, in this
// order, each only when the one before told what it needs. Never a vendor
// command, and never a guess: what cannot be read from the drive's answers
// is a failure.
#pragma once

#include <cstdint>

#include "disc/DiscFacts.h"
#include "scsi/SenseData.h"

class CScsiPassThrough;

enum class DiscFailure {
  None,
  NoDisc,       // the drive says 02h/3Ah: no medium present
  NotDvd,       // a CD: a CD profile, or READ DVD STRUCTURE refused with 05h/30h
  Refused,      // the drive refused a command, or did not answer it
  ShortAnswer,  // an answer ended before the fields read from it
};

enum class DiscCommand { GetConfiguration, ReadDvdStructure, ReadDiscInformation };

struct DiscReading {
  DiscFailure failure = DiscFailure::None;
  DiscCommand command = DiscCommand::GetConfiguration;  // the last command sent
  bool sense = false;    // the last command ended with sense data...
  SenseCodes codes;      // ...these
  DiscFacts facts;       // what was read; all of it only without a failure
};

DiscReading ReadDisc(CScsiPassThrough& channel);

// The command's standard name: "GET CONFIGURATION".
const char* DiscCommandName(DiscCommand command);
