// The window as a program of its own. The batch program links no window toolkit, so a listing
// starts without loading one; when the command line asks for the window, the batch program
// hands the whole command line over to the window program, which parses it again.
#pragma once

namespace orvane {

// True when a window can be shown: a display (X11 or Wayland) or a Qt platform is named in the
// environment.
bool DisplayNamed();

// Replaces this process by the window program with the same arguments: "libexec/orvane/orvane"
// beside the executable (the build tree) or "../libexec/orvane/orvane" from it (an
// installation). Returns only when that fails, after a message on standard error, with exit
// status 2.
int RunWindowProgram(char** argv);

}  // namespace orvane
