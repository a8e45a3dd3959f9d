#include "ui/Painting.h"

#include "framework/Wnd.h"

namespace {
constexpr int kSmCxIcon = 11;
constexpr int kSmCyIcon = 12;
}  // namespace

bool PaintMinimised(const CWnd& window, IconHandle icon) {
  Platform& platform = GetPlatform();
  if (!platform.IsIconic(window.GetSafeHwnd())) return false;
  platform.Paint(window.GetSafeHwnd(), [&](void* dc) {
    window.SendMessage(Msg::IconEraseBkgnd, reinterpret_cast<WParam>(dc), 0);
    const int iconWidth = platform.GetSystemMetrics(kSmCxIcon);
    const int iconHeight = platform.GetSystemMetrics(kSmCyIcon);
    int width = 0;
    int height = 0;
    platform.GetClientSize(window.GetSafeHwnd(), width, height);
    const int x = (width - iconWidth + 1) / 2;
    const int y = (height - iconHeight + 1) / 2;
    platform.DrawIcon(dc, x, y, icon);
  });
  return true;
}
