// Starting Orvane's window. This header is free of Qt, so the program's entry point can call
// it without knowing the toolkit.
#pragma once

#include <string>

#include "app/app_startup.h"

namespace orvane::ui {

struct WindowStart {
  // The configuration loaded at start: the file named with /o, else the settings file.
  std::string configPath;
  // --screenshot FILE: grab the finished window to FILE (PNG) and end.
  std::string screenshotPath;
  // With --screenshot: a selection file or a directory to list instead of the remembered
  // selection ("" for none).
  std::string selection;
};

// Runs the window until it is closed; returns the exit status (0; with --screenshot, non-zero
// when the picture could not be made).
int RunWindow(int argc, char** argv, const WindowStart& start);

// True when the window has somewhere to open: a display, or a Qt platform named by
// QT_QPA_PLATFORM.
bool DisplayAvailable();

// List mode without an output file: the minimised window asks where to save the listing and
// saves it; 0 when it was saved, 1 when the dialog was cancelled, the listing could not be
// written, or the window was closed before it was saved.
int RunListWindow(int argc, char** argv, const CListWindowStart& start);

}  // namespace orvane::ui
