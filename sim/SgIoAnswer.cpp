#include "sim/SgIoAnswer.h"

#include <algorithm>
#include <cerrno>

namespace sim {

namespace {

constexpr std::uint8_t kCheckCondition = 0x02;  // the SCSI status byte
constexpr std::uint8_t kDriverSense = 0x08;     // sense data is in the buffer
constexpr std::uint8_t kFixedSenseLength = 18;

// The request as the driver checks it; 0 when it goes to the drive.
int CheckRequest(const sg_io_hdr_t& header, Direction& direction) {
  if (header.interface_id != 'S') return ENOSYS;
  if (header.iovec_count != 0) return EINVAL;  // scattered buffers: never sent here
  if (header.cmdp == nullptr || header.cmd_len == 0 || header.cmd_len > 16) return EINVAL;
  switch (header.dxfer_direction) {
    case SG_DXFER_NONE: direction = Direction::None; break;
    case SG_DXFER_TO_DEV: direction = Direction::ToDrive; break;
    case SG_DXFER_FROM_DEV:
    case SG_DXFER_TO_FROM_DEV: direction = Direction::FromDrive; break;
    default: return EINVAL;
  }
  if (direction != Direction::None && header.dxfer_len > 0 && header.dxferp == nullptr) {
    return EFAULT;
  }
  return 0;
}

void StoreOutcome(const SgIoAnswer& answer, sg_io_hdr_t& header) {
  header.host_status = 0;
  header.msg_status = 0;
  header.duration = 0;
  header.sb_len_wr = 0;
  header.resid = 0;
  if (answer.direction == Direction::FromDrive) {
    header.resid = static_cast<int>(answer.length - std::min(answer.result.transferred, answer.length));
  }
  if (!answer.result.checkCondition) {
    header.status = answer.result.status;
    header.masked_status = static_cast<unsigned char>(answer.result.status >> 1);
    header.driver_status = 0;
    header.info = answer.result.status == 0 ? SG_INFO_OK : SG_INFO_CHECK;
    return;
  }
  header.status = kCheckCondition;
  header.masked_status = kCheckCondition >> 1;
  header.driver_status = kDriverSense;
  header.info = SG_INFO_CHECK;
  if (header.sbp != nullptr && header.mx_sb_len > 0) {
    header.sb_len_wr = std::min<unsigned char>(header.mx_sb_len, kFixedSenseLength);
    DriveModel::WriteSense(answer.result.sense, header.sbp, header.sb_len_wr);
  }
}

}  // namespace

SgIoAnswer AnswerSgIo(DriveModel& drive, sg_io_hdr_t& header) {
  SgIoAnswer answer;
  answer.error = CheckRequest(header, answer.direction);
  if (answer.error != 0) return answer;
  answer.length = answer.direction == Direction::None ? 0 : header.dxfer_len;
  answer.result = drive.Execute(header.cmdp, header.cmd_len, answer.direction,
                                static_cast<std::uint8_t*>(header.dxferp), answer.length);
  StoreOutcome(answer, header);
  return answer;
}

}  // namespace sim
