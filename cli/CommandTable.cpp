#include "cli/CommandTable.h"

#include <cctype>
#include <cstring>

#include "cli/CommandLine.h"

// Each command's own file.
int RunList(CommandRun& run);
int RunShow(CommandRun& run);
int RunSet(CommandRun& run);
int RunDisc(CommandRun& run);
bool CheckSet(const CommandLine& line, std::string& error);

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "dvd+r" (or "dvd+rw") is the medium's own type, "dvd-rom" is DVD-ROM: the
// dialog's radio choices 0 and 1.
bool BookType(const std::string& value, const char* ownType, int& choice) {
  const std::string lower = Lower(value);
  if (lower != ownType && lower != "dvd-rom") return false;
  choice = lower == ownType ? 0 : 1;
  return true;
}

}  // namespace

const std::vector<CliOption>& CliOptions() {
  static const std::vector<CliOption> options{
      {"--plus-r", nullptr, "T", "dvd+r|dvd-rom", "book type written on DVD+R media: dvd+r or dvd-rom",
       false, false,
       [](CommandLine& line, const std::string& value) { return BookType(value, "dvd+r", line.plusR); }},
      {"--plus-rw", nullptr, "T", "dvd+rw|dvd-rom",
       "book type written on DVD+RW media: dvd+rw or dvd-rom", false, false,
       [](CommandLine& line, const std::string& value) { return BookType(value, "dvd+rw", line.plusRw); }},
      {"--yes", "-y", nullptr, nullptr,
       "change without asking (for scripts; without a terminal\nand without --yes, set refuses)", false,
       false, [](CommandLine& line, const std::string&) { return line.yes = true; }},
      {"--dry-run", "-n", nullptr, nullptr,
       "set: read and check everything and show the change, but\nsend no write", false, false,
       [](CommandLine& line, const std::string&) { return line.dryRun = true; }},
      {"--json", nullptr, nullptr, nullptr, "results as JSON lines on standard output", false, false,
       [](CommandLine& line, const std::string&) { return line.json = true; }},
      {"--verbose", "-v", nullptr, nullptr,
       "each command sent, its status and sense data, in hex, on\nstandard error; twice (-vv) the "
       "data bytes too",
       true, true, [](CommandLine& line, const std::string&) { return ++line.verbose > 0; }},
  };
  return options;
}

const std::vector<CliArgument>& CliArguments() {
  static const std::vector<CliArgument> arguments{
      {"DEVICE", "a device node such as /dev/sr0 or /dev/sg1; the commands go\nthrough the drive's "
                 "/dev/sg* node where there is one"},
  };
  return arguments;
}

const std::vector<CliCommandSpec>& CliCommands() {
  static const std::vector<CliCommandSpec> commands{
      {"list", nullptr, {"--json"},
       "every CD/DVD and WORM device, with vendor, product, revision and\ntype; nodes that cannot be "
       "opened are named with the reason",
       nullptr, RunList},
      {"show", "DEVICE", {"--json"}, "the drive's +R and +RW book types and its raw settings byte",
       nullptr, RunShow},
      {"set", "DEVICE", {"--plus-r", "--plus-rw", "--yes", "--dry-run", "--json"},
       "changes the +R and/or +RW book type, after a question on the\nterminal, and reads the "
       "settings back",
       CheckSet, RunSet},
      {"disc", "DEVICE", {"--json"},
       "what the disc in the drive says about itself: its profile, book\ntype, part version, "
       "layers and status; standard commands only", nullptr, RunDisc},
  };
  return commands;
}

const CliCommandSpec* FindCommand(const std::string& name) {
  for (const CliCommandSpec& command : CliCommands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

const CliOption* FindOption(const std::string& name) {
  for (const CliOption& option : CliOptions()) {
    if (name == option.name || (option.shortName != nullptr && name == option.shortName)) return &option;
  }
  return nullptr;
}

bool TakesOption(const CliCommandSpec& command, const CliOption& option) {
  if (option.everyCommand) return true;
  for (const char* name : command.options) {
    if (std::strcmp(name, option.name) == 0) return true;
  }
  return false;
}
