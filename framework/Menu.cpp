#include "framework/Menu.h"

#include "platform/Platform.h"

bool CMenu::AppendMenu(std::uint32_t flags, std::uintptr_t id, const char* text) const {
  return GetPlatform().AppendMenu(menu_, flags, id, text);
}
