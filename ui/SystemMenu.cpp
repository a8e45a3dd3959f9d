// The about entry of the system menu.
#include "app/DvdInfoDlg.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"

namespace {
constexpr std::uint32_t kAboutCommand = 0x0010;
}

void CDvdInfoDlg::AddAboutMenuEntry() {
  Platform& platform = GetPlatform();
  MenuHandle menu = platform.GetSystemMenu(GetSafeHwnd());
  if (menu == nullptr) return;
  const std::string entry = platform.LoadString(IDS_ABOUTBOX);
  if (entry.empty()) return;
  platform.AppendMenu(menu, Mf::Separator, 0, nullptr);
  platform.AppendMenu(menu, Mf::String, kAboutCommand, entry.c_str());
}

// WM_SYSCOMMAND: the about entry opens the about box; the rest is the window's.
void CDvdInfoDlg::OnSysCommand(std::uint32_t id, LParam) {
  if ((id & 0xFFF0) == kAboutCommand) {
    CAboutDlg about;
    about.DoModal();
  } else {
    Default();
  }
}
