// One SG_IO request answered by a simulated drive, as the kernel's SCSI
// generic driver would: status, sense data and residue in the header. Used
// by the preloaded SG_IO library and by the tests of the Linux platform.
#pragma once

#include <scsi/sg.h>

#include <cstdint>

#include "sim/DriveModel.h"

namespace sim {

struct SgIoAnswer {
  int error = 0;  // the errno of a request the driver refuses; 0 when the drive was asked
  Direction direction = Direction::None;
  std::uint32_t length = 0;  // data length the drive was given
  CommandResult result;
};

SgIoAnswer AnswerSgIo(DriveModel& drive, sg_io_hdr_t& header);

}  // namespace sim
