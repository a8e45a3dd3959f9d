// The program: its command line parsed and the command of the table run,
// over the kernel's SCSI generic driver.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/DeviceNodes.h"

class SgDriver;

// Runs the program with its arguments (without the program's name) and
// returns its exit code. Every command goes through `driver`.
int RunBitset(const std::vector<std::string>& arguments, Console& console, SgDriver& driver,
              const SystemPaths& paths);
