// The about entry of the main window's system menu.
#pragma once

#include <cstdint>

class CWnd;

// Appends a separator and the about entry (its text from the string table)
// to the window's system menu; nothing when there is no menu or no text.
void AppendAboutEntry(const CWnd& window);

// Whether a system command is the about entry's.
bool IsAboutCommand(std::uint32_t id);
