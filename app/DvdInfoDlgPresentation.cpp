// The main window's presentation: captions, layout and font, system menu,
// painting while minimised, help.
#include "app/DvdInfoDlg.h"
#include "ui/AboutDlg.h"
#include "ui/Captions.h"
#include "ui/Layout.h"
#include "ui/Painting.h"
#include "ui/SystemMenu.h"

void CDvdInfoDlg::SetControlTexts() {
  SetCaptions(*this);
  UpdateData(false);
}

void CDvdInfoDlg::LayoutControls() {
  PlaceControls(*this);
  ApplyDialogFont();
  Invalidate(true);
}

void CDvdInfoDlg::ApplyDialogFont() { SetDialogFont(*this, m_font); }

void CDvdInfoDlg::AddAboutMenuEntry() { AppendAboutEntry(*this); }

// WM_SYSCOMMAND: the about entry opens the about box; the rest is the window's.
void CDvdInfoDlg::OnSysCommand(std::uint32_t id, LParam) {
  if (IsAboutCommand(id)) {
    CAboutDlg about(this);
    about.DoModal();
  } else {
    Default();
  }
}

// WM_PAINT
void CDvdInfoDlg::OnPaint() {
  if (!PaintMinimised(*this, m_icon)) Default();
}

// WM_QUERYDRAGICON
LResult CDvdInfoDlg::OnQueryDragIcon() { return reinterpret_cast<LResult>(m_icon); }

// BN_CLICKED of the Help button.
void CDvdInfoDlg::ShowHelp() { OpenHelpFile(m_htmlHelp); }
