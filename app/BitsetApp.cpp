#include "app/BitsetApp.h"

#include "app/DvdInfoDlg.h"

bool CBitsetApp::InitInstance() {
  SetRegistryKey("Vandrel Software");
  CDvdInfoDlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // The program ends when the main window does: no message loop of its own.
  return false;
}
