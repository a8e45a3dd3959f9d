// What the parts of the in-memory platform share among themselves.
#pragma once

#include <cstdint>
#include <type_traits>

namespace memory {

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorModuleNotFound = 126;
constexpr std::uint32_t kErrorInvalidWindowHandle = 1400;
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitTimeout = 0x102;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

// A handle as the answer of a faulting call.
inline long long Handle(const void* handle) {
  return static_cast<long long>(reinterpret_cast<std::intptr_t>(handle));
}

// A faulting call's answer in the call's own return type.
template <typename T>
T AnswerAs(long long answer) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(static_cast<std::intptr_t>(answer));
  } else {
    return static_cast<T>(answer);
  }
}

}  // namespace memory
