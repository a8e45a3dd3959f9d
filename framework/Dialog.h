// A modal dialog built from a dialog template, with a message map and
// dialog data exchange.
#pragma once

#include <string>

#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "platform/Platform.h"
#include "framework/Wnd.h"

class CDialog : public CWnd, private DialogTarget {
 public:
  explicit CDialog(int templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Creates the window, owned by the parent given, and runs it until
  // EndDialog; returns EndDialog's result.
  LResult DoModal();
  void EndDialog(LResult result);
  // Runs the data exchange: controls to members when saving, else the reverse.
  bool UpdateData(bool saveAndValidate = true);
  // A message box owned by this dialog; without a caption of its own it
  // carries the application's name.
  int MessageBox(const std::string& text, const char* caption = nullptr,
                 std::uint32_t type = Mb::Ok) const;

  int TemplateId() const { return templateId_; }

 protected:
  virtual const MessageMapBase& GetMessageMap() const;
  virtual void DoDataExchange(CDataExchange& dx);
  // WM_INITDIALOG: loads the dialog data; true gives the focus to the first control.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // From a handler: leave the current message to the platform's default handling.
  void Default() { useDefault_ = true; }

 private:
  void AttachWindow(WindowHandle window) override;
  bool HandleMessage(std::uint32_t message, WParam wParam, LParam lParam,
                     LResult& result) override;

  int templateId_;
  CWnd* parent_;
  bool useDefault_ = false;
};
