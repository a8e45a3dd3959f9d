// Drawing the window while it is minimised, and its drag icon.
#include "app/DvdInfoDlg.h"

namespace {
constexpr int kSmCxIcon = 11;
constexpr int kSmCyIcon = 12;
}  // namespace

// WM_PAINT
void CDvdInfoDlg::OnPaint() {
  Platform& platform = GetPlatform();
  if (!platform.IsIconic(GetSafeHwnd())) {
    Default();
    return;
  }
  platform.Paint(GetSafeHwnd(), [&](void* dc) {
    SendMessage(Msg::IconEraseBkgnd, reinterpret_cast<WParam>(dc), 0);
    const int iconWidth = platform.GetSystemMetrics(kSmCxIcon);
    const int iconHeight = platform.GetSystemMetrics(kSmCyIcon);
    int width = 0;
    int height = 0;
    platform.GetClientSize(GetSafeHwnd(), width, height);
    const int x = (width - iconWidth + 1) / 2;
    const int y = (height - iconHeight + 1) / 2;
    platform.DrawIcon(dc, x, y, m_icon);
  });
}

// WM_QUERYDRAGICON
LResult CDvdInfoDlg::OnQueryDragIcon() { return reinterpret_cast<LResult>(m_icon); }
