// Drawing the main window while it is minimised.
#pragma once

#include "platform/WinTypes.h"

class CWnd;

// Paints the minimised window: the icon background erased, `icon` centred
// in the client area. False, painting nothing, when the window is not
// minimised: it then paints itself as usual.
bool PaintMinimised(const CWnd& window, IconHandle icon);
