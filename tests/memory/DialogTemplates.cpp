#include "tests/memory/DialogTemplates.h"

#include "platform/WinTypes.h"
#include "res/resource.h"

namespace {

using namespace Style;

const std::uint32_t kStatic = SsLeft | Ws::Group;
const std::uint32_t kRadio = BsAutoRadioButton;

std::vector<DialogTemplate> MakeTemplates() {
  DialogTemplate main{
      IDD_BITSET_DIALOG,
      "Sorvel ZezIzurora Utility V1.02",
      Ws::Popup | Ws::Visible | Ws::Caption | Ws::SysMenu | DsModalFrame | DsSetFont,
      WsExAppWindow,
      258,
      134,
      {
          {IDC_DRIVE_BOX, "COMBOBOX", "", CbsDropDownList | Ws::VScroll | Ws::TabStop, 73, 8, 173, 94},
          {IDC_DRIVE_LABEL, "STATIC", "Choose a DVD Drive", kStatic, 3, 9, 68, 9},
          {IDC_SET_PLUS_RW, "BUTTON", "Set +R&W Book Type",
           BsDefPushButton | Ws::TabStop | Ws::Disabled, 141, 105, 104, 14},
          {IDC_HELP_BUTTON, "BUTTON", "&Help", BsPushButton | Ws::TabStop, 7, 108, 119, 14},
          {IDC_SETTINGS_GROUP, "BUTTON", "Current Settings", BsGroupBox, 5, 23, 126, 80},
          {IDC_PLUS_RW_LABEL, "STATIC", "DVD+RW", kStatic, 15, 89, 35, 9},
          {IDC_PLUS_R_LABEL, "STATIC", "DVD+R", kStatic, 15, 41, 35, 9},
          {IDC_MEDIA_TYPE_LABEL, "STATIC", "MEDIA TYPE", kStatic, 15, 60, 46, 10},
          {IDC_PLUS_RW_TEXT, "EDIT", "", EsCenter | EsReadOnly | Ws::Border, 85, 84, 40, 13},
          {IDC_PLUS_R_TEXT, "EDIT", "", EsCenter | EsReadOnly | Ws::Border, 85, 36, 40, 13},
          {IDC_PLUS_R_OWN, "BUTTON", "DVD+R", kRadio | Ws::Group, 145, 33, 39, 11},
          {IDC_PLUS_R_ROM, "BUTTON", "DVD-ROM", kRadio, 197, 33, 46, 10},
          {IDC_PLUS_RW_OWN, "BUTTON", "DVD+RW", kRadio | Ws::Group, 143, 90, 44, 10},
          {IDC_PLUS_RW_ROM, "BUTTON", "DVD-ROM", kRadio, 195, 90, 46, 11},
          {IDC_SET_PLUS_R, "BUTTON", "Set +&R Book Type",
           BsPushButton | Ws::TabStop | Ws::Disabled, 141, 49, 104, 14},
          {IDC_PLUS_R_GROUP, "BUTTON", "Choose a +R book type ", BsGroupBox, 135, 23, 115, 51},
          {IDC_PLUS_RW_GROUP, "BUTTON", "Choose a +RW book type ", BsGroupBox, 135, 78, 115, 51},
          {IDC_BOOK_TYPE_LABEL, "STATIC", "BOOK TYPE", kStatic, 85, 60, 42, 10},
      }};
  DialogTemplate about{
      IDD_ABOUTBOX,
      "About",
      Ws::Popup | Ws::Caption | Ws::SysMenu | DsModalFrame | DsSetFont,
      0,
      235,
      55,
      {
          {-1, "STATIC", "#128", SsIcon, 11, 17, 20, 20},
          {IDC_ABOUT_TITLE, "STATIC", "Set Automatically", SsLeft | SsNoPrefix | Ws::Group, 40, 10, 116, 8},
          {IDC_ABOUT_ATTRIBUTION, "STATIC", "Set Automatically", SsLeft | Ws::Group, 49, 23, 100, 8},
          {Id::Ok, "BUTTON", "OK", BsDefPushButton | Ws::Group | Ws::TabStop, 178, 7, 50, 14},
      }};
  return {main, about};
}

}  // namespace

const std::vector<DialogTemplate>& AllDialogTemplates() {
  static const std::vector<DialogTemplate> templates = MakeTemplates();
  return templates;
}

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate& dialog : AllDialogTemplates()) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}
