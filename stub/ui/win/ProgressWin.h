// Win32 binding of the progress display: the main window's two bars and its label.
#pragma once
#include <windows.h>

#include <string>

#include "ui/ProgressDisplay.h"

// Points the display driver at the main bar and the activity bar (either may be null).
void ProgressUseBars(HWND mainBar, HWND activityBar);

// The process's one progress object for the download code, created on first use; its
// driver is `ProgressDriver` and it lets messages through around every call.
TProgBar& ProcessProgBar();

// Sets the label's reading direction (right-to-left for 177 and 178), font and text.
void SetProgressLabel(HWND label, const std::string& text, const std::string& fontFace, int charset, int size);
