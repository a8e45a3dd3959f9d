#include "cli/NodeSession.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "bitset/BookTypeCommands.h"
#include "platform/linux/LinuxPlatform.h"

namespace {
constexpr char kDriveLetter = 'D';
constexpr char kDriveName[] = "D:";

bool IsOpticalNode(const std::string& node) {
  const std::size_t slash = node.rfind('/');
  return node.compare(slash == std::string::npos ? 0 : slash + 1, 2, "sr") == 0;
}

std::string Hint(int systemError, const std::string& node) {
  switch (systemError) {
    case EACCES:
      return ": read and write access is needed, usually membership of the cdrom group";
    case EPERM:
      return IsOpticalNode(node) ? ": through /dev/sr* the kernel passes vendor commands only for "
                                   "root; the drive has no /dev/sg* node (modprobe sg) to use"
                                 : "";
    case ETIMEDOUT: return ": the drive did not answer within 30 seconds";
    case ENOTTY: return ": not a SCSI device";
    default: return "";
  }
}
}  // namespace

NodeSession::NodeSession(linuxplatform::LinuxPlatform& platform, const std::string& node)
    : platform_(platform), node_(node) {
  platform_.MapDrive(kDriveLetter, node_);
  std::memcpy(record_.DriveName, kDriveName, sizeof kDriveName);
  channel_.BindDevice(&record_);
}

void NodeSession::Begin() {
  platform_.ClearLastError();
  failure_ = NodeFailure();
}

bool NodeSession::Finish(bool succeeded) {
  if (succeeded) return true;
  failure_.sense = HasSenseData(channel_.Request());
  failure_.codes = SenseCodesOf(channel_.Request());
  failure_.systemError = failure_.sense ? 0 : platform_.LastSystemError();
  return false;
}

bool NodeSession::Open() {
  Begin();
  return Finish(channel_.OpenDrive(kDriveName) == 1);
}

bool NodeSession::Inquire() {
  Begin();
  if (SendInquiry(channel_, response_) != kCommandSucceeded) return Finish(false);
  FillFromInquiry(record_, response_);
  return true;
}

int NodeSession::ReadSettings() {
  Begin();
  const int settings = QueryBookSettings(channel_);
  Finish(settings >= 0);
  return settings;
}

bool NodeSession::Write(std::uint8_t valueByte) {
  Begin();
  return Finish(SetBookType(channel_, valueByte) == kCommandSucceeded);
}

std::string DescribeFailure(const NodeFailure& failure, const std::string& node) {
  char text[160];
  if (failure.sense) {
    std::snprintf(text, sizeof text, "sense key %Xh (%s), ASC %02Xh, ASCQ %02Xh",
                  unsigned{failure.codes.key}, SenseKeyName(failure.codes.key),
                  unsigned{failure.codes.asc}, unsigned{failure.codes.ascq});
    return text;
  }
  if (failure.systemError == 0) return "no answer";
  return std::strerror(failure.systemError) + Hint(failure.systemError, node);
}
