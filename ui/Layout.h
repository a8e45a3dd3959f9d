// The main window's controls: their places in pixels and their font.
#pragma once

class CFont;
class CWnd;

// Moves, and where the table says so sizes, every control of the main window.
void PlaceControls(const CWnd& dialog);

// Creates the dialog font in `font`, gives it to every descendant of the
// window and then, redrawing each, to the controls in their order. The
// controls keep using the font until the process ends: `font` lets it go.
void SetDialogFont(const CWnd& dialog, CFont& font);
