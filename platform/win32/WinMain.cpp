// The program's entry on Windows: install the Win32 platform and run the
// application object.
#include "platform/win32/WindowsHeaders.h"

#include "framework/WinApp.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Platform platform;
  SetPlatform(&platform);
  CWinApp* app = AfxGetApp();
  const int exitCode = app != nullptr ? app->Run() : 0;
  SetPlatform(nullptr);
  return exitCode;
}
