// Dialog data exchange between a dialog's members and its controls.
#pragma once

#include <string>

class CDialog;
class CWnd;

class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, bool saveAndValidate)
      : dialog_(dialog), saveAndValidate_(saveAndValidate) {}
  CDialog& Dialog() const { return dialog_; }
  // true: controls to members; false: members to controls.
  bool Saving() const { return saveAndValidate_; }

 private:
  CDialog& dialog_;
  bool saveAndValidate_;
};

// Attaches `control` to the dialog's control `id` on the first exchange.
void DDX_Control(CDataExchange& dx, int id, CWnd& control);
// The control's whole text.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// The index of the checked radio button of the group that starts at
// `firstId`, counted in template order; -1 when none is checked. Loading any
// value that names no button leaves the whole group unchecked.
void DDX_Radio(CDataExchange& dx, int firstId, int& value);
