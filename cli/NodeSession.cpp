#include "cli/NodeSession.h"

#include <cerrno>
#include <cstdio>
#include <cstring>


namespace {

bool IsOpticalNode(const std::string& node) {
  const std::size_t slash = node.rfind('/');
  return node.compare(slash == std::string::npos ? 0 : slash + 1, 2, "sr") == 0;
}

std::string Hint(int systemError, const std::string& node, NodeAccess needed) {
  const bool reads = needed == NodeAccess::ReadOnly;
  switch (systemError) {
    case EACCES:
      return reads ? ": read access is needed, usually membership of the cdrom group"
                   : ": read and write access is needed, usually membership of the cdrom group";
    case EPERM:
      return IsOpticalNode(node) && !reads
                 ? ": through /dev/sr* the kernel passes vendor commands only for root; the drive "
                   "has no /dev/sg* node (modprobe sg) to use"
                 : "";
    case ETIMEDOUT: return ": the drive did not answer within 30 seconds";
    case ENOTTY: return ": not a SCSI device";
    default: return "";
  }
}

// The errors of an open for writing that an open for reading may not meet:
// no write permission, or a node or medium that cannot be written.
bool WritingRefused(int error) { return error == EACCES || error == EPERM || error == EROFS; }

ScsiTransport& Traced(SgIoTransport& transport, std::unique_ptr<CommandTrace>& trace,
                      const TraceSettings& settings) {
  if (settings.level <= 0 || !settings.say) return transport;
  trace = std::make_unique<CommandTrace>(transport, settings.level, settings.say);
  return *trace;
}

}  // namespace

NodeSession::NodeSession(SgDriver& driver, const std::string& node, const TraceSettings& trace)
    : node_(node), transport_(driver), channel_(Traced(transport_, trace_, trace)) {
  channel_.BindDevice(&record_);
}

bool NodeSession::Finish(bool succeeded) {
  // A read whose response ends before the settings byte was carried out
  // and still failed: its outcome says so.
  failure_ = channel_.LastOutcome();
  return succeeded;
}

bool NodeSession::Open(NodeAccess needed) {
  failure_ = ScsiOutcome();
  int error = transport_.Open(node_);
  readOnly_ = needed == NodeAccess::ReadOnly && WritingRefused(error);
  if (readOnly_) error = transport_.Open(node_, NodeAccess::ReadOnly);
  if (error != 0) SetRefused(failure_, error);
  return error == 0;
}

bool NodeSession::Inquire() {
  if (!Finish(SendInquiry(channel_, response_) == kCommandSucceeded)) return false;
  FillFromInquiry(record_, response_, AsciiUpperCase);
  return true;
}

bool NodeSession::Run(const std::function<bool(CScsiPassThrough& channel)>& command) {
  return Finish(command(channel_));
}

std::string DescribeFailure(const ScsiOutcome& failure, const std::string& node, NodeAccess needed) {
  char text[160];
  switch (failure.end) {
    case ScsiEnd::Sense:
      std::snprintf(text, sizeof text, "sense key %Xh (%s), ASC %02Xh, ASCQ %02Xh%s",
                    unsigned{failure.codes.key}, SenseKeyName(failure.codes.key),
                    unsigned{failure.codes.asc}, unsigned{failure.codes.ascq},
                    failure.codes.deferred ? ", deferred" : "");
      return text;
    case ScsiEnd::OtherStatus:
      std::snprintf(text, sizeof text, "status %02Xh (%s): the drive did not carry the command out",
                    unsigned{failure.status}, ScsiStatusName(failure.status));
      return text;
    case ScsiEnd::CarriedOut: return "the response ended before the settings byte";
    case ScsiEnd::Refused:
    case ScsiEnd::NoAnswer: break;
  }
  if (failure.systemError == 0) return "no answer";
  return std::strerror(failure.systemError) + Hint(failure.systemError, node, needed);
}
