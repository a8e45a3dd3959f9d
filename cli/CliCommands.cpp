#include "cli/CliCommands.h"

#include "cli/CommandRun.h"
#include "cli/CommandTable.h"
#include "cli/ExitCodes.h"

int RunBitset(const std::vector<std::string>& arguments, Console& console, SgDriver& driver,
              const SystemPaths& paths) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(arguments, line, error)) {
    console.Message("bitset: " + Printable(error));
    console.Message("bitset: try 'bitset --help'");
    return kExitUsage;
  }
  if (line.command == kHelpCommand) {
    console.Result(HelpText());
    return kExitSuccess;
  }
  if (line.command == kVersionCommand) {
    console.Result(VersionText());
    return kExitSuccess;
  }
  Report report(console, line.json);
  CommandRun run{driver, console, report, line, paths};
  return FindCommand(line.command)->run(run);
}
