// The exit codes of the command-line program, with the meaning that --help
// gives each; the manual page and docs/cli.md list the same codes.
#pragma once

constexpr int kExitSuccess = 0;
constexpr int kExitUnexpected = 1;      // an error of the program itself
constexpr int kExitUsage = 2;           // the command line is wrong
constexpr int kExitNoDevice = 3;        // no such device, or it cannot be opened
constexpr int kExitNotCdDvd = 4;        // not a CD/DVD or WORM device
constexpr int kExitFirmwareRefused = 5; // firmware BX01 or BX02
constexpr int kExitDriveRefused = 6;    // the drive refused or did not answer a command
constexpr int kExitCancelled = 7;       // the change was not confirmed
constexpr int kExitNoDisc = 8;          // disc: no disc in the drive
constexpr int kExitNotDvd = 9;          // disc: a CD, which has no book type

struct ExitCode {
  int code;
  const char* meaning;  // as --help says it
};

// Every exit code, in order.
constexpr ExitCode kExitCodes[] = {
    {kExitSuccess, "success"},
    {kExitUnexpected, "unexpected error"},
    {kExitUsage, "usage error"},
    {kExitNoDevice, "no such device, or it cannot be opened"},
    {kExitNotCdDvd, "not a CD/DVD or WORM device"},
    {kExitFirmwareRefused, "firmware refused (BX01, BX02)"},
    {kExitDriveRefused, "the drive refused or did not answer a command"},
    {kExitCancelled, "cancelled: the change was not confirmed"},
    {kExitNoDisc, "no disc in the drive"},
    {kExitNotDvd, "the disc is not a DVD (a CD)"},
};
