// Starting Orvane's window. This header is free of Qt, so the program's entry point can call
// it without knowing the toolkit.
#pragma once

#include <string>

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

}  // namespace orvane::ui
