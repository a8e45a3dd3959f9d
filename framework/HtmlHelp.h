// Reaches the ANSI HtmlHelp entry of the HTML Help control library, loaded
// on first use. Once loading the library has failed it is not tried again;
// the library stays loaded until the process ends.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

constexpr std::uint32_t kHhDisplayTopic = 0;

class HtmlHelpLoader {
 public:
  // HtmlHelpA: the viewer's window, or null when HTML Help is not available.
  WindowHandle HtmlHelpA(WindowHandle caller, const char* file, std::uint32_t command,
                         std::uintptr_t data);

 private:
  ModuleHandle library_ = nullptr;
  void* entry_ = nullptr;
  bool failed_ = false;
};
