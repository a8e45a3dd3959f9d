#include "framework/HtmlHelp.h"

#include <string>

#include "platform/Platform.h"

namespace {
const char kHtmlHelpClassKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const char kHtmlHelpLibrary[] = "hhctrl.ocx";
constexpr int kHtmlHelpAOrdinal = 14;
}  // namespace

WindowHandle HtmlHelpLoader::HtmlHelpA(WindowHandle caller, const char* file,
                                       std::uint32_t command, std::uintptr_t data) {
  Platform& platform = GetPlatform();
  if (library_ == nullptr && !failed_) {
    std::string registered;
    if (platform.ReadClassesRootDefault(kHtmlHelpClassKey, PathLength::Max, registered) &&
        !registered.empty()) {
      library_ = platform.LoadLibrary(registered.c_str());
    }
    if (library_ == nullptr) library_ = platform.LoadLibrary(kHtmlHelpLibrary);
    if (library_ == nullptr) {
      failed_ = true;
      return nullptr;
    }
  }
  if (library_ == nullptr) return nullptr;
  if (entry_ == nullptr) entry_ = platform.GetProcAddressByOrdinal(library_, kHtmlHelpAOrdinal);
  if (entry_ == nullptr) {
    failed_ = true;
    return nullptr;
  }
  return platform.CallHtmlHelp(entry_, caller, file, command, data);
}
