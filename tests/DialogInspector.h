// The main window's members as the tests read them: the window keeps them
// private, and only this friend looks in.
#pragma once

#include <string>

#include "app/DvdInfoDlg.h"

class DialogInspector {
 public:
  explicit DialogInspector(CDvdInfoDlg& dialog) : dialog_(dialog) {}

  DeviceList& Devices() const { return dialog_.m_deviceList; }
  CDeviceInfo* SelectedDevice() const { return dialog_.m_selectedDevice; }
  const CScsiPassThrough& Channel() const { return dialog_.m_channel; }
  PlatformClass StoredPlatformClass() const { return dialog_.m_platformClass; }
  int FirstSelectionFlag() const { return dialog_.m_firstSelection; }
  int PlusRChoice() const { return dialog_.m_plusRChoice; }
  int PlusRwChoice() const { return dialog_.m_plusRwChoice; }

 private:
  CDvdInfoDlg& dialog_;
};

inline DialogInspector Inspect(CDvdInfoDlg& dialog) { return DialogInspector(dialog); }
