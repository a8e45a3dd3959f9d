// What the commands share: the run they are part of, and the ways to a
// device, its line and its settings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/DeviceNodes.h"
#include "cli/NodeSession.h"
#include "cli/Report.h"

class SgDriver;

struct CommandRun {
  SgDriver& driver;
  Console& console;
  Report& report;
  const CommandLine& line;
  const SystemPaths& paths;
};

// Why the first node tried could not be opened: "/dev/sg0: cannot open: ...".
struct OpenFailure {
  std::string node;
  std::string why;
  std::string Text() const { return node + ": " + why; }
};

// The first of the device's nodes that opens, or null with the failure of
// the first node tried; `needed`: the access the command needs.
std::unique_ptr<NodeSession> OpenFirst(CommandRun& run, const DeviceNode& device, OpenFailure& failure,
                                       NodeAccess needed = NodeAccess::ReadWrite);

// The device's nodes other than `used`.
std::vector<std::string> OtherNodes(const DeviceNode& device, const std::string& used);

// A CD/DVD or WORM device that answered the INQUIRY; `others` are its
// other nodes.
void ReportDevice(CommandRun& run, const NodeSession& session, const std::vector<std::string>& others);

// The device of the command line with all its nodes, the SCSI generic node
// first: given /dev/sr0 (or a link to it), the commands go through the
// drive's /dev/sg* node, which passes them without root rights.
DeviceNode DeviceOf(const CommandRun& run);

// Opens the device of the command line, questions it and reports it: null
// after the message of a failure, whose exit code is then in `exit`.
std::unique_ptr<NodeSession> OpenCdDvd(CommandRun& run, const DeviceNode& device, int& exit,
                                       NodeAccess needed = NodeAccess::ReadWrite);

// The settings byte, or -1 after the exe's message for a drive that does
// not answer the read command.
int ReadSettings(CommandRun& run, NodeSession& session);

// The drive's two book types, by their bits, and its settings byte.
void ReportSettings(CommandRun& run, const NodeSession& session, int settings);
