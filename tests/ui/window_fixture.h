// The main window's tests share this: a temporary tree, settings and temporary folders, a
// window over them, and small file and script helpers.
#pragma once

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include <fstream>
#include <sstream>

#include "settings/commands.h"
#include "ui/pages/options_pane.h"
#include "ui/tree/dir_tree_view.h"
#include "ui/window/column_menu.h"
#include "ui/window/engine_headers.h"
#include "ui/window/main_frame.h"
#include "ui/window/preview_view.h"
#include "ui/window/screenshot.h"
#include "ui/window/status_bar.h"
#include "writers/html_style.h"

namespace orvane::ui {

inline constexpr int kLongWait = 60000;

inline std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// Runs a script in the preview's page and returns its result.
inline QVariant RunScript(PreviewView* view, const QString& script) {
  QVariant result;
  QEventLoop loop;
  view->page()->runJavaScript(script, [&](const QVariant& v) {
    result = v;
    loop.quit();
  });
  loop.exec();
  return result;
}

class WindowFixture : public QObject {
 protected:
  QTemporaryDir m_dir;
  QString m_tree;

  QString Path(const QString& name) const { return m_dir.filePath(name); }

  // A window over the test tree with its own settings, selection and temporary folder.
  std::unique_ptr<CMainFrame> MakeFrame(bool previewAtStart = false) {
    FrameSetup setup;
    setup.settingsPath = Path("cfg/Orvane.ini").toStdString();
    setup.rememberedSelectionPath = Path("cfg/orvane.ovs").toStdString();
    setup.tempFolder = Path("tmp").toStdString();
    setup.homeFolder = m_tree.toStdString();
    setup.selection = CheckedDirs{{m_tree.toStdString(), DirCheck::kWithSubdirs}};
    setup.mailAvailable = true;
    setup.watchMounts = false;
    setup.previewAtStart = previewAtStart;
    auto frame = std::make_unique<CMainFrame>(setup);
    frame->SetMessageSink(
        [this](const QString& title, const QString& text) { m_messages << title + ": " + text; });
    frame->resize(900, 650);
    return frame;
  }

  static void WaitIdle(CMainFrame& frame) {
    QTRY_VERIFY_WITH_TIMEOUT(
        !frame.Controller().Generating() && !frame.Controller().RegeneratePending(), kLongWait);
  }

  QStringList m_messages;

  void SetUpTree() {
    QVERIFY(m_dir.isValid());
    m_tree = Path("tree");
    QVERIFY(QDir().mkpath(m_tree + "/sub"));
    QVERIFY(QDir().mkpath(Path("cfg")));
    QVERIFY(QDir().mkpath(Path("tmp")));
    WriteFile(m_tree + "/alpha.txt", "alpha");
    WriteFile(m_tree + "/beta.dat", std::string(3000, 'b'));
    WriteFile(m_tree + "/sub/gamma.txt", "gamma");
  }

  void ResetFiles() {
    m_messages.clear();
    QFile::remove(Path("cfg/Orvane.ini"));
    QFile::remove(Path("cfg/orvane.ovs"));
  }
};

}  // namespace orvane::ui
