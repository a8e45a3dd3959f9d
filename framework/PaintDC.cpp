#include "framework/PaintDC.h"

#include "platform/Platform.h"

bool CPaintDC::DrawIcon(int x, int y, IconHandle icon) const {
  return GetPlatform().DrawIcon(dc_, x, y, icon);
}
