// The entry of the command-line program on Linux.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/ExitCodes.h"
#include "scsi/SgDriver.h"

namespace {

// Descriptors 0, 1 and 2 open, on /dev/null where one was closed: else the
// first device node opened would take its number, and the results or the
// trace written to it would reach the drive as a command. False when one
// cannot be opened.
bool StandardDescriptorsOpen() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number: this one, as those below it are open.
    const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != fd) return false;
  }
  return true;
}

// The system's /dev and /sys, unless the environment names others (the
// tests run the program on a tree of their own).
SystemPaths PathsFromEnvironment() {
  SystemPaths paths;
  if (const char* dev = std::getenv("BITSET_DEV_DIR")) paths.dev = dev;
  if (const char* sys = std::getenv("BITSET_SYS_DIR")) paths.sys = sys;
  return paths;
}

// Results that could not all be written (a full disk, a closed pipe) are a
// failure, whatever the command did.
int OutputWritten(const StandardConsole& console, int exit) {
  const int error = console.WriteError();
  if (error == 0) return exit;
  std::cerr << "bitset: cannot write the results: " << std::strerror(error) << std::endl;
  return exit == kExitSuccess ? kExitUnexpected : exit;
}

}  // namespace

int main(int argc, char** argv) {
  if (!StandardDescriptorsOpen()) return kExitUnexpected;
  try {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    StandardConsole console;
    KernelSgDriver driver;
    return OutputWritten(console, RunBitset(arguments, console, driver, PathsFromEnvironment()));
  } catch (const std::exception& error) {
    std::cerr << "bitset: " << error.what() << std::endl;
  }
  return kExitUnexpected;
}
