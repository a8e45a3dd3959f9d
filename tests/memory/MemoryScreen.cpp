#include "tests/memory/MemoryScreen.h"

#include "tests/memory/MemoryInternal.h"
#include "tests/memory/MemoryWindows.h"

namespace memory {

namespace {

constexpr std::uint32_t kMonitorDefaultToNull = 0;

bool IsDialog(const MemoryWindow* window) { return window->windowClass == "#32770"; }

MemoryWindow* Window(WindowHandle window) { return static_cast<MemoryWindow*>(window); }

}  // namespace

void MemoryScreen::MoveWindow(WindowHandle window, int x, int y) {
  Window(window)->x = x;
  Window(window)->y = y;
}

bool MemoryScreen::GetWindowRect(WindowHandle window, Rect& rect) {
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

WindowHandle MemoryScreen::GetOwner(WindowHandle window) {
  const MemoryWindow* self = Window(window);
  return IsDialog(self) ? self->parent : nullptr;
}

bool MemoryScreen::IsWindowVisible(WindowHandle window) {
  for (const MemoryWindow* self = Window(window); self != nullptr;
       self = IsDialog(self) ? nullptr : self->parent) {
    if ((self->style & Ws::Visible) == 0) return false;
  }
  return true;
}

ModuleHandle MemoryScreen::GetModuleHandle(const char* name) {
  const std::string module(name);
  if (module == "USER32.DLL" || module == "user32.dll") return &user32Tag_;
  SetLastError(kErrorModuleNotFound);
  return nullptr;
}

void* MemoryScreen::User32Export(const std::string& name) {
  if (!monitorApi_) return nullptr;
  if (name == "MonitorFromWindow") return &monitorTag_;
  if (name == "GetMonitorInfoA") return &monitorWorkArea_;
  return nullptr;
}

bool MemoryScreen::GetSystemWorkArea(Rect& area) {
  Record("SystemParametersInfoA SPI_GETWORKAREA");
  area = systemWorkArea_;
  return true;
}

void* MemoryScreen::CallMonitorFromWindow(void* entry, WindowHandle window,
                                            std::uint32_t flags) {
  if (!monitorApi_ || entry != &monitorTag_) return nullptr;  // would crash on Windows
  Record("MonitorFromWindow");
  if (Window(window) == nullptr && flags == kMonitorDefaultToNull) return nullptr;
  return &monitorTag_;
}

bool MemoryScreen::CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea) {
  if (!monitorApi_ || entry != &monitorWorkArea_) return false;
  Record("GetMonitorInfoA");
  if (monitor != &monitorTag_) return false;
  workArea = monitorWorkArea_;
  return true;
}

}  // namespace memory
