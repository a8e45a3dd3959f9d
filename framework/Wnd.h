// A window known by its handle; the base of the control wrappers.
#pragma once

#include <string>

#include "framework/Platform.h"

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

 private:
  WindowHandle window_ = nullptr;
};
