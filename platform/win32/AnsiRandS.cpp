// The C library's rand_s, which the C++ runtime's random device imports and
// this program never calls. MinGW's own stand-in finds it with GetModuleHandleW
// and LoadLibraryW, which Windows 95, 98 and ME only stub; defining the import
// here keeps those two wide-character functions out of the executable. It
// looks the same things up with the ANSI calls: msvcrt's rand_s where that
// exists, else advapi32's RtlGenRandom (exported as SystemFunction036).
#include "platform/win32/WindowsHeaders.h"

#include <cerrno>

namespace {

using RandS = int(__cdecl*)(unsigned int*);
using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);

void* Export(HMODULE module, const char* name) {
  return module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

int __cdecl AnsiRandS(unsigned int* value) {
  if (value == nullptr) return EINVAL;
  if (void* own = Export(GetModuleHandleA("msvcrt.dll"), "rand_s")) {
    return reinterpret_cast<RandS>(own)(value);
  }
  if (void* generate = Export(LoadLibraryA("advapi32.dll"), "SystemFunction036")) {
    if (reinterpret_cast<GenRandom>(generate)(value, sizeof *value)) return 0;
  }
  *value = 0;
  return EINVAL;
}

}  // namespace

// The import slot the runtime calls through (__imp_rand_s, with the leading
// underscore of C names on i686).
extern "C" {
#if defined(_WIN64)
RandS __imp_rand_s = AnsiRandS;
#else
RandS _imp__rand_s = AnsiRandS;
#endif
}
