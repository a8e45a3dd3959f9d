// The screen, in memory: window frames, owners and visibility of the
// in-memory windows, the work area, and user32's monitor functions when
// this Windows has them (Windows 98 and 2000 on; not 95 or NT 4.0).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "tests/memory/MemoryCalls.h"

namespace memory {

class MemoryScreen : public virtual MemoryCalls {
 public:
  // --- Set-up --------------------------------------------------------------
  // The work area SystemParametersInfoA(SPI_GETWORKAREA) reports.
  void SetSystemWorkArea(Rect area) { systemWorkArea_ = area; }
  // Whether user32 exports MonitorFromWindow and GetMonitorInfoA, and the
  // work area of the one monitor they report.
  void SetMonitorApi(bool present, Rect monitorWorkArea) {
    monitorApi_ = present;
    monitorWorkArea_ = monitorWorkArea;
  }
  // Moves a window, as the user would by dragging it.
  void MoveWindow(WindowHandle window, int x, int y);

 protected:
  bool GetWindowRect(WindowHandle window, Rect& rect);
  WindowHandle GetOwner(WindowHandle window);
  bool IsWindowVisible(WindowHandle window);
  ModuleHandle GetModuleHandle(const char* name);
  bool IsUser32(ModuleHandle module) const { return module == &user32Tag_; }
  // user32's export of that name, or null.
  void* User32Export(const std::string& name);
  bool GetSystemWorkArea(Rect& area);
  void* CallMonitorFromWindow(void* entry, WindowHandle window, std::uint32_t flags);
  bool CallGetMonitorInfo(void* entry, void* monitor, Rect& workArea);

 private:
  Rect systemWorkArea_{0, 0, 1024, 738};
  bool monitorApi_ = true;
  Rect monitorWorkArea_{0, 0, 1024, 738};
  int user32Tag_ = 0;
  int monitorTag_ = 0;
};

}  // namespace memory
