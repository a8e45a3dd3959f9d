// <windows.h> without the A/W macros that would rename the platform's
// operations of the same names.
#pragma once

#include <windows.h>
#include <ntddscsi.h>

#undef SendMessage
#undef MessageBox
#undef LoadString
#undef LoadIcon
#undef CreateFont
#undef AppendMenu
#undef LoadLibrary
#undef CreateFile
#undef CreateEvent
#undef GetLogicalDriveStrings
#undef DrawIcon
#undef GetNextWindow
#undef GetModuleHandle
