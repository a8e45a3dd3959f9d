#include "cli/CommandRun.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "bitset/BookSettingsDecoding.h"
#include "bitset/BookTypeCommands.h"
#include "bitset/BookTypeMessages.h"
#include "cli/ExitCodes.h"
#include "cli/HexText.h"
#include "devices/DriveBoxLines.h"

namespace {

TraceSettings Trace(CommandRun& run) {
  Report& report = run.report;
  return TraceSettings{run.line.verbose, [&report](const std::string& line) { report.Message(line); }};
}

// The path with its links resolved, or as given when it cannot be.
std::string Resolved(const std::string& path) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(path, error);
  return error ? path : resolved.string();
}

}  // namespace

std::unique_ptr<NodeSession> OpenFirst(CommandRun& run, const DeviceNode& device, OpenFailure& failure,
                                       NodeAccess needed) {
  for (const std::string& path : device.paths) {
    auto session = std::make_unique<NodeSession>(run.driver, path, Trace(run));
    if (session->Open(needed)) {
      if (session->ReadOnly() && run.line.verbose > 0) {
        run.report.Message(path + ": opened for reading only: writing it is not permitted");
      }
      return session;
    }
    if (failure.node.empty()) {
      failure = {path, "cannot open: " + DescribeFailure(session->Failure(), path, needed)};
    }
  }
  return nullptr;
}

std::vector<std::string> OtherNodes(const DeviceNode& device, const std::string& used) {
  std::vector<std::string> others;
  for (const std::string& path : device.paths) {
    if (path != used) others.push_back(path);
  }
  return others;
}

void ReportDevice(CommandRun& run, const NodeSession& session, const std::vector<std::string>& others) {
  const CDeviceInfo& record = session.Record();
  std::string line = NamedDeviceLine(session.Node(), record) + " " + record.Revision;
  for (const std::string& other : others) line += "  (also " + other + ")";
  run.report.Result(JsonLine()
                        .Text("device", session.Node())
                        .Texts("also", others)
                        .Number("type", record.PeripheralType)
                        .Text("type_name", DeviceTypeName(record.PeripheralType))
                        .Text("vendor", InquiryVendor(session.InquiryResponse(), AsciiUpperCase))
                        .Text("product", InquiryProduct(session.InquiryResponse(), AsciiUpperCase))
                        .Text("revision", record.Revision),
                    {line});
}

DeviceNode DeviceOf(const CommandRun& run) {
  const std::string wanted = Resolved(run.line.device);
  for (const DeviceNode& device : FindDeviceNodes(run.paths)) {
    for (const std::string& path : device.paths) {
      if (Resolved(path) == wanted) return device;
    }
  }
  return DeviceNode{{run.line.device}, std::string(), -1};
}

std::unique_ptr<NodeSession> OpenCdDvd(CommandRun& run, const DeviceNode& device, int& exit,
                                       NodeAccess needed) {
  OpenFailure failure;
  std::unique_ptr<NodeSession> session = OpenFirst(run, device, failure, needed);
  exit = kExitNoDevice;
  if (session == nullptr) {
    run.report.Message(failure.Text());
    return nullptr;
  }
  const std::string& node = session->Node();
  if (!session->Inquire()) {
    // A node without SG_IO is no SCSI device, let alone a CD/DVD.
    exit = session->Failure().systemError == ENOTTY ? kExitNotCdDvd : kExitDriveRefused;
    run.report.Message(node + ": no answer to INQUIRY: " +
                       DescribeFailure(session->Failure(), node, needed));
    return nullptr;
  }
  exit = kExitNotCdDvd;
  const int type = session->Record().PeripheralType;
  if (!IsListedType(type)) {
    run.report.Message(node + ": not a CD/DVD or WORM device (peripheral type " +
                       std::to_string(type) + ")");
    return nullptr;
  }
  exit = kExitSuccess;
  ReportDevice(run, *session, OtherNodes(device, node));
  return session;
}

int ReadSettings(CommandRun& run, NodeSession& session) {
  int settings = -1;
  const bool read = session.Run([&settings](CScsiPassThrough& channel) {
    settings = QueryBookSettings(channel);
    return settings >= 0;
  });
  if (!read) {
    run.report.Message(std::string(kNotQsiDriveMessage) + " (" + session.Node() + ": " +
                       DescribeFailure(session.Failure(), session.Node()) + ")");
  }
  return read ? settings : -1;
}

void ReportSettings(CommandRun& run, const NodeSession& session, int settings) {
  const std::string plusR = BookTypeBitText(settings, Medium::PlusR);
  const std::string plusRw = BookTypeBitText(settings, Medium::PlusRw);
  // The window shows DVD-ROM for +R media at 00h; the program follows the
  // bit, which is what the drive's write values set and clear.
  if (!run.report.Json() && settings == 0) {
    run.report.Message("settings byte 00h: the window shows DVD-ROM for DVD+R media at this byte");
  }
  run.report.Result(JsonLine()
                        .Text("device", session.Node())
                        .Text("plus_r", plusR)
                        .Text("plus_rw", plusRw)
                        .Number("settings", settings),
                    {"DVD+R media:   " + plusR, "DVD+RW media:  " + plusRw,
                     "settings byte: " + HexByte(static_cast<unsigned>(settings))});
}
