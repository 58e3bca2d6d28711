// Delivering a listing from the window: the save dialog, and list mode, where the window only
// asks where to save the listing of a selection given on the command line and then ends.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "ui/window/engine_headers.h"
#include "ui/window/main_frame.h"

// Qt's "slots" macro is set aside here as in engine_headers.h.
#pragma push_macro("slots")
#undef slots
#include "app/app_startup.h"
#pragma pop_macro("slots")

namespace orvane::ui {

// The save dialog with the "Open listing file after creation" box under its file type list.
// The chosen path, or nothing when the dialog was cancelled; openAfterSave takes the box.
std::optional<std::string> RunSaveDialog(QWidget* parent, const std::string& proposed,
                                         int outputType, bool& openAfterSave);

// What a test puts in place of the person in a list run.
struct ListModeSeams {
  CMainFrame::SaveDialog dialog;             // empty: the real save dialog
  CMainFrame::MessageSink messages;          // empty: a message box (and standard error)
  std::function<void(CMainFrame&)> onFrame;  // called once the window is built
};

// List mode in the window: builds a minimised main window over setup (which keeps its tree,
// folders and temporary folder; the settings and the remembered selection are never written),
// loads start's configuration and selection, asks for the listing file and saves the listing.
// Runs its own event loop on the current QApplication until the run has ended: a save that
// ended well returns 0 (after opening the listing when "Open listing file after creation" is
// ticked); a cancelled dialog or a listing that could not be written returns 1. A cancelled
// generation leaves the window open; closing it by hand then returns 1.
int RunListMode(const CListWindowStart& start, FrameSetup setup, const ListModeSeams& seams = {});

}  // namespace orvane::ui
