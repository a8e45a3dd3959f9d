#include "framework/Wnd.h"

#include <vector>

#include "framework/PaintDC.h"

WindowHandle CWnd::Detach() {
  WindowHandle window = window_;
  window_ = nullptr;
  return window;
}

LResult CWnd::SendMessage(std::uint32_t message, WParam wParam, LParam lParam) const {
  return GetPlatform().SendMessage(window_, message, wParam, lParam);
}

void CWnd::SetWindowText(const std::string& text) const {
  SendMessage(Msg::SetText, 0, reinterpret_cast<LParam>(text.c_str()));
}

std::string CWnd::GetWindowText() const {
  const LResult length = SendMessage(Msg::GetTextLength);
  if (length <= 0) return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const LResult copied =
      SendMessage(Msg::GetText, static_cast<WParam>(buffer.size()), reinterpret_cast<LParam>(buffer.data()));
  return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

bool CWnd::EnableWindow(bool enable) const { return GetPlatform().EnableWindow(window_, enable); }

bool CWnd::IsWindowEnabled() const { return GetPlatform().IsWindowEnabled(window_); }

bool CWnd::SetWindowPos(int x, int y, int cx, int cy, std::uint32_t flags) const {
  return GetPlatform().SetWindowPos(window_, x, y, cx, cy, flags);
}

WindowHandle CWnd::GetDlgItem(int id) const { return GetPlatform().GetDlgItem(window_, id); }

bool CWnd::IsIconic() const { return GetPlatform().IsIconic(window_); }

void CWnd::GetClientSize(int& width, int& height) const {
  GetPlatform().GetClientSize(window_, width, height);
}

bool CWnd::Invalidate(bool erase) const { return GetPlatform().InvalidateRect(window_, erase); }

void CWnd::SetFontOnDescendants(FontHandle font) const {
  Platform& platform = GetPlatform();
  for (WindowHandle child : platform.GetDescendants(window_)) {
    platform.SendMessage(child, Msg::SetFont, reinterpret_cast<WParam>(font), 0);
  }
}

CMenu CWnd::GetSystemMenu() const { return CMenu(GetPlatform().GetSystemMenu(window_)); }

void CWnd::Paint(const std::function<void(CPaintDC& dc)>& paint) const {
  GetPlatform().Paint(window_, [&](void* handle) {
    CPaintDC dc(handle);
    paint(dc);
  });
}

WindowHandle CWnd::GetDesktopWindow() { return GetPlatform().GetDesktopWindow(); }

int GetSystemMetrics(int index) { return GetPlatform().GetSystemMetrics(index); }
