#include "platform/Format.h"

#include <cstdio>
#include <vector>

namespace {
constexpr std::size_t kFirstSize = 128;
constexpr std::size_t kMaxSize = 65536;

// On Windows the C library's own formatting: MinGW's C99 one would carry its
// floating-point conversions (some 40 KiB) into the executable, for texts
// that hold only integers and strings.
int SystemFormatInto(char* buffer, std::size_t size, const char* format, va_list args) {
#if defined(_WIN32)
  return _vsnprintf(buffer, size, format, args);
#else
  return std::vsnprintf(buffer, size, format, args);
#endif
}
}  // namespace

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringWith(SystemFormatInto, format, args);
  va_end(args);
  return text;
}

// A length that fills the buffer is no fit: the Windows C library then
// writes no terminating zero.
std::string FormatStringWith(FormatFunction formatInto, const char* format, va_list args) {
  std::vector<char> buffer(kFirstSize);
  for (;;) {
    va_list attempt;
    va_copy(attempt, args);
    const int length = formatInto(buffer.data(), buffer.size(), format, attempt);
    va_end(attempt);
    if (length >= 0 && static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    if (buffer.size() >= kMaxSize) return std::string();
    buffer.resize(length >= 0 ? static_cast<std::size_t>(length) + 1 : buffer.size() * 2);
  }
}
