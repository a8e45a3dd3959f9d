// The application object: one per program, run by the program's entry.
#pragma once

#include <string>

class CWnd;

class CWinApp {
 public:
  // Without a name the application is named after its executable file.
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Names the application, then runs InitInstance. Returns the exit code.
  int Run();
  virtual bool InitInstance() = 0;

  const std::string& AppName() const { return appName_; }
  // The registry company key; registered only, nothing is read or written.
  void SetRegistryKey(const char* company) { registryKey_ = company; }
  const std::string& RegistryKey() const { return registryKey_; }

  CWnd* m_pMainWnd = nullptr;

 private:
  std::string appName_;
  std::string registryKey_;
};

CWinApp* AfxGetApp();
// The application's name: the caption of message boxes without their own.
std::string AfxGetAppName();
// The executable's file name without its extension.
std::string AppNameFromModulePath(const std::string& modulePath);
// The help-file path the framework derives from the executable's path: its
// extension replaced by ".HLP".
std::string AfxGetHelpFilePath();
std::string HelpPathFromModulePath(const std::string& modulePath);
// A string of the executable's string table; empty when it has none.
std::string AfxLoadString(int id);
