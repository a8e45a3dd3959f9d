#include "cli/CommandLine.h"

#include <cctype>

#include "BitsetVersion.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "dvd+r" (or "dvd+rw") is the medium's own type, "dvd-rom" is DVD-ROM.
bool ParseBookType(const std::string& value, const char* ownType, int& choice) {
  const std::string lower = Lower(value);
  if (lower == ownType) {
    choice = 0;
  } else if (lower == "dvd-rom") {
    choice = 1;
  } else {
    return false;
  }
  return true;
}

struct Parser {
  Parser(const std::vector<std::string>& all, CommandLine& parsed, std::string& why)
      : arguments(all), line(parsed), error(why) {}

  const std::vector<std::string>& arguments;
  CommandLine& line;
  std::string& error;
  std::size_t next = 0;
  std::vector<std::string> operands;

  bool Fail(const std::string& text) {
    error = text;
    return false;
  }

  // The value of an option, given as "--name=value" or "--name value".
  bool Value(const std::string& argument, const std::string& name, std::string& value) {
    if (argument.size() > name.size() && argument[name.size()] == '=') {
      value = argument.substr(name.size() + 1);
      return true;
    }
    if (next >= arguments.size()) return Fail(name + " needs a value");
    value = arguments[next++];
    return true;
  }

  bool BookTypeOption(const std::string& argument, const std::string& name, const char* ownType,
                      int& choice) {
    std::string value;
    if (!Value(argument, name, value)) return false;
    if (!ParseBookType(value, ownType, choice)) {
      return Fail(name + " takes " + ownType + " or dvd-rom, not '" + value + "'");
    }
    return true;
  }

  bool Option(const std::string& argument) {
    const std::string name = argument.substr(0, argument.find('='));
    if (name == "--plus-r") return BookTypeOption(argument, name, "dvd+r", line.plusR);
    if (name == "--plus-rw") return BookTypeOption(argument, name, "dvd+rw", line.plusRw);
    if (argument == "--yes" || argument == "-y") {
      line.yes = true;
    } else if (argument == "--dry-run" || argument == "-n") {
      line.dryRun = true;
    } else if (argument == "--verbose" || argument == "-v") {
      ++line.verbose;
    } else if (argument.size() > 2 && argument[0] == '-' && argument[1] == 'v' &&
               argument.find_first_not_of('v', 1) == std::string::npos) {
      line.verbose += static_cast<int>(argument.size() - 1);  // -vv
    } else if (argument == "--json") {
      line.json = true;
    } else {
      return OtherOption(argument);
    }
    return true;
  }

  bool OtherOption(const std::string& argument) {
    if (argument == "--help" || argument == "-h") return Switch(CliCommand::Help);
    if (argument == "--version") return Switch(CliCommand::Version);
    return Fail("unknown option " + argument);
  }

  bool Switch(CliCommand command) {
    wantsHelpOrVersion = true;
    line.command = command;
    return true;
  }
  bool wantsHelpOrVersion = false;

  bool Command() {
    if (operands.empty()) return Fail("no command given");
    const std::string& name = operands[0];
    const std::size_t devices = operands.size() - 1;
    if (name == "help") return Switch(CliCommand::Help);
    if (name == "list") {
      line.command = CliCommand::List;
      if (devices != 0) return Fail("list takes no device");
    } else if (name == "show" || name == "set") {
      line.command = name == "show" ? CliCommand::Show : CliCommand::Set;
      if (devices != 1) return Fail(name + " takes one device, for example /dev/sg1");
      line.device = operands[1];
    } else {
      return Fail("unknown command '" + name + "'");
    }
    return CheckOptions(name);
  }

  bool CheckOptions(const std::string& name) {
    const bool asksValue = line.plusR != kNotAsked || line.plusRw != kNotAsked;
    if (line.command != CliCommand::Set && (asksValue || line.yes || line.dryRun)) {
      return Fail("--plus-r, --plus-rw, --yes and --dry-run belong to set, not to " + name);
    }
    if (line.command == CliCommand::Set && !asksValue) {
      return Fail("set needs --plus-r or --plus-rw (or both)");
    }
    return true;
  }

  bool Run() {
    bool optionsEnded = false;
    while (next < arguments.size()) {
      const std::string& argument = arguments[next++];
      if (!optionsEnded && argument == "--") {
        optionsEnded = true;  // what follows is operands, even when it starts with '-'
      } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
        if (!Option(argument)) return false;
      } else {
        operands.push_back(argument);
      }
    }
    return wantsHelpOrVersion || Command();
  }
};

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
  line = CommandLine();
  Parser parser(arguments, line, error);
  return parser.Run();
}

std::string VersionText() { return "bitset " BITSET_VERSION; }

std::string HelpText() {
  return "Usage:\n"
         "  bitset [-v] list [--json]\n"
         "  bitset [-v] show DEVICE [--json]\n"
         "  bitset set DEVICE [--plus-r dvd+r|dvd-rom] [--plus-rw dvd+rw|dvd-rom]\n"
         "             [--yes] [--dry-run] [--json]\n"
         "  bitset --help | --version\n"
         "\n"
         "Reads and changes the book type that QSI / Nu-Tek DVD writers apply to\n"
         "DVD+R and DVD+RW discs.\n"
         "\n"
         "  list    every CD/DVD and WORM device, with vendor, product, revision and\n"
         "          type; nodes that cannot be opened are named with the reason\n"
         "  show    the drive's +R and +RW book types and its raw settings byte\n"
         "  set     changes the +R and/or +RW book type, after a question on the\n"
         "          terminal, and reads the settings back\n"
         "\n"
         "  DEVICE         a device node such as /dev/sr0 or /dev/sg1; the commands go\n"
         "                 through the drive's /dev/sg* node where there is one\n"
         "  --plus-r T     book type written on DVD+R media: dvd+r or dvd-rom\n"
         "  --plus-rw T    book type written on DVD+RW media: dvd+rw or dvd-rom\n"
         "  --yes, -y      change without asking (for scripts; without a terminal\n"
         "                 and without --yes, set refuses)\n"
         "  --dry-run, -n  set: read and check everything and show the change, but\n"
         "                 send no write\n"
         "  --json         results as JSON lines on standard output\n"
         "  --verbose, -v  each command sent, its status and sense data, in hex, on\n"
         "                 standard error; twice (-vv) the data bytes too\n"
         "  --             ends the options\n"
         "\n"
         "The device needs read and write access, usually membership of the cdrom\n"
         "group. Results go to standard output, messages to standard error.\n"
         "\n"
         "Exit codes:\n"
         "  0  success\n"
         "  1  unexpected error\n"
         "  2  usage error\n"
         "  3  no such device, or it cannot be opened\n"
         "  4  not a CD/DVD or WORM device\n"
         "  5  firmware refused (BX01, BX02)\n"
         "  6  the drive refused or did not answer a command\n"
         "  7  cancelled: the change was not confirmed";
}
