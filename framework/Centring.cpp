#include "framework/Centring.h"

namespace {

constexpr std::uint32_t kMonitorDefaultToNearest = 2;

bool ShouldCenter(Platform& platform, WindowHandle dialog, const PlacementBefore& before) {
  if (before.visible || platform.IsWindowVisible(dialog)) return false;
  Rect after;
  platform.GetWindowRect(dialog, after);
  if (after.left != before.frame.left || after.top != before.frame.top) return false;
  const WindowHandle owner = platform.GetOwner(dialog);
  if (owner != nullptr && platform.IsWindowEnabled(owner)) return false;
  return (platform.GetStyle(dialog) & (Ds::Center | Ds::CenterMouse | Ds::AbsAlign)) == 0;
}

// The start that centres `length` in [low, high), moved back inside
// [limitLow, limitHigh) where it sticks out (the low edge wins).
int CentredStart(int low, int high, int length, int limitLow, int limitHigh) {
  int start = (low + high - length) / 2;
  if (start + length > limitHigh) start = limitHigh - length;
  if (start < limitLow) start = limitLow;
  return start;
}

}  // namespace

PlacementBefore CapturePlacement(WindowHandle dialog) {
  Platform& platform = GetPlatform();
  PlacementBefore before;
  before.visible = platform.IsWindowVisible(dialog);
  platform.GetWindowRect(dialog, before.frame);
  return before;
}

bool GetWorkArea(WindowHandle window, Rect& area) {
  Platform& platform = GetPlatform();
  const ModuleHandle user32 = platform.GetModuleHandle("USER32.DLL");
  void* monitorFromWindow =
      user32 != nullptr ? platform.GetProcAddress(user32, "MonitorFromWindow") : nullptr;
  void* getMonitorInfo =
      user32 != nullptr ? platform.GetProcAddress(user32, "GetMonitorInfoA") : nullptr;
  if (monitorFromWindow != nullptr && getMonitorInfo != nullptr) {
    void* monitor =
        platform.CallMonitorFromWindow(monitorFromWindow, window, kMonitorDefaultToNearest);
    if (monitor != nullptr && platform.CallGetMonitorInfo(getMonitorInfo, monitor, area)) {
      return true;
    }
  }
  return platform.GetSystemWorkArea(area);
}

void CenterIfUnplaced(WindowHandle dialog, const PlacementBefore& before) {
  Platform& platform = GetPlatform();
  if (!ShouldCenter(platform, dialog, before)) return;
  const WindowHandle owner = platform.GetOwner(dialog);
  Rect work;
  if (!GetWorkArea(owner != nullptr ? owner : dialog, work)) return;
  Rect area = work;
  if (owner != nullptr && platform.IsWindowVisible(owner) && !platform.IsIconic(owner)) {
    platform.GetWindowRect(owner, area);
  }
  Rect frame;
  platform.GetWindowRect(dialog, frame);
  const int x = CentredStart(area.left, area.right, frame.right - frame.left, work.left, work.right);
  const int y = CentredStart(area.top, area.bottom, frame.bottom - frame.top, work.top, work.bottom);
  platform.SetWindowPos(dialog, x, y, 0, 0, Swp::NoSize | Swp::NoZOrder | Swp::NoActivate);
}
