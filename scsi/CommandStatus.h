// The outcome of one drive command: 0 is success, anything else failure.
// Callers never decode a failure.
#pragma once

#include <cstdint>

using CommandStatus = std::int32_t;

constexpr CommandStatus kCommandSucceeded = 0;
constexpr CommandStatus kCommandFailed = 1;

// Data direction of a command.
constexpr int kDataFromDrive = 1;
constexpr int kDataToDriveOrNone = 0;
