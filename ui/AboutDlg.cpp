#include "ui/AboutDlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange&) {}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CWnd(GetDlgItem(IDC_ABOUT_TITLE)).SetWindowText("Sorvel Bitsetting Utility V1.02");
  CWnd(GetDlgItem(IDC_ABOUT_ATTRIBUTION)).SetWindowText("(C) 2003 Vandrel Software");
  UpdateData(false);
  return true;
}
