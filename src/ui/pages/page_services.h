// The dialogs and desktop services the option pages call: the font, colour and style sheet
// pickers and the shell integration switch. The defaults open Qt's dialogs and install the file
// manager entries for the running program; tests give their own. User-interface thread only.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace orvane::ui {

struct CPageServices {
  // A font (nullopt: cancelled).
  std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)> pickFont;
  // A colour (nullopt: cancelled).
  std::function<std::optional<QColor>(const QColor& initial, QWidget* parent, const QString& title)>
      pickColor;
  // An existing style sheet file (empty: cancelled).
  std::function<QString(const QString& current, QWidget* parent)> pickCssFile;
  // Adds (true) or removes (false) the file managers' "Orvane listing" entries.
  std::function<void(bool enable)> shellIntegration;
};

CPageServices DefaultPageServices();

// A Qt file dialog filter from a string table filter ("CSS files (*.css)|*.css|All files
// (*.*)|*.*" gives "CSS files (*.css);;All files (*)").
QString QtFileFilter(const std::string& tableFilter);

}  // namespace orvane::ui
