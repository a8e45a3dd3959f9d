// The Help button: "help.chm" beside the executable, in the HTML Help viewer.
#pragma once

#include <string>

class HtmlHelpLoader;

// "help.chm" in the directory of `helpPath`; false when the path would not fit.
bool ComposeHelpFilePath(const std::string& helpPath, std::string& composed);

// Opens the help file beside the executable through `htmlHelp`, owned by
// the desktop; nothing when its path would not fit.
void OpenHelpFile(HtmlHelpLoader& htmlHelp);
