// The About box: the program's name, its version, the translator's line of the current
// language and the link to the maker's web site. User-interface thread only.
#pragma once

class QWidget;

namespace orvane::ui {

// Shows the box and returns when it is closed.
void ShowAboutDialog(QWidget* parent);

}  // namespace orvane::ui
