#include "ui/SystemMenu.h"

#include <string>

#include "framework/Wnd.h"
#include "res/resource.h"

namespace {
constexpr std::uint32_t kAboutCommand = 0x0010;
}

void AppendAboutEntry(const CWnd& window) {
  Platform& platform = GetPlatform();
  MenuHandle menu = platform.GetSystemMenu(window.GetSafeHwnd());
  if (menu == nullptr) return;
  const std::string entry = platform.LoadString(IDS_ABOUTBOX);
  if (entry.empty()) return;
  platform.AppendMenu(menu, Mf::Separator, 0, nullptr);
  platform.AppendMenu(menu, Mf::String, kAboutCommand, entry.c_str());
}

bool IsAboutCommand(std::uint32_t id) { return (id & 0xFFF0) == kAboutCommand; }
