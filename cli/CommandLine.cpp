#include "cli/CommandLine.h"

#include "cli/CommandTable.h"
#include "cli/ExitCodes.h"

#include "BitsetVersion.h"

namespace {

// "a, b and c"
std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

// "dvd+r|dvd-rom" as "dvd+r or dvd-rom".
std::string Alternatives(std::string values) {
  for (std::size_t bar = values.find('|'); bar != std::string::npos; bar = values.find('|', bar)) {
    values.replace(bar, 1, " or ");
  }
  return values;
}

// The repeating option whose short name `argument` doubles or more ("-vv"),
// and how often; null for any other argument.
const CliOption* Repeated(const std::string& argument, std::size_t& times) {
  for (const CliOption& option : CliOptions()) {
    if (!option.repeats || option.shortName == nullptr || argument.size() <= 2) continue;
    if (argument[0] == '-' && argument.find_first_not_of(option.shortName[1], 1) == std::string::npos) {
      times = argument.size() - 1;
      return &option;
    }
  }
  return nullptr;
}

struct Parser {
  Parser(const std::vector<std::string>& all, CommandLine& parsed, std::string& why)
      : arguments(all), line(parsed), error(why) {}

  const std::vector<std::string>& arguments;
  CommandLine& line;
  std::string& error;
  std::size_t next = 0;
  std::vector<std::string> operands;
  std::vector<const CliOption*> given;
  bool wantsHelpOrVersion = false;

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

  bool Option(const std::string& argument) {
    if (argument == "--help" || argument == "-h") return Switch(kHelpCommand);
    if (argument == "--version") return Switch(kVersionCommand);
    const CliOption* option = FindOption(argument.substr(0, argument.find('=')));
    if (option != nullptr && option->valueName != nullptr) return ValueOption(argument, *option);
    std::size_t times = 1;
    option = FindOption(argument);  // a switch takes no value
    if (option == nullptr) option = Repeated(argument, times);
    if (option == nullptr) return Fail("unknown option " + argument);
    given.push_back(option);
    for (std::size_t i = 0; i < times; ++i) option->apply(line, std::string());
    return true;
  }

  bool ValueOption(const std::string& argument, const CliOption& option) {
    std::string value;
    if (!Value(argument, option.name, value)) return false;
    given.push_back(&option);
    if (!option.apply(line, value)) {
      return Fail(std::string(option.name) + " takes " + Alternatives(option.values) + ", not '" +
                  value + "'");
    }
    return true;
  }

  bool Switch(const char* command) {
    wantsHelpOrVersion = true;
    line.command = command;
    return true;
  }

  bool Command() {
    if (operands.empty()) return Fail("no command given");
    const std::string& name = operands[0];
    if (name == kHelpCommand) return Switch(kHelpCommand);
    const CliCommandSpec* command = FindCommand(name);
    if (command == nullptr) return Fail("unknown command '" + name + "'");
    line.command = name;
    const std::size_t devices = operands.size() - 1;
    if (command->argument == nullptr && devices != 0) return Fail(name + " takes no device");
    if (command->argument != nullptr) {
      if (devices != 1) return Fail(name + " takes one device, for example /dev/sg1");
      line.device = operands[1];
    }
    if (!OptionsBelong(*command)) return false;
    return command->check == nullptr || command->check(line, error);
  }

  // Every option given is one the command takes: "--yes ... belong to set,
  // not to show", naming what only the other command takes.
  bool OptionsBelong(const CliCommandSpec& command) {
    for (const CliOption* option : given) {
      if (TakesOption(command, *option)) continue;
      for (const CliCommandSpec& owner : CliCommands()) {
        if (!TakesOption(owner, *option)) continue;
        std::vector<std::string> names;
        for (const char* name : owner.options) {
          if (!TakesOption(command, *FindOption(name))) names.push_back(name);
        }
        return Fail(Listed(names) + " belong to " + owner.name + ", not to " + command.name);
      }
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

// The lines of `text`, each but the first after `indent` blanks.
std::string Indented(const std::string& text, std::size_t indent) {
  std::string out;
  for (char c : text) out += c == '\n' ? "\n" + std::string(indent, ' ') : std::string(1, c);
  return out;
}

// "  name    help", the help starting at column `width` + 2.
std::string Row(const std::string& name, const char* help, std::size_t width) {
  return "  " + name + std::string(width > name.size() ? width - name.size() : 1, ' ') +
         Indented(help, width + 2) + "\n";
}

std::string OptionUsage(const CliOption& option) {
  return std::string(" [") + option.name + (option.values ? std::string(" ") + option.values : "") + "]";
}

// "  bitset [-v] set DEVICE [--plus-r dvd+r|dvd-rom] ...", wrapped below the
// command's name.
std::string UsageLine(const CliCommandSpec& command) {
  std::string head = "  bitset";
  for (const CliOption& option : CliOptions()) {
    if (option.everyCommand) head += std::string(" [") + option.shortName + "]";
  }
  head += std::string(" ") + command.name;
  std::string line = head + (command.argument ? std::string(" ") + command.argument : "");
  std::string text;
  for (const char* name : command.options) {
    const std::string part = OptionUsage(*FindOption(name));
    if (line.size() + part.size() > 78) {
      text += line + "\n";
      line = std::string(head.size(), ' ');
    }
    line += part;
  }
  return text + line + "\n";
}

std::string CommandsHelp() {
  std::string text;
  for (const CliCommandSpec& command : CliCommands()) text += Row(command.name, command.help, 8);
  return text;
}

std::string OptionsHelp() {
  std::string text;
  for (const CliArgument& argument : CliArguments()) text += Row(argument.name, argument.help, 15);
  for (const CliOption& option : CliOptions()) {
    std::string name = option.name;
    if (option.valueName != nullptr) name += std::string(" ") + option.valueName;
    if (option.shortName != nullptr) name += std::string(", ") + option.shortName;
    text += Row(name, option.help, 15);
  }
  return text + Row("--", "ends the options", 15);
}

std::string ExitCodesHelp() {
  std::string text;
  for (const ExitCode& exit : kExitCodes) {
    text += "\n  " + std::to_string(exit.code) + "  " + exit.meaning;
  }
  return text;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
  line = CommandLine();
  Parser parser(arguments, line, error);
  return parser.Run();
}

std::string VersionText() { return "bitset " BITSET_VERSION; }

std::string HelpText() {
  std::string usage = "Usage:\n";
  for (const CliCommandSpec& command : CliCommands()) usage += UsageLine(command);
  return usage + "  bitset --help | --version\n"
                 "\n"
                 "Reads and changes the book type that QSI / Nu-Tek DVD writers apply to\n"
                 "DVD+R and DVD+RW discs.\n"
                 "\n" +
         CommandsHelp() + "\n" + OptionsHelp() +
         "\n"
         "The device needs read and write access (disc: read access), usually\n"
         "membership of the cdrom group. Results go to standard output, messages\n"
         "to standard error.\n"
         "\n"
         "Exit codes:" +
         ExitCodesHelp();
}
