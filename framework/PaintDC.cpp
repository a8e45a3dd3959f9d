#include "framework/PaintDC.h"

#include "framework/Platform.h"

bool CPaintDC::DrawIcon(int x, int y, IconHandle icon) const {
  return GetPlatform().DrawIcon(dc_, x, y, icon);
}
