// The dialog templates of the executable as data: the in-memory platform
// builds its windows from these, and a test holds them against the
// resource script, so both describe the same dialogs.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/WinTypes.h"

struct ControlTemplate {
  int id;
  const char* windowClass;  // "BUTTON", "COMBOBOX", "STATIC" or "EDIT"
  const char* text;
  std::uint32_t style;  // without WS_CHILD and WS_VISIBLE, which every control has
  int x, y, cx, cy;     // dialog units
};

struct DialogTemplate {
  int id;
  const char* caption;
  std::uint32_t style;
  std::uint32_t exStyle;
  int cx, cy;
  std::vector<ControlTemplate> controls;  // in template (z-) order
};

const DialogTemplate* FindDialogTemplate(int id);
const std::vector<DialogTemplate>& AllDialogTemplates();
