#include "ui/Layout.h"

#include "framework/Font.h"
#include "framework/Wnd.h"
#include "res/resource.h"

namespace {

constexpr int kKeepSize = -1;

struct Placement {
  int id;
  int x, y, cx, cy;  // pixels; kKeepSize keeps the template's size
};

const Placement kLayout[] = {
    {IDC_DRIVE_LABEL, 9, 17, 109, 55},
    {IDC_DRIVE_BOX, 120, 11, kKeepSize, kKeepSize},
    {IDC_HELP_BUTTON, 14, 177, 190, 20},
    {IDC_PLUS_R_TEXT, 133, 60, 59, 20},
    {IDC_PLUS_RW_TEXT, 133, 133, 59, 20},
    {IDC_SET_PLUS_R, 220, 80, 155, 23},
    {IDC_SET_PLUS_RW, 220, 159, 155, 23},
    {IDC_BOOK_TYPE_LABEL, 133, 99, kKeepSize, kKeepSize},
    {IDC_MEDIA_TYPE_LABEL, 27, 99, kKeepSize, kKeepSize},
    {IDC_PLUS_R_LABEL, 27, 68, kKeepSize, kKeepSize},
    {IDC_PLUS_RW_LABEL, 27, 138, kKeepSize, kKeepSize},
    {IDC_SETTINGS_GROUP, 12, 44, 190, 125},
    {IDC_PLUS_R_GROUP, 207, 43, 174, 78},
    {IDC_PLUS_RW_GROUP, 207, 120, 174, 78},
    {IDC_PLUS_R_OWN, 222, 62, kKeepSize, kKeepSize},
    {IDC_PLUS_R_ROM, 301, 62, kKeepSize, kKeepSize},
    {IDC_PLUS_RW_OWN, 222, 140, kKeepSize, kKeepSize},
    {IDC_PLUS_RW_ROM, 301, 140, kKeepSize, kKeepSize},
};

// The order in which the controls are given the font, redrawing each.
const int kFontOrder[] = {IDC_DRIVE_LABEL,    IDC_DRIVE_BOX,     IDC_MEDIA_TYPE_LABEL,
                          IDC_BOOK_TYPE_LABEL, IDC_HELP_BUTTON,  IDC_PLUS_R_TEXT,
                          IDC_PLUS_RW_TEXT,   IDC_SET_PLUS_R,    IDC_SET_PLUS_RW,
                          IDC_PLUS_R_OWN,     IDC_PLUS_R_ROM,    IDC_PLUS_RW_OWN,
                          IDC_PLUS_RW_ROM,    IDC_PLUS_R_LABEL,  IDC_PLUS_RW_LABEL,
                          IDC_SETTINGS_GROUP, IDC_PLUS_R_GROUP,  IDC_PLUS_RW_GROUP};

constexpr int kFontHeight = 14;

}  // namespace

void PlaceControls(const CWnd& dialog) {
  for (const Placement& place : kLayout) {
    CWnd control(dialog.GetDlgItem(place.id));
    if (place.cx == kKeepSize) {
      control.SetWindowPos(place.x, place.y, 0, 0, Swp::NoSize | Swp::NoZOrder);
    } else {
      control.SetWindowPos(place.x, place.y, place.cx, place.cy, Swp::NoZOrder);
    }
  }
}

void SetDialogFont(const CWnd& dialog, CFont& font) {
  font.CreateFont(kFontHeight, "Arial");
  dialog.SetFontOnDescendants(font.GetSafeHandle());
  const auto handle = reinterpret_cast<WParam>(font.GetSafeHandle());
  for (int id : kFontOrder) CWnd(dialog.GetDlgItem(id)).SendMessage(Msg::SetFont, handle, 1);
  font.Detach();
}
