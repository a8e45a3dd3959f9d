// The screen of the in-memory platform: window frames, owners, visibility,
// the work area, and user32's monitor functions when this Windows has them.
#include "platform/memory/MemoryInternal.h"
#include "platform/memory/MemoryPlatform.h"

namespace memory {

namespace {

constexpr std::uint32_t kMonitorDefaultToNull = 0;

bool IsDialog(const MemoryWindow* window) { return window->windowClass == "#32770"; }

}  // namespace

void MemoryPlatform::MoveWindow(WindowHandle window, int x, int y) {
  Window(window)->x = x;
  Window(window)->y = y;
}

bool MemoryPlatform::GetWindowRect(WindowHandle window, Rect& rect) {
  const MemoryWindow* self = Window(window);
  if (self == nullptr) return false;
  // A control's place is relative to its dialog; a dialog's is on the screen.
  int x = self->x;
  int y = self->y;
  if (!IsDialog(self) && self->parent != nullptr) {
    x += self->parent->x;
    y += self->parent->y;
  }
  rect = Rect{x, y, x + self->cx, y + self->cy};
  return true;
}

WindowHandle MemoryPlatform::GetOwner(WindowHandle window) {
  const MemoryWindow* self = Window(window);
  return IsDialog(self) ? self->parent : nullptr;
}

bool MemoryPlatform::IsWindowVisible(WindowHandle window) {
  for (const MemoryWindow* self = Window(window); self != nullptr;
       self = IsDialog(self) ? nullptr : self->parent) {
    if ((self->style & Ws::Visible) == 0) return false;
  }
  return true;
}

ModuleHandle MemoryPlatform::GetModuleHandle(const char* name) {
  const std::string module(name);
  if (module == "USER32.DLL" || module == "user32.dll") return &user32Tag_;
  lastError_ = kErrorModuleNotFound;
  return nullptr;
}

void* MemoryPlatform::User32Export(const std::string& name) {
  if (!monitorApi_) return nullptr;
  if (name == "MonitorFromWindow") return &monitorTag_;
  if (name == "GetMonitorInfoA") return &monitorWorkArea_;
  return nullptr;
}

bool MemoryPlatform::GetSystemWorkArea(Rect& area) {
  trace_.push_back("SystemParametersInfoA SPI_GETWORKAREA");
  area = systemWorkArea_;
  return true;
}

void* MemoryPlatform::CallMonitorFromWindow(void* entry, WindowHandle window,
                                            std::uint32_t flags) {
  if (!monitorApi_ || entry != &monitorTag_) return nullptr;  // would crash on Windows
  trace_.push_back("MonitorFromWindow");
  if (Window(window) == nullptr && flags == kMonitorDefaultToNull) return nullptr;
  return &monitorTag_;
}

bool MemoryPlatform::CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) {
  if (!monitorApi_ || entry != &monitorWorkArea_) return false;
  trace_.push_back("GetMonitorInfoA");
  if (monitor != &monitorTag_) return false;
  workArea = monitorWorkArea_;
  return true;
}

}  // namespace memory
