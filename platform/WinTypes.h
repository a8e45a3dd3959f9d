// Windows message, style and result values that the application code uses.
// They carry the numbers Windows gives them, so the Win32 backend passes them
// through unchanged; the in-memory backend interprets the same numbers.
#pragma once

#include <cstddef>
#include <cstdint>

using WindowHandle = void*;
using DeviceHandle = void*;
using ModuleHandle = void*;
using IconHandle = void*;
using FontHandle = void*;
using MenuHandle = void*;
using EventHandle = void*;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// INVALID_HANDLE_VALUE
inline DeviceHandle InvalidDeviceHandle() {
  return reinterpret_cast<DeviceHandle>(static_cast<std::intptr_t>(-1));
}

namespace Msg {
enum : std::uint32_t {
  Close = 0x0010,
  Paint = 0x000F,
  SetText = 0x000C,
  GetText = 0x000D,
  GetTextLength = 0x000E,
  QueryDragIcon = 0x0037,
  SetFont = 0x0030,
  GetFont = 0x0031,
  SetIcon = 0x0080,
  GetDlgCode = 0x0087,
  InitDialog = 0x0110,
  Command = 0x0111,
  SysCommand = 0x0112,
  IconEraseBkgnd = 0x0027,
};
}  // namespace Msg

namespace Bm {
enum : std::uint32_t { GetCheck = 0x00F0, SetCheck = 0x00F1, Click = 0x00F5 };
enum : int { Unchecked = 0, Checked = 1 };
}  // namespace Bm

namespace Bn {
enum : std::uint32_t { Clicked = 0 };
}

namespace Cb {
enum : std::uint32_t {
  AddString = 0x0143,
  GetCount = 0x0146,
  GetCurSel = 0x0147,
  GetLbText = 0x0148,
  GetLbTextLen = 0x0149,
  ResetContent = 0x014B,
  SetCurSel = 0x014E,
};
enum : int { Err = -1, ErrSpace = -2 };
}  // namespace Cb

namespace Cbn {
enum : std::uint32_t { SelChange = 1 };
}

namespace Dlgc {
enum : std::uint32_t { RadioButton = 0x0040 };
}

namespace Ws {
enum : std::uint32_t {
  Popup = 0x80000000u,
  Child = 0x40000000u,
  Visible = 0x10000000u,
  Disabled = 0x08000000u,
  Caption = 0x00C00000u,
  Border = 0x00800000u,
  VScroll = 0x00200000u,
  SysMenu = 0x00080000u,
  Group = 0x00020000u,
  TabStop = 0x00010000u,
};
}  // namespace Ws

namespace Swp {
enum : std::uint32_t { NoSize = 0x0001, NoZOrder = 0x0004, NoActivate = 0x0010 };
}

// Dialog styles that ask the dialog manager to place the dialog itself.
namespace Ds {
enum : std::uint32_t { AbsAlign = 0x0001, Center = 0x0800, CenterMouse = 0x1000 };
}

namespace Icon {
enum : WParam { Small = 0, Big = 1 };
}

// MessageBox types and answers.
namespace Mb {
enum : std::uint32_t { Ok = 0x0, YesNo = 0x4, IconError = 0x10, IconQuestion = 0x20 };
}
namespace Id {
enum : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
}

// System menu
namespace Mf {
enum : std::uint32_t { String = 0x0000, Separator = 0x0800 };
}

// WM_SYSCOMMAND: the low four bits of the command are the system's own.
namespace Sc {
enum : std::uint32_t { CommandMask = 0xFFF0 };
}

// GetSystemMetrics indexes.
namespace Sm {
enum : int { CxIcon = 11, CyIcon = 12 };
}

// Lengths of a path and of its parts, terminating zero included (MAX_PATH,
// _MAX_DRIVE, _MAX_DIR).
namespace PathLength {
enum : std::size_t { Max = 260, Drive = 3, Directory = 256 };
}

// Styles of the dialog templates' windows and controls.
namespace Style {
enum : std::uint32_t {
  DsSetFont = 0x40,
  DsModalFrame = 0x80,
  BsPushButton = 0x0,
  BsDefPushButton = 0x1,
  BsGroupBox = 0x7,
  BsAutoRadioButton = 0x9,
  CbsDropDownList = 0x3,
  SsLeft = 0x0,
  SsIcon = 0x3,
  SsNoPrefix = 0x80,
  EsCenter = 0x1,
  EsReadOnly = 0x800,
  WsExAppWindow = 0x40000,
};
}  // namespace Style
