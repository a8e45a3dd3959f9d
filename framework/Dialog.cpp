#include "framework/Dialog.h"

#include "framework/Centring.h"
#include "framework/WinApp.h"

CDialog::CDialog(int templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

LResult CDialog::DoModal() {
  const WindowHandle owner = parent_ != nullptr ? parent_->GetSafeHwnd() : nullptr;
  const LResult result = GetPlatform().RunModalDialog(templateId_, owner, *this);
  Detach();
  return result;
}

void CDialog::EndDialog(LResult result) { GetPlatform().EndDialog(GetSafeHwnd(), result); }

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

int CDialog::MessageBox(const std::string& text, const char* caption, std::uint32_t type) const {
  const std::string title = caption != nullptr ? std::string(caption) : AfxGetAppName();
  return GetPlatform().MessageBox(GetSafeHwnd(), text, title, type);
}

const MessageMapBase& CDialog::GetMessageMap() const {
  static const MessageMap<CDialog> empty{};
  return empty;
}

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  UpdateData(true);
  EndDialog(Id::Ok);
}

void CDialog::OnCancel() { EndDialog(Id::Cancel); }

void CDialog::AttachWindow(WindowHandle window) { Attach(window); }

bool CDialog::HandleMessage(std::uint32_t message, WParam wParam, LParam lParam,
                            LResult& result) {
  if (message == Msg::InitDialog) {
    const PlacementBefore before = CapturePlacement(GetSafeHwnd());
    result = OnInitDialog() ? 1 : 0;
    CenterIfUnplaced(GetSafeHwnd(), before);
    return true;
  }
  useDefault_ = false;
  if (GetMessageMap().Dispatch(*this, message, wParam, lParam, result)) return !useDefault_;
  if (message == Msg::Command && ((wParam >> 16) & 0xFFFF) == Bn::Clicked) {
    const auto id = static_cast<int>(wParam & 0xFFFF);
    if (id == Id::Ok) {
      OnOK();
      return true;
    }
    if (id == Id::Cancel) {
      OnCancel();
      return true;
    }
  }
  return false;
}
