// Button and combo-box wrappers: one message each, no logic of their own.
#pragma once

#include <string>

#include "framework/Wnd.h"

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(Bm::GetCheck)); }
  void SetCheck(int check) const { SendMessage(Bm::SetCheck, static_cast<WParam>(check)); }
};

class CComboBox : public CWnd {
 public:
  void ResetContent() const { SendMessage(Cb::ResetContent); }
  int AddString(const std::string& line) const {
    return static_cast<int>(SendMessage(Cb::AddString, 0, reinterpret_cast<LParam>(line.c_str())));
  }
  int SetCurSel(int index) const {
    return static_cast<int>(SendMessage(Cb::SetCurSel, static_cast<WParam>(index)));
  }
  int GetCurSel() const { return static_cast<int>(SendMessage(Cb::GetCurSel)); }
  int GetCount() const { return static_cast<int>(SendMessage(Cb::GetCount)); }
  std::string GetLBText(int index) const;
};
