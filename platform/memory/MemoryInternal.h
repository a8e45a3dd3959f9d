// What the parts of the in-memory platform share among themselves.
#pragma once

#include <cstdint>

namespace memory {

class MemoryPlatform;

// The platform the simulated library entry points answer for.
MemoryPlatform* CurrentMemoryPlatform();

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorModuleNotFound = 126;

}  // namespace memory
