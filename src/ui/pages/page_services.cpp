#include "ui/pages/page_services.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QStringList>

#include "base/strings.h"
#include "platform/shell_integration.h"

namespace orvane::ui {

QString QtFileFilter(const std::string& tableFilter) {
  // "Description|pattern|Description|pattern": the descriptions already name their patterns.
  const QStringList parts = QString::fromStdString(tableFilter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    QString description = parts[i];
    description.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    filters << description;
  }
  return filters.join(QStringLiteral(";;"));
}

CPageServices DefaultPageServices() {
  CPageServices s;
  s.pickFont = [](const QFont& initial, QWidget* parent) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
  };
  s.pickColor = [](const QColor& initial, QWidget* parent,
                   const QString& title) -> std::optional<QColor> {
    const QColor color = QColorDialog::getColor(initial, parent, title);
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
  };
  s.pickCssFile = [](const QString& current, QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QFileInfo(current).path(),
                                        QtFileFilter(GetText(5010)));
  };
  s.shellIntegration = [](bool enable) {
    const ShellPlaces places = GetShellPlaces();
    if (enable)
      InstallShellIntegration(QCoreApplication::applicationFilePath().toStdString(), places);
    else
      RemoveShellIntegration(places);
  };
  return s;
}

}  // namespace orvane::ui
