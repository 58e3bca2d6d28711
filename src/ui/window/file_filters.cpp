#include "ui/window/file_filters.h"

#include <QStringList>

namespace orvane::ui {

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace("*.*", "*").replace(';', ' ');
    QString description = parts[i];
    // "All files (*.*)" shows the patterns the dialog really uses.
    const qsizetype bracket = description.indexOf('(');
    if (bracket >= 0) description.truncate(bracket);
    out << description.trimmed() + " (" + patterns + ")";
  }
  return out.join(";;");
}

}  // namespace orvane::ui
