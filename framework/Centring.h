// The framework's placement of a dialog that its initialisation left where
// the platform created it: centred over its owner, or on the work area of
// its monitor, and always inside that work area.
#pragma once

#include "platform/Platform.h"

// What the dialog looked like right before its initialisation message.
struct PlacementBefore {
  bool visible = false;
  Rect frame;
};

PlacementBefore CapturePlacement(WindowHandle dialog);
// Centres the dialog when its initialisation neither showed nor moved it,
// its owner is absent or disabled, and its template leaves the placement to
// the application.
void CenterIfUnplaced(WindowHandle dialog, const PlacementBefore& before);
// The work area of the window's monitor. The monitor functions exist from
// Windows 98 and 2000 on, so they are looked up at run time; without them
// the screen's work area stands in (one monitor).
bool GetWorkArea(WindowHandle window, Rect& area);
