// The captions that replace the template's before the main window is shown.
#pragma once

class CWnd;

// Sets the run-time caption of every labelled control of the main window.
void SetCaptions(const CWnd& dialog);
