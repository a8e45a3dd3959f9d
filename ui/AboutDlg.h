// The about box, opened from the system menu.
#pragma once

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  // Owned by `parent`, the main window, while it runs.
  explicit CAboutDlg(CWnd* parent);
  ~CAboutDlg() override;

 protected:
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;
};
