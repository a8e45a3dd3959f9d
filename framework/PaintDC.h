// The device context of one WM_PAINT, valid while the window paints.
#pragma once

#include "platform/WinTypes.h"

class CPaintDC {
 public:
  explicit CPaintDC(void* dc) : dc_(dc) {}
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  void* GetSafeHdc() const { return dc_; }
  bool DrawIcon(int x, int y, IconHandle icon) const;

 private:
  void* dc_;
};
