#include "scsi/SgIoTransport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {
constexpr unsigned kMaxCdbLength = 16;
constexpr std::uint32_t kMillisecondsPerSecond = 1000;
// The low bits of driver_status say how the driver ended the request; the
// sense flag (08h) alone means only that sense data came back.
constexpr unsigned kDriverStatusMask = 0x07;
constexpr unsigned kDriverTimeout = 0x06;
constexpr unsigned kHostTimeOut = 0x03;  // DID_TIME_OUT

unsigned TimeoutMilliseconds(std::uint32_t seconds) {
  const std::uint64_t milliseconds = std::uint64_t{seconds} * kMillisecondsPerSecond;
  return static_cast<unsigned>(
      std::min<std::uint64_t>(milliseconds, std::numeric_limits<unsigned>::max()));
}

sg_io_hdr_t HeaderFor(const ScsiCommand& command, std::uint8_t* sense) {
  sg_io_hdr_t header;
  std::memset(&header, 0, sizeof header);
  header.interface_id = 'S';
  header.cmdp = const_cast<std::uint8_t*>(command.cdb);  // the kernel only reads it
  header.cmd_len = command.cdbLength;
  header.dxfer_len = command.data == nullptr ? 0 : command.length;
  header.dxfer_direction = header.dxfer_len == 0 ? SG_DXFER_NONE
                           : command.fromDevice  ? SG_DXFER_FROM_DEV
                                                 : SG_DXFER_TO_DEV;
  header.dxferp = header.dxfer_len == 0 ? nullptr : command.data;
  header.sbp = sense;
  header.mx_sb_len = kMaxSenseLength;
  header.timeout = TimeoutMilliseconds(command.timeOutSeconds);
  return header;
}

// What the kernel reported of a request it carried out.
void StoreResult(const sg_io_hdr_t& header, ScsiOutcome& outcome) {
  const bool timedOut = header.host_status == kHostTimeOut ||
                        (header.driver_status & kDriverStatusMask) == kDriverTimeout;
  // The adapter or the driver ended the request: the drive gave no status.
  if (timedOut || header.host_status != 0 || (header.driver_status & kDriverStatusMask) != 0) {
    SetNoAnswer(outcome, timedOut ? ETIMEDOUT : EIO, timedOut);
    return;
  }
  outcome.senseLength = std::min<std::uint8_t>(header.sb_len_wr, kMaxSenseLength);
  const auto residue = static_cast<std::uint32_t>(std::max(header.resid, 0));
  SetAnswer(outcome, header.status, header.dxfer_len - std::min(residue, header.dxfer_len));
}
}  // namespace

int SgIoTransport::Open(const std::string& node, NodeAccess access) {
  Close();
  const int fd = driver_.Open(node, access);
  if (fd < 0) return -fd;
  fd_ = fd;
  return 0;
}

void SgIoTransport::Close() {
  if (fd_ < 0) return;
  driver_.Close(fd_);
  fd_ = -1;
}

ScsiOutcome SgIoTransport::Execute(const ScsiCommand& command) {
  ScsiOutcome outcome;
  if (fd_ < 0) {
    SetRefused(outcome, EBADF);
    return outcome;
  }
  if (command.cdb == nullptr || command.cdbLength == 0 || command.cdbLength > kMaxCdbLength) {
    SetRefused(outcome, EINVAL);
    return outcome;
  }
  sg_io_hdr_t header = HeaderFor(command, outcome.sense);
  const int sent = driver_.SendRequest(fd_, header);
  if (sent == -ETIMEDOUT) {
    SetNoAnswer(outcome, ETIMEDOUT, true);
  } else if (sent < 0) {
    SetRefused(outcome, -sent);
  } else {
    StoreResult(header, outcome);
  }
  return outcome;
}
