// The about box, opened from the system menu.
#pragma once

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
  ~CAboutDlg() override;

 protected:
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;
};
