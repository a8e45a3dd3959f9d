#include "framework/WinApp.h"

#include <exception>

#include "platform/Platform.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const char* appName) {
  if (appName != nullptr) appName_ = appName;
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
  try {
    if (appName_.empty()) appName_ = AppNameFromModulePath(GetPlatform().ModulePath());
    // A dialog application does all its work in InitInstance and returns
    // false so that no message loop of the application's own is entered.
    InitInstance();
  } catch (const std::exception& exception) {
    // What escapes outside any window (memory running out before the main
    // window exists) is shown as the dialog procedure shows what escapes a
    // handler, instead of ending the program abruptly.
    GetPlatform().MessageBox(nullptr, exception.what(), appName_, Mb::Ok | Mb::IconError);
  }
  return 0;
}

CWinApp* AfxGetApp() { return g_app; }

std::string AfxGetAppName() {
  if (g_app != nullptr && !g_app->AppName().empty()) return g_app->AppName();
  return AppNameFromModulePath(GetPlatform().ModulePath());
}

std::string AppNameFromModulePath(const std::string& modulePath) {
  const std::size_t slash = modulePath.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string AfxGetHelpFilePath() { return HelpPathFromModulePath(GetPlatform().ModulePath()); }

std::string HelpPathFromModulePath(const std::string& modulePath) {
  const std::size_t slash = modulePath.find_last_of("\\/");
  const std::size_t dot = modulePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".HLP";
}

std::string AfxLoadString(int id) { return GetPlatform().LoadString(id); }
