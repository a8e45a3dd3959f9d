// The command line of the program: one command, its device, its options.
#pragma once

#include <string>
#include <vector>

// A book type asked for on the command line, as the dialog's radio choice:
// 0 the medium's own book type, 1 DVD-ROM; kNotAsked leaves it alone.
constexpr int kNotAsked = -1;

// The two words that are no command of the table.
constexpr char kHelpCommand[] = "help";
constexpr char kVersionCommand[] = "version";

struct CommandLine {
  std::string command = kHelpCommand;  // a command of the table, or help or version
  std::string device;
  int plusR = kNotAsked;
  int plusRw = kNotAsked;
  bool yes = false;     // change without asking
  bool dryRun = false;  // set: everything up to the write, then stop
  bool json = false;    // results as JSON lines
  int verbose = 0;      // how much of each command to show on standard error
};

// The arguments after the program's name. False, with `error` telling why,
// when they do not form a command.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error);

// The text of --help: commands, options and exit codes.
std::string HelpText();
// The text of --version.
std::string VersionText();
