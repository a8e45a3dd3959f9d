#include "app/PlatformClass.h"

#include "platform/Platform.h"

namespace {
constexpr unsigned kVerPlatformWin32Windows = 1;
constexpr unsigned kVerPlatformWin32Nt = 2;
}  // namespace

PlatformClass ClassifyPlatform(const OsVersionInfo& version) {
  if (version.platformId == kVerPlatformWin32Windows) {
    const bool windows95 = version.majorVersion == 4 && version.minorVersion == 0;
    return windows95 ? kPlatformWindows95 : kPlatformWindows98;
  }
  if (version.platformId == kVerPlatformWin32Nt) {
    if (version.majorVersion == 4) return kPlatformNt4;
    if (version.majorVersion == 5) {
      if (version.minorVersion == 0) return kPlatformWindows2000;
      if (version.minorVersion == 1) return kPlatformWindowsXp;
    }
  }
  return kPlatformOther;
}

PlatformClass GetPlatformClass() {
  OsVersionInfo version;
  if (!GetPlatform().GetVersion(version)) return kPlatformUnknown;
  return ClassifyPlatform(version);
}
