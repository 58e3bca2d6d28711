// The window's file commands (configurations, selections, HTML styles), the directory tree's
// refresh, help and web links, the keyboard splitter mode and the preview's column menu.
#include <QFileDialog>
#include <QKeyEvent>
#include <QSplitter>
#include <QThread>

#include <QAction>
#include "base/strings.h"
#include "platform/desktop.h"
#include "platform/user_folders.h"
#include "settings/commands.h"
#include "settings/window_texts.h"

#include "ui/pages/page_services.h"
#include "ui/tree/dir_tree_view.h"
#include "ui/window/column_menu.h"
#include "ui/window/engine_headers.h"
#include "ui/window/main_frame.h"
#include "ui/window/status_bar.h"

namespace orvane::ui {
namespace {

constexpr int kSplitStep = 10;  // pixels per arrow key in the splitter mode

std::string OpenFile(QWidget* parent, const QString& title, int filterText, const char* suffix) {
  QFileDialog dialog(parent, title, {}, QtFileFilter(GetText(filterText)));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

std::string SaveFile(QWidget* parent, const QString& title, int filterText, const char* suffix) {
  QFileDialog dialog(parent, title, {}, QtFileFilter(GetText(filterText)));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

QString CannotRead(const std::string& path) {
  return QString::fromStdString(WindowText(kTextCannotRead, path));
}

QString CannotWrite(const std::string& path) {
  return QString::fromStdString(WindowText(kTextCannotWrite, path));
}

}  // namespace

// A file dialog's title: the text of the menu item that opened it, in the current language.
QString CMainFrame::Title(int commandId) const {
  QAction* action = Action(commandId);
  return action ? action->text().remove('&') : QString();
}

void CMainFrame::LoadConfigurationCommand() {
  const std::string path = OpenFile(this, Title(kCmdLoadConfiguration), 5004, "ovc");
  if (!path.empty() && !LoadConfiguration(path)) ShowMessage("Error", CannotRead(path));
}

void CMainFrame::SaveConfigurationCommand() {
  const std::string path = SaveFile(this, Title(kCmdSaveConfiguration), 5004, "ovc");
  if (path.empty()) return;
  StorePlacement();
  if (!SaveOptions(path, true, m_pages, m_named)) ShowMessage("Error", CannotWrite(path));
}

void CMainFrame::LoadStyleCommand() {
  const std::string path = OpenFile(this, Title(kCmdLoadHtmlStyle), 5019, "ovh");
  if (!path.empty() && !LoadConfiguration(path)) ShowMessage("Error", CannotRead(path));
}

void CMainFrame::SaveStyleCommand() {
  const std::string path = SaveFile(this, Title(kCmdSaveHtmlStyle), 5019, "ovh");
  if (!path.empty() && !SaveOptions(path, false, m_pages, m_named))
    ShowMessage("Error", CannotWrite(path));
}

void CMainFrame::LoadSelectionCommand() {
  const std::string path = OpenFile(this, Title(kCmdLoadSelection), 5003, "ovs");
  if (path.empty()) return;
  if (m_tree->LoadSelectionFile(path) != TextReadStatus::kOk) {
    ShowMessage("Error", CannotRead(path));
    return;
  }
  OptionsChanged();
}

void CMainFrame::SaveSelectionCommand() {
  const std::string path = SaveFile(this, Title(kCmdSaveSelection), 5003, "ovs");
  if (!path.empty() && !m_tree->SaveSelectionFile(path)) ShowMessage("Error", CannotWrite(path));
}

void CMainFrame::RefreshDirs() {
  m_tree->RefreshDirs();
  OptionsChanged();
}

void CMainFrame::OpenHelp() {
  const std::string help = m_setup.programFolder + "help/index.html";
  if (m_setup.programFolder.empty() || GetPathKind(help) != PathKind::kRegular) {
    ShowMessage("Error", QString::fromStdString(WindowText(kTextHelpMissing, help)));
    return;
  }
  OpenAddress(help);
}

void CMainFrame::OpenAddress(const std::string& address) {
  if (!OpenWithDesktop(address))
    ShowMessage("Error", QString::fromStdString(WindowText(kTextCannotOpen, address)));
}

void CMainFrame::ContactSupport() {
  if (!m_setup.mailAvailable) {
    ShowMessage(kProgramName, QString::fromStdString(MessageText(61840)));
    return;
  }
  auto status = std::make_shared<int>(-1);
  const std::vector<std::string> argv = {
      "xdg-email", "--subject", std::string(kProgramName) + " v1.0 help", ORVANE_SUPPORT_EMAIL};
  QThread* thread = QThread::create([status, argv] { *status = RunAndWait(argv); });
  connect(thread, &QThread::finished, this, [this, status, thread] {
    thread->deleteLater();
    if (*status != 0) ShowMessage(kProgramName, QString::fromStdString(MessageText(61842)));
  });
  thread->start();
}

void CMainFrame::StartSplitMode() {
  m_bSplitMode = true;
  m_splitStart = {m_mainSplitter->sizes().value(0), m_rightSplitter->sizes().value(0)};
  SetStatusMessage(QString::fromStdString(WindowText(kTextSplitMode)));
  grabKeyboard();
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
  if (!m_bSplitMode) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  auto move = [](QSplitter* splitter, int first) {
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    first = std::clamp(first, 0, total);
    splitter->setSizes({first, total - first});
  };
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      move(m_mainSplitter, m_mainSplitter->sizes().value(0) +
                               (event->key() == Qt::Key_Left ? -kSplitStep : kSplitStep));
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
      move(m_rightSplitter, m_rightSplitter->sizes().value(0) +
                                (event->key() == Qt::Key_Up ? -kSplitStep : kSplitStep));
      break;
    case Qt::Key_Escape:
      move(m_mainSplitter, m_splitStart.first);
      move(m_rightSplitter, m_splitStart.second);
      [[fallthrough]];
    case Qt::Key_Return:
    case Qt::Key_Enter:
      m_bSplitMode = false;
      releaseKeyboard();
      SetStatusMessage({});
      break;
    default:
      break;
  }
}

void CMainFrame::ApplyColumnCommand(int column, int command) {
  bool changed = false;
  m_pages.EditColumnOrder([&](CColumnOrderList& order) {
    changed = ApplyColumnMenuCommand(order, column, static_cast<ColumnMenuCommand>(command));
  });
  if (changed) RefreshPreview();
}

}  // namespace orvane::ui
