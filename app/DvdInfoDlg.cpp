#include "app/DvdInfoDlg.h"

#include "res/resource.h"

namespace {
// The window-position call of initialisation: position 0, 0, size kept.
constexpr int kInitialWidth = 396;
constexpr int kInitialHeight = 269;
}  // namespace

CDvdInfoDlg::CDvdInfoDlg(CWnd* parent) : CDialog(IDD_BITSET_DIALOG, parent) {
  m_icon = GetPlatform().LoadIcon(IDR_MAINFRAME);
}

// Records are normally freed when the window closes; a dialog that ended
// another way still leaves nothing behind.
CDvdInfoDlg::~CDvdInfoDlg() { m_deviceList.FreeAll(); }

const MessageMapBase& CDvdInfoDlg::GetMessageMap() const {
  using Map = MessageMap<CDvdInfoDlg>;
  static const Map map{
      Map::SysCommand(&CDvdInfoDlg::OnSysCommand),
      Map::Message(Msg::Paint, &CDvdInfoDlg::OnPaint),
      Map::Result(Msg::QueryDragIcon, &CDvdInfoDlg::OnQueryDragIcon),
      Map::Command(Cbn::SelChange, IDC_DRIVE_BOX, &CDvdInfoDlg::OnSelectDevice),
      Map::Command(Bn::Clicked, IDC_HELP_BUTTON, &CDvdInfoDlg::ShowHelp),
      Map::Command(Bn::Clicked, IDC_SET_PLUS_R, &CDvdInfoDlg::OnSetPlusRBookType),
      Map::Command(Bn::Clicked, IDC_SET_PLUS_RW, &CDvdInfoDlg::OnSetPlusRwBookType),
      Map::Message(Msg::Close, &CDvdInfoDlg::OnClose),
  };
  return map;
}

void CDvdInfoDlg::DoDataExchange(CDataExchange& dx) {
  DDX_Control(dx, IDC_SET_PLUS_R, m_setPlusRButton);
  DDX_Control(dx, IDC_SET_PLUS_RW, m_setPlusRwButton);
  DDX_Control(dx, IDC_DRIVE_BOX, m_driveBox);
  DDX_Text(dx, IDC_PLUS_R_TEXT, m_plusRText);
  DDX_Text(dx, IDC_PLUS_RW_TEXT, m_plusRwText);
  DDX_Radio(dx, IDC_PLUS_R_OWN, m_plusRChoice);
  DDX_Radio(dx, IDC_PLUS_RW_OWN, m_plusRwChoice);
}

// WM_INITDIALOG: builds the window, finds the drives and shows the first one.
bool CDvdInfoDlg::OnInitDialog() {
  SetControlTexts();
  CDialog::OnInitDialog();
  SetWindowPos(0, 0, kInitialWidth, kInitialHeight, Swp::NoSize | Swp::NoZOrder);
  LayoutControls();
  AddAboutMenuEntry();
  SendMessage(Msg::SetIcon, Icon::Big, reinterpret_cast<LParam>(m_icon));
  SendMessage(Msg::SetIcon, Icon::Small, reinterpret_cast<LParam>(m_icon));
  m_platformClass = GetPlatformClass();
  m_firstSelection = 1;
  // Without a way to the drives there is nothing to show; the message has been given.
  if (!InitDeviceAccess()) GetPlatform().ExitProcess(0);
  SelectFirstDrive();
  return true;
}

void CDvdInfoDlg::SelectFirstDrive() {
  m_driveBox.SetCurSel(0);
  OnSelectDevice();
  m_selectedDevice = GetSelectedDevice();
  if (m_selectedDevice == nullptr) EndDialog(1);
  m_channel.BindDevice(m_selectedDevice);
  m_plusRChoice = 0;
  m_plusRwChoice = 0;
  RefreshSettingsDisplay();
}

// WM_CLOSE: the records go before the window does.
void CDvdInfoDlg::OnClose() {
  m_selectedDevice = nullptr;
  m_channel.BindDevice(nullptr);
  m_deviceList.FreeAll();
  Default();
}
