// The dialog templates of the executable as data: the in-memory platform
// builds its windows from these, and a test holds them against the
// resource script, so both describe the same dialogs.
#pragma once

#include <cstdint>
#include <vector>

namespace Style {
enum : std::uint32_t {
  DsSetFont = 0x40,
  DsModalFrame = 0x80,
  BsPushButton = 0x0,
  BsDefPushButton = 0x1,
  BsGroupBox = 0x7,
  BsAutoRadioButton = 0x9,
  CbsDropDownList = 0x3,
  SsLeft = 0x0,
  SsIcon = 0x3,
  SsNoPrefix = 0x80,
  EsCenter = 0x1,
  EsReadOnly = 0x800,
  WsExAppWindow = 0x40000,
};
}  // namespace Style

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
