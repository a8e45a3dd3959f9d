// The values of the framework's types that the Win32 backend does not pass
// itself, held against the system headers when the program is built: the
// dialog templates' styles, system metrics, path lengths and the system
// menu's commands.
#include "platform/win32/WindowsHeaders.h"

#include <cstdlib>

#include "platform/WinTypes.h"
#include "res/resource.h"

static_assert(Style::DsSetFont == DS_SETFONT && Style::DsModalFrame == DS_MODALFRAME &&
                  Style::WsExAppWindow == WS_EX_APPWINDOW,
              "dialog styles");
static_assert(Style::BsPushButton == BS_PUSHBUTTON && Style::BsDefPushButton == BS_DEFPUSHBUTTON &&
                  Style::BsGroupBox == BS_GROUPBOX &&
                  Style::BsAutoRadioButton == BS_AUTORADIOBUTTON &&
                  Style::CbsDropDownList == CBS_DROPDOWNLIST,
              "button and combo-box styles");
static_assert(Style::SsLeft == SS_LEFT && Style::SsIcon == SS_ICON &&
                  Style::SsNoPrefix == SS_NOPREFIX && Style::EsCenter == ES_CENTER &&
                  Style::EsReadOnly == ES_READONLY,
              "static and edit styles");
static_assert(Ws::Popup == WS_POPUP && Ws::Child == WS_CHILD && Ws::Visible == WS_VISIBLE &&
                  Ws::Caption == WS_CAPTION && Ws::Border == WS_BORDER &&
                  Ws::VScroll == WS_VSCROLL && Ws::SysMenu == WS_SYSMENU &&
                  Ws::TabStop == WS_TABSTOP,
              "window styles");
static_assert(Sm::CxIcon == SM_CXICON && Sm::CyIcon == SM_CYICON, "system metrics");
static_assert(PathLength::Max == MAX_PATH && PathLength::Drive == _MAX_DRIVE &&
                  PathLength::Directory == _MAX_DIR,
              "path lengths");
static_assert(Mf::String == MF_STRING && Mf::Separator == MF_SEPARATOR, "menu entries");
// The system's own commands start at SC_SIZE and use the low four bits.
static_assert((SC_SIZE & Sc::CommandMask) == SC_SIZE && (SC_CLOSE & ~Sc::CommandMask) == 0,
              "system command mask");
static_assert(IDM_ABOUTBOX < SC_SIZE && (IDM_ABOUTBOX & ~Sc::CommandMask) == 0,
              "the about entry's command");
