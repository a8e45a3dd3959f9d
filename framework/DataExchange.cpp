#include "framework/DataExchange.h"

#include "framework/Dialog.h"
#include "framework/Wnd.h"

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
  if (control.GetSafeHwnd() == nullptr) control.Attach(dx.Dialog().GetDlgItem(id));
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
  CWnd control(dx.Dialog().GetDlgItem(id));
  if (dx.Saving()) {
    value = control.GetWindowText();
  } else {
    control.SetWindowText(value);
  }
}

namespace {
bool IsRadioButton(WindowHandle window) {
  const LResult code = GetPlatform().SendMessage(window, Msg::GetDlgCode, 0, 0);
  return (static_cast<std::uint32_t>(code) & Dlgc::RadioButton) != 0;
}
}  // namespace

void DDX_Radio(CDataExchange& dx, int firstId, int& value) {
  Platform& platform = GetPlatform();
  WindowHandle window = dx.Dialog().GetDlgItem(firstId);
  if (dx.Saving()) value = -1;
  int index = 0;
  // The group runs from its first button to the next control that starts a group.
  while (window != nullptr) {
    if (IsRadioButton(window)) {
      if (dx.Saving()) {
        if (platform.SendMessage(window, Bm::GetCheck, 0, 0) != Bm::Unchecked) value = index;
      } else {
        platform.SendMessage(window, Bm::SetCheck, index == value ? Bm::Checked : Bm::Unchecked, 0);
      }
      ++index;
    }
    window = platform.GetNextWindow(window);
    if (window != nullptr && (platform.GetStyle(window) & Ws::Group) != 0) break;
  }
}
