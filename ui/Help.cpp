#include "ui/Help.h"

#include <cstddef>

#include "framework/Platform.h"
#include "ui/HtmlHelp.h"

namespace {

constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxDrive = 3;
constexpr std::size_t kMaxDir = 256;

// The help-file path the framework derives from the executable's path: its
// extension replaced by ".HLP".
std::string FrameworkHelpPath(const std::string& modulePath) {
  const std::size_t slash = modulePath.find_last_of("\\/");
  const std::size_t dot = modulePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".HLP";
}

}  // namespace

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
  if (drive.size() + 1 > kMaxDrive || directory.size() + 1 > kMaxDir) return false;
  composed = drive + directory + "help.chm";
  return composed.size() + 1 <= kMaxPath;
}

void OpenHelpFile(HtmlHelpLoader& htmlHelp) {
  std::string path;
  if (!ComposeHelpFilePath(FrameworkHelpPath(GetPlatform().ModulePath()), path)) return;
  htmlHelp.HtmlHelpA(GetPlatform().GetDesktopWindow(), path.c_str(), kHhDisplayTopic, 0);
}
