#include "ui/Captions.h"

#include "framework/Wnd.h"
#include "res/resource.h"

void SetCaptions(const CWnd& dialog) {
  static const struct {
    int id;
    const char* caption;
  } kCaptions[] = {
      {IDC_DRIVE_LABEL, "Choose a DVD Drive"},
      {IDC_HELP_BUTTON, "Help"},
      {IDC_SETTINGS_GROUP, "Current Settings"},
      {IDC_MEDIA_TYPE_LABEL, "MEDIA TYPE"},
      {IDC_SET_PLUS_R, "Set +R Book Value"},
      {IDC_SET_PLUS_RW, "Set +RW Book Value"},
      {IDC_PLUS_R_GROUP, "Choose a +R Book Value"},
      {IDC_PLUS_RW_GROUP, "Choose a +RW Book Value"},
      {IDC_BOOK_TYPE_LABEL, "BOOK TYPE"},
  };
  for (const auto& caption : kCaptions) CWnd(dialog.GetDlgItem(caption.id)).SetWindowText(caption.caption);
}
