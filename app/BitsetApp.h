// The application object: runs the main window and ends with it.
#pragma once

#include "framework/WinApp.h"

class CBitsetApp : public CWinApp {
 public:
  CBitsetApp() = default;
  bool InitInstance() override;
};
