// disc: what the disc in the drive says about itself, asked with standard
// commands only, so any CD/DVD drive answers it; and never a guess: what the
// drive does not tell is a failure with its own exit code.
#include <cstdint>
#include <cstdio>

#include "cli/CommandRun.h"
#include "cli/ExitCodes.h"
#include "disc/DiscCommands.h"

namespace {

std::string Hex(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// "DVD+R (001Bh)"; a code without a name is its number alone.
std::string Coded(const std::string& name, const std::string& number) {
  const bool unnamed = name.size() >= number.size() &&
                       name.compare(name.size() - number.size(), number.size(), number) == 0;
  return unnamed ? number : name + " (" + number + ")";
}

std::string ProfileText(std::uint16_t profile) { return Coded(ProfileName(profile), Hex("%04Xh", profile)); }

void ReportFacts(CommandRun& run, const std::string& node, const DiscFacts& facts) {
  const std::string verdict = DiscVerdict(facts);
  run.report.Result(
      JsonLine()
          .Text("device", node)
          .Number("profile", facts.profile)
          .Text("profile_name", ProfileName(facts.profile))
          .Number("book_type", facts.bookType)
          .Text("book_type_name", BookTypeName(facts.bookType))
          .Number("part_version", facts.partVersion)
          .Number("layers", facts.layers)
          .Number("layer_type", facts.layerType)
          .Text("layer_type_name", LayerTypeName(facts.layerType))
          .Number("disc_status", facts.discStatus)
          .Text("disc_status_name", DiscStatusName(facts.discStatus))
          .Text("verdict", verdict),
      {"profile:       " + ProfileText(facts.profile),
       "book type:     " + Coded(BookTypeName(facts.bookType), Hex("%Xh", facts.bookType)),
       "part version:  " + std::to_string(facts.partVersion),
       "layers:        " + std::to_string(facts.layers),
       "layer type:    " + Coded(LayerTypeName(facts.layerType), Hex("%Xh", facts.layerType)),
       "disc status:   " + DiscStatusName(facts.discStatus), verdict});
}

// Why the disc's book type cannot be told, in words, and its exit code.
int ReportFailure(CommandRun& run, const NodeSession& session, const DiscReading& reading) {
  const std::string& node = session.Node();
  const std::string command = DiscCommandName(reading.command);
  const std::string said =
      " (" + command + ": " + DescribeFailure(session.Failure(), node, NodeAccess::ReadOnly) + ")";
  switch (reading.failure) {
    case DiscFailure::NoDisc:
      run.report.Message(node + ": no disc in the drive" + said);
      return kExitNoDisc;
    case DiscFailure::NotDvd: {
      // Told by its profile, or by the drive's refusal to read a DVD's lead-in.
      run.report.Message(node + ": the disc is not a DVD but a CD, which has no book type" +
                         (reading.sense ? said : " (profile " + ProfileText(reading.facts.profile) + ")"));
      return kExitNotDvd;
    }
    case DiscFailure::ShortAnswer:
      run.report.Message(node + ": the answer to " + command + " ended before the fields read from it (" +
                         std::to_string(session.Failure().transferred) + " bytes)");
      return kExitDriveRefused;
    case DiscFailure::Refused:
    case DiscFailure::None: break;
  }
  run.report.Message(node + ": no answer to " + command + ": " +
                     DescribeFailure(session.Failure(), node, NodeAccess::ReadOnly));
  return kExitDriveRefused;
}

}  // namespace

int RunDisc(CommandRun& run) {
  int exit = kExitSuccess;
  // These commands only read: read access to the node is enough.
  const std::unique_ptr<NodeSession> session =
      OpenCdDvd(run, DeviceOf(run), exit, NodeAccess::ReadOnly);
  if (session == nullptr) return exit;
  DiscReading reading;
  session->Run([&reading](CScsiPassThrough& channel) {
    reading = ReadDisc(channel);
    return reading.failure == DiscFailure::None;
  });
  if (reading.failure != DiscFailure::None) return ReportFailure(run, *session, reading);
  ReportFacts(run, session->Node(), reading.facts);
  return kExitSuccess;
}
