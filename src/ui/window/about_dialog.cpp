#include "ui/window/about_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "base/strings.h"
#include "platform/desktop.h"
#include "settings/commands.h"
#include "settings/window_texts.h"

namespace orvane::ui {

void ShowAboutDialog(QWidget* parent) {
  QDialog dialog(parent);
  // The title is the status-bar prompt of "About", in the current language.
  const std::string title = GetText(kCmdAbout);
  dialog.setWindowTitle(title.empty() ? QString("About ") + kProgramName
                                      : QString::fromStdString(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* name = new QLabel(QString("<b>") + kProgramName + "</b>", &dialog);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  name->setFont(big);
  layout->addWidget(name);
  layout->addWidget(
      new QLabel(QString::fromStdString(WindowText(kTextVersion, ORVANE_VERSION)), &dialog));
  // The translator's credit of the current language (none for the built-in English texts).
  const std::string credit = GetText(5020);
  if (!credit.empty()) layout->addWidget(new QLabel(QString::fromStdString(credit), &dialog));
  auto* link =
      new QLabel(QString("<a href=\"%1\">%1</a>").arg(QString::fromUtf8(ORVANE_HOMEPAGE)), &dialog);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  QObject::connect(link, &QLabel::linkActivated,
                   [](const QString& address) { OpenWithDesktop(address.toStdString()); });
  layout->addWidget(link);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  dialog.exec();
}

}  // namespace orvane::ui
