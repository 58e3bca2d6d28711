#include "ui/window/window_main.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QThread>

#include <cstdio>

#include "base/strings.h"
#include "platform/desktop.h"
#include "platform/smb_settings.h"
#include "platform/temp_files.h"
#include "platform/user_folders.h"
#include "settings/selection_file.h"
#include "settings/window_texts.h"
#include "ui/window/delivery_ui.h"
#include "ui/window/engine_headers.h"
#include "ui/window/main_frame.h"
#include "ui/window/screenshot.h"

namespace orvane::ui {
namespace {

// Chromium refuses to start as root unless its sandbox is off; the preview needs it.
void PrepareWebEngine() {
  if (QFileInfo("/proc/self").ownerId() == 0 &&
      qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// The password of an SMB account, asked in a dialog on the window's thread; the network code
// asks from its own threads and waits for the answer.
void InstallSmbPrompt() {
  SetSmbPasswordPrompt(
      [](const std::string& server, const std::string& user, std::string& password) {
        bool ok = false;
        QString answer;
        auto ask = [&] {
          answer = QInputDialog::getText(
              QApplication::activeWindow(), QString::fromStdString(WindowText(kTextPasswordTitle)),
              QString::fromStdString(WindowText(kTextPasswordPrompt))
                  .arg(QString::fromStdString(user), QString::fromStdString(server)),
              QLineEdit::Password, {}, &ok);
        };
        if (QThread::currentThread() == qApp->thread())
          ask();
        else
          QMetaObject::invokeMethod(qApp, ask, Qt::BlockingQueuedConnection);
        if (ok) password = answer.toStdString();
        return ok;
      });
}

// The selection of --screenshot: a directory with its subdirectories, or a selection file.
bool ReadStartSelection(const std::string& name, CheckedDirs& selection) {
  if (GetPathKind(name) == PathKind::kDirectory) {
    selection[AbsolutePath(name)] = DirCheck::kWithSubdirs;
    return true;
  }
  const TextReadStatus status = LoadSelection(name, selection);
  if (status == TextReadStatus::kOk) return true;
  std::fprintf(stderr, "orvane: the selection file \"%s\" %s\n", name.c_str(),
               DescribeReadStatus(status));
  return false;
}

void PrepareApplication() {
  QApplication::setApplicationName(kProgramName);
  QApplication::setOrganizationName("Brenmoor");
  InstallSmbPrompt();
}

// The places every window of a run shares; the settings are left to the caller.
FrameSetup BaseSetup() {
  FrameSetup setup;
  setup.programFolder = GetProgramFolder();
  setup.tempFolder = GetTempFolder();
  setup.homeFolder = QDir::homePath().toStdString();
  setup.mailAvailable = IsMailAvailable();
  if (!setup.tempFolder.empty())
    RemoveStaleMailAttachments(setup.tempFolder, QDateTime::currentSecsSinceEpoch());
  return setup;
}

}  // namespace

bool DisplayAvailable() {
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
         !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int RunListWindow(int argc, char** argv, const CListWindowStart& start) {
  PrepareWebEngine();
  QApplication app(argc, argv);
  PrepareApplication();
  return RunListMode(start, BaseSetup());
}

int RunWindow(int argc, char** argv, const WindowStart& start) {
  // Without a display Qt would abort; say so the way a command line that cannot run does.
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "orvane: there is no display to open the window on; use /l or /e to make a "
                 "listing without it (see --help)\n");
    return 2;
  }
  PrepareWebEngine();
  QApplication app(argc, argv);
  PrepareApplication();

  const bool screenshot = !start.screenshotPath.empty();
  FrameSetup setup = BaseSetup();
  setup.configPath = start.configPath;
  if (!screenshot) {
    // A picture for a check changes none of the user's files.
    setup.settingsPath = GetSettingsPath(true);
    setup.rememberedSelectionPath = GetRememberedSelectionPath();
  }
  if (!start.selection.empty()) {
    CheckedDirs selection;
    if (!ReadStartSelection(start.selection, selection)) return 1;
    setup.selection = selection;
  }
  CMainFrame frame(setup);
  if (screenshot) return TakeScreenshot(frame, start.screenshotPath) ? 0 : 1;
  frame.show();
  return app.exec();
}

}  // namespace orvane::ui
