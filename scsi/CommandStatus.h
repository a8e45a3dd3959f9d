// The outcome of one drive command: 0 is success, anything else failure.
// Callers never decode a failure.
#pragma once

#include <cstdint>

using CommandStatus = std::int32_t;

constexpr CommandStatus kCommandSucceeded = 0;
constexpr CommandStatus kCommandFailed = 1;
