// A menu known by its handle; the system menu of a window is one.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

class CMenu {
 public:
  explicit CMenu(MenuHandle menu = nullptr) : menu_(menu) {}

  MenuHandle GetSafeHmenu() const { return menu_; }
  // Appends an entry: a string with its command, or a separator (Mf values).
  bool AppendMenu(std::uint32_t flags, std::uintptr_t id = 0, const char* text = nullptr) const;

 private:
  MenuHandle menu_;
};
