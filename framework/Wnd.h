// A window known by its handle; the base of the control wrappers.
#pragma once

#include <functional>
#include <string>

#include "framework/Menu.h"
#include "platform/Platform.h"

class CPaintDC;

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(WindowHandle window) : window_(window) {}
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  WindowHandle GetSafeHwnd() const { return window_; }
  void Attach(WindowHandle window) { window_ = window; }
  WindowHandle Detach();

  LResult SendMessage(std::uint32_t message, WParam wParam = 0, LParam lParam = 0) const;
  void SetWindowText(const std::string& text) const;
  std::string GetWindowText() const;
  bool EnableWindow(bool enable = true) const;
  bool IsWindowEnabled() const;
  bool SetWindowPos(int x, int y, int cx, int cy, std::uint32_t flags) const;
  WindowHandle GetDlgItem(int id) const;

  bool IsIconic() const;
  void GetClientSize(int& width, int& height) const;
  // Marks the whole client area for repainting.
  bool Invalidate(bool erase = true) const;
  // WM_SETFONT, without redrawing, to every window below this one.
  void SetFontOnDescendants(FontHandle font) const;
  // The window's system menu; its handle is null when it has none.
  CMenu GetSystemMenu() const;
  // Runs `paint` with the device context of this window's WM_PAINT.
  void Paint(const std::function<void(CPaintDC& dc)>& paint) const;

  static WindowHandle GetDesktopWindow();

 private:
  WindowHandle window_ = nullptr;
};

// A system metric (Sm values).
int GetSystemMetrics(int index);
