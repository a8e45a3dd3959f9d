// printf-style formatting into a string.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string FormatString(const char* format, ...);

// A vsnprintf of either convention: C99's, which returns the length the
// text needs, or the Windows C library's, which returns -1 when the text
// does not fit and leaves an exact fit unterminated.
using FormatFunction = int (*)(char* buffer, std::size_t size, const char* format, va_list args);

// FormatString through `formatInto`, growing the buffer until the text fits;
// an empty text once a buffer of 64 KiB was too small.
std::string FormatStringWith(FormatFunction formatInto, const char* format, va_list args);
