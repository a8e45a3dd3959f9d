// A SCSI_PASS_THROUGH_DIRECT request as the kernel's SG_IO request, and the
// kernel's answer written back into the request block and its sense area,
// as Windows leaves them after the pass-through.
#pragma once

#include <scsi/sg.h>

#include <cstdint>

#include "scsi/ScsiPassThroughDirect.h"

// What Windows checks before it sends a request: the block's own size, a CDB
// of 1 to 16 bytes, a known direction, a buffer for any data, and a sense
// area inside the output buffer of `outLength` bytes.
bool IsValidPassThrough(const ScsiPassThroughDirect& request, std::uint32_t outLength);

// The SG_IO header for the request; the drive's sense data goes to `sense`
// (room for 255 bytes), at most SenseInfoLength of it.
sg_io_hdr_t SgIoHeaderFor(ScsiPassThroughDirect& request, std::uint8_t* sense);

// The request failed below the drive (adapter or driver error, time-out):
// Windows then fails the call instead of reporting a SCSI status.
bool FailedBelowDrive(const sg_io_hdr_t& header);
bool TimedOut(const sg_io_hdr_t& header);

// SCSI status, transferred length and sense length into the block.
void StoreSgIoResult(const sg_io_hdr_t& header, ScsiPassThroughDirect& request);
