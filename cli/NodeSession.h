// One device node questioned through the system's own command channel: the
// node is opened once, and every command is built and sent as the exe sends
// it, each as one SG_IO request.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cli/CommandTrace.h"
#include "devices/DeviceInfo.h"
#include "devices/Inquiry.h"
#include "scsi/ScsiPassThrough.h"
#include "scsi/ScsiTransport.h"
#include "scsi/SgIoTransport.h"

// Where --verbose shows the commands: the level (0 for none) and the line
// writer.
struct TraceSettings {
  int level = 0;
  std::function<void(const std::string&)> say;
};

class NodeSession {
 public:
  NodeSession(SgDriver& driver, const std::string& node, const TraceSettings& trace = TraceSettings());

  const std::string& Node() const { return node_; }
  // Opens the node; false when it cannot be opened. A command that only
  // reads needs NodeAccess::ReadOnly: a node the user may not write is then
  // opened for reading only.
  bool Open(NodeAccess needed = NodeAccess::ReadWrite);
  // True when the node was opened for reading only.
  bool ReadOnly() const { return readOnly_; }
  // The INQUIRY; on success the record is filled from the response.
  bool Inquire();
  // Runs one of the system's commands on the session's channel: `command`
  // sends it and tells whether it succeeded; after a failure, Failure()
  // tells why.
  bool Run(const std::function<bool(CScsiPassThrough& channel)>& command);

  const CDeviceInfo& Record() const { return record_; }
  const std::uint8_t* InquiryResponse() const { return response_; }
  // Why the node could not be opened (the system refused it, with its
  // errno) or the last command failed; carried out after a success.
  const ScsiOutcome& Failure() const { return failure_; }

 private:
  bool Finish(bool succeeded);

  std::string node_;
  SgIoTransport transport_;
  std::unique_ptr<CommandTrace> trace_;
  CScsiPassThrough channel_;
  CDeviceInfo record_;
  std::uint8_t response_[kInquiryLength] = {};
  ScsiOutcome failure_;
  bool readOnly_ = false;
};

// The failure in words, with a hint where the system's error has a usual
// cause for a command that needs this access: "Permission denied: read and
// write access is needed ...".
std::string DescribeFailure(const ScsiOutcome& failure, const std::string& node,
                            NodeAccess needed = NodeAccess::ReadWrite);
