// The program's commands: list, show and set, over the Linux platform.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/DeviceNodes.h"

class SgDriver;

// Runs the program with its arguments (without the program's name) and
// returns its exit code. Installs the Linux platform over `driver` while it
// runs.
int RunBitset(const std::vector<std::string>& arguments, Console& console, SgDriver& driver,
              const SystemPaths& paths);
