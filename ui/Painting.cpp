#include "ui/Painting.h"

#include "framework/PaintDC.h"
#include "framework/Wnd.h"

bool PaintMinimised(const CWnd& window, IconHandle icon) {
  if (!window.IsIconic()) return false;
  window.Paint([&](CPaintDC& dc) {
    window.SendMessage(Msg::IconEraseBkgnd, reinterpret_cast<WParam>(dc.GetSafeHdc()), 0);
    const int iconWidth = GetSystemMetrics(Sm::CxIcon);
    const int iconHeight = GetSystemMetrics(Sm::CyIcon);
    int width = 0;
    int height = 0;
    window.GetClientSize(width, height);
    const int x = (width - iconWidth + 1) / 2;
    const int y = (height - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, icon);
  });
  return true;
}
