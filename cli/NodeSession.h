// One device node questioned through the system's own command channel: the
// Linux platform puts the node behind drive D:, and a record for it is bound
// to the channel, so every command is built and sent as the exe sends it.
#pragma once

#include <cstdint>
#include <string>

#include "devices/DeviceInfo.h"
#include "devices/Inquiry.h"
#include "scsi/ScsiPassThrough.h"
#include "scsi/SenseData.h"

namespace linuxplatform {
class LinuxPlatform;
}

// Why a node could not be opened or a command failed.
struct NodeFailure {
  bool sense = false;   // the drive answered with sense data
  SenseCodes codes;
  int systemError = 0;  // else the errno of the platform; 0 when unknown
};

class NodeSession {
 public:
  NodeSession(linuxplatform::LinuxPlatform& platform, const std::string& node);

  const std::string& Node() const { return node_; }
  // Opens the node for the next command; false when it cannot be opened.
  bool Open();
  // The INQUIRY; on success the record is filled from the response.
  bool Inquire();
  // The settings byte (0 to 255), or -1 when the read command fails.
  int ReadSettings();
  // The write command with one value byte.
  bool Write(std::uint8_t valueByte);

  const CDeviceInfo& Record() const { return record_; }
  const std::uint8_t* InquiryResponse() const { return response_; }
  const NodeFailure& Failure() const { return failure_; }

 private:
  void Begin();
  bool Finish(bool succeeded);

  linuxplatform::LinuxPlatform& platform_;
  std::string node_;
  CScsiPassThrough channel_;
  CDeviceInfo record_;
  std::uint8_t response_[kInquiryLength] = {};
  NodeFailure failure_;
};

// The failure in words, with a hint where the system's error has a usual
// cause: "Permission denied: read and write access is needed ...".
std::string DescribeFailure(const NodeFailure& failure, const std::string& node);
