// Which family of Windows is running, as a small code. 2 and above is the
// NT family, reached through the system's own SCSI pass-through; below 2 the
// drives are reached through the ASPI library.
#pragma once

#include "scsi/ScsiRoute.h"

using PlatformClass = int;

constexpr PlatformClass kPlatformUnknown = -1;     // the version query failed
constexpr PlatformClass kPlatformWindows95 = 0;
constexpr PlatformClass kPlatformWindows98 = 1;    // 98, 98 SE, ME
constexpr PlatformClass kPlatformNt4 = 2;
constexpr PlatformClass kPlatformWindows2000 = 3;
constexpr PlatformClass kPlatformWindowsXp = 4;
constexpr PlatformClass kPlatformOther = 5;        // later NT releases, Win32s, anything else

struct OsVersionInfo;

// Asks the system anew at every call.
PlatformClass GetPlatformClass();
// The code for a version the system reported.
PlatformClass ClassifyPlatform(const OsVersionInfo& version);
// The route through the system's own pass-through (SPTI), else ASPI.
inline bool UsesSpti(PlatformClass platformClass) { return platformClass >= kPlatformNt4; }
// The command channel's route for the running Windows.
inline ScsiRoute RouteFor(PlatformClass platformClass) {
  return UsesSpti(platformClass) ? ScsiRoute::Spti : ScsiRoute::Aspi;
}
