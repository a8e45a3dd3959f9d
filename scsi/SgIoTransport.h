// One device node of the Linux SCSI generic driver (/dev/sg*, or /dev/sr*
// for root), opened once: each command is one SG_IO request.
#pragma once

#include <string>

#include "scsi/ScsiTransport.h"
#include "scsi/SgDriver.h"

class SgIoTransport : public ScsiTransport {
 public:
  explicit SgIoTransport(SgDriver& driver) : driver_(driver) {}
  ~SgIoTransport() override { Close(); }
  SgIoTransport(const SgIoTransport&) = delete;
  SgIoTransport& operator=(const SgIoTransport&) = delete;

  // 0 when the node is open, else the errno of the failed open.
  int Open(const std::string& node, NodeAccess access = NodeAccess::ReadWrite);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  ScsiOutcome Execute(const ScsiCommand& command) override;

 private:
  SgDriver& driver_;
  int fd_ = -1;
};
