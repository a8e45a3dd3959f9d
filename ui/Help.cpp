#include "ui/Help.h"

#include <cstddef>

#include "framework/HtmlHelp.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

bool ComposeHelpFilePath(const std::string& helpPath, std::string& composed) {
  // Drive ("C:") and directory (up to the last separator), as the path splits.
  std::string drive;
  std::string rest = helpPath;
  if (rest.size() >= 2 && rest[1] == ':') {
    drive = rest.substr(0, 2);
    rest.erase(0, 2);
  }
  const std::size_t slash = rest.find_last_of("\\/");
  const std::string directory = slash == std::string::npos ? std::string() : rest.substr(0, slash + 1);
  if (drive.size() + 1 > PathLength::Drive || directory.size() + 1 > PathLength::Directory) return false;
  composed = drive + directory + "help.chm";
  return composed.size() + 1 <= PathLength::Max;
}

void OpenHelpFile(HtmlHelpLoader& htmlHelp) {
  std::string path;
  if (!ComposeHelpFilePath(AfxGetHelpFilePath(), path)) return;
  htmlHelp.HtmlHelpA(CWnd::GetDesktopWindow(), path.c_str(), kHhDisplayTopic, 0);
}
