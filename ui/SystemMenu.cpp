#include "ui/SystemMenu.h"

#include <string>

#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "res/resource.h"

void AppendAboutEntry(const CWnd& window) {
  const CMenu menu = window.GetSystemMenu();
  if (menu.GetSafeHmenu() == nullptr) return;
  const std::string entry = AfxLoadString(IDS_ABOUTBOX);
  if (entry.empty()) return;
  menu.AppendMenu(Mf::Separator);
  menu.AppendMenu(Mf::String, IDM_ABOUTBOX, entry.c_str());
}

bool IsAboutCommand(std::uint32_t id) { return (id & Sc::CommandMask) == IDM_ABOUTBOX; }
