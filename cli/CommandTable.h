// The program's commands and options, each described once: the parser, the
// usage text and the dispatch all read this table.
#pragma once

#include <string>
#include <vector>

struct CommandLine;
struct CommandRun;

struct CliOption {
  const char* name;       // "--plus-r"
  const char* shortName;  // "-y"; nullptr when it has none
  const char* valueName;  // the value in the help ("T"); nullptr for a switch
  const char* values;     // the values in the usage ("dvd+r|dvd-rom")
  const char* help;       // its help, lines joined by \n
  bool everyCommand;      // taken by every command, before or after it (-v)
  bool repeats;           // its short name may be doubled ("-vv")
  // Applies the option to the command line; false when the value is none
  // of `values`.
  bool (*apply)(CommandLine& line, const std::string& value);
};

struct CliArgument {
  const char* name;  // "DEVICE"
  const char* help;
};

struct CliCommandSpec {
  const char* name;
  const char* argument;              // "DEVICE", or nullptr when it takes none
  std::vector<const char*> options;  // by long name, in the order of the usage
  const char* help;                  // its help, lines joined by \n
  // What the command line must hold besides its options; nullptr for
  // nothing. False with `error` telling why.
  bool (*check)(const CommandLine& line, std::string& error);
  int (*run)(CommandRun& run);
};

const std::vector<CliCommandSpec>& CliCommands();
const std::vector<CliOption>& CliOptions();
const std::vector<CliArgument>& CliArguments();

// The command of that name, or null.
const CliCommandSpec* FindCommand(const std::string& name);
// The option of that long or short name, or null.
const CliOption* FindOption(const std::string& name);
// True when `command` takes the option.
bool TakesOption(const CliCommandSpec& command, const CliOption& option);
