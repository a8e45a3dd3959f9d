#include "platform/linux/SgIoTranslation.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
constexpr std::uint32_t kMaxCdbLength = 16;
constexpr std::uint32_t kMillisecondsPerSecond = 1000;
// The low bits of driver_status say how the driver ended the request; the
// sense flag (08h) alone means only that sense data came back.
constexpr unsigned kDriverStatusMask = 0x07;
constexpr unsigned kDriverTimeout = 0x06;
constexpr unsigned kHostTimeOut = 0x03;  // DID_TIME_OUT

int SgDirection(const ScsiPassThroughDirect& request) {
  if (request.DataTransferLength == 0) return SG_DXFER_NONE;
  switch (request.DataIn) {
    case kScsiIoctlDataIn: return SG_DXFER_FROM_DEV;
    case kScsiIoctlDataOut: return SG_DXFER_TO_DEV;
    default: return SG_DXFER_TO_FROM_DEV;
  }
}

unsigned TimeoutMilliseconds(std::uint32_t seconds) {
  const std::uint64_t milliseconds = std::uint64_t{seconds} * kMillisecondsPerSecond;
  return static_cast<unsigned>(
      std::min<std::uint64_t>(milliseconds, std::numeric_limits<unsigned>::max()));
}
}  // namespace

bool IsValidPassThrough(const ScsiPassThroughDirect& request, std::uint32_t outLength) {
  if (request.Length != sizeof(ScsiPassThroughDirect)) return false;
  if (request.CdbLength == 0 || request.CdbLength > kMaxCdbLength) return false;
  if (request.DataIn > kScsiIoctlDataUnspecified) return false;
  if (request.DataTransferLength > 0 && request.DataBuffer == nullptr) return false;
  if (request.SenseInfoLength == 0) return true;
  return request.SenseInfoOffset >= sizeof(ScsiPassThroughDirect) &&
         std::uint64_t{request.SenseInfoOffset} + request.SenseInfoLength <= outLength;
}

sg_io_hdr_t SgIoHeaderFor(ScsiPassThroughDirect& request, std::uint8_t* sense) {
  sg_io_hdr_t header;
  std::memset(&header, 0, sizeof header);
  header.interface_id = 'S';
  header.cmdp = request.Cdb;
  header.cmd_len = request.CdbLength;
  header.dxfer_direction = SgDirection(request);
  header.dxfer_len = header.dxfer_direction == SG_DXFER_NONE ? 0 : request.DataTransferLength;
  header.dxferp = header.dxfer_len == 0 ? nullptr : request.DataBuffer;
  header.sbp = sense;
  header.mx_sb_len = request.SenseInfoLength;
  header.timeout = TimeoutMilliseconds(request.TimeOutValue);
  return header;
}

bool FailedBelowDrive(const sg_io_hdr_t& header) {
  return header.host_status != 0 || (header.driver_status & kDriverStatusMask) != 0;
}

bool TimedOut(const sg_io_hdr_t& header) {
  return header.host_status == kHostTimeOut ||
         (header.driver_status & kDriverStatusMask) == kDriverTimeout;
}

void StoreSgIoResult(const sg_io_hdr_t& header, ScsiPassThroughDirect& request) {
  request.ScsiStatus = header.status;
  const auto residue = static_cast<std::uint32_t>(std::max(header.resid, 0));
  request.DataTransferLength = header.dxfer_len - std::min(residue, header.dxfer_len);
  request.SenseInfoLength = std::min(header.sb_len_wr, header.mx_sb_len);
}
