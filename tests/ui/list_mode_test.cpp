// List mode in the window ("orvane /l SELECTION" without an output file), offscreen: the save
// dialog confirmed writes the listing and ends the run, cancelled ends it without one, /r
// removes the selection file once the dialog has closed, a cancelled generation leaves the
// window open, a listing that cannot be written is no success, the settings stay untouched,
// and the file managers' "Orvane listing" entry runs it end to end.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sstream>

#include "platform/shell_integration.h"
#include "test_util.h"
#include "ui/window/delivery_ui.h"
#include "ui/window/engine_headers.h"
#include "ui/window/main_frame.h"

namespace orvane::ui {
namespace {

constexpr int kLongWait = 60000;

std::string ReadFile(const QString& path) {
  return test::ReadFile(path.toStdString());
}

void WriteFile(const QString& path, const std::string& bytes) {
  test::WriteFile(path.toStdString(), bytes);
}

// The settings the user's window saved last: CSV output.
constexpr const char* kSettings = "[Settings]\r\n1411=0\r\n1414=1\r\n1257=1\r\n";

}  // namespace

class ListModeTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  QString m_tree;
  QStringList m_messages;
  std::vector<std::string> m_proposed;  // the names the dialog was shown with

  QString Path(const QString& name) const { return m_dir.filePath(name); }

  // The window's places for a test run; the settings paths point at real files, which a list
  // run must leave alone.
  FrameSetup Setup() const {
    FrameSetup setup;
    setup.settingsPath = Path("cfg/Orvane.ini").toStdString();
    setup.rememberedSelectionPath = Path("cfg/orvane.ovs").toStdString();
    setup.tempFolder = Path("tmp").toStdString();
    setup.homeFolder = m_tree.toStdString();
    setup.watchMounts = false;
    return setup;
  }

  CListWindowStart Start() const {
    CListWindowStart start;
    start.configPath = Path("cfg/Orvane.ini").toStdString();
    start.selection = CheckedDirs{{m_tree.toStdString(), DirCheck::kWithSubdirs}};
    return start;
  }

  // A dialog that answers with path (nothing: cancelled) and records what it was shown.
  ListModeSeams Seams(std::optional<QString> path) {
    ListModeSeams seams;
    seams.dialog = [this, path](const std::string& proposed, bool&) -> std::optional<std::string> {
      m_proposed.push_back(proposed);
      if (!path) return std::nullopt;
      return path->toStdString();
    };
    seams.messages = [this](const QString& title, const QString& text) {
      m_messages << title + ": " + text;
    };
    return seams;
  }

  void VerifySettingsUntouched() {
    QCOMPARE(ReadFile(Path("cfg/Orvane.ini")), std::string(kSettings));
    QVERIFY(!QFile::exists(Path("cfg/orvane.ovs")));
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_tree = Path("my tree");
    QVERIFY(QDir().mkpath(m_tree + "/sub"));
    QVERIFY(QDir().mkpath(Path("cfg")));
    QVERIFY(QDir().mkpath(Path("tmp")));
    WriteFile(m_tree + "/alpha.txt", "alpha");
    WriteFile(m_tree + "/sub/gamma.txt", "gamma");
  }

  void init() {
    m_messages.clear();
    m_proposed.clear();
    WriteFile(Path("cfg/Orvane.ini"), kSettings);
    QFile::remove(Path("cfg/orvane.ovs"));
  }

  void aConfirmedDialogWritesTheListingAndEndsTheRun() {
    const QString out = Path("listing.csv");
    ListModeSeams seams = Seams(out);
    CMainFrame* window = nullptr;
    bool minimisedDuringDialog = false;
    seams.onFrame = [&](CMainFrame& frame) { window = &frame; };
    auto answer = seams.dialog;
    seams.dialog = [&](const std::string& proposed, bool& open) {
      minimisedDuringDialog = window && window->isMinimized();
      return answer(proposed, open);
    };
    QCOMPARE(RunListMode(Start(), Setup(), seams), 0);
    QVERIFY(minimisedDuringDialog);
    // The settings' CSV output reached the dialog and the listing.
    QCOMPARE(m_proposed, std::vector<std::string>{"Untitled.csv"});
    const std::string listing = ReadFile(out);
    QVERIFY2(listing.find("alpha;txt") != std::string::npos &&
                 listing.find("gamma;txt") != std::string::npos,
             listing.c_str());
    QVERIFY(listing.find("<html") == std::string::npos);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
    VerifySettingsUntouched();
  }

  // Without a seam the real dialog comes up on its own (not hidden with the minimised window),
  // with the "Open listing file after creation" box; cancelling it ends the run.
  void theRealDialogStandsAloneAndCancelEndsTheRun() {
    bool alone = false;
    QString box;
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&, poll] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        QTimer::singleShot(50, *poll);
        return;
      }
      alone = dialog->parentWidget() == nullptr && dialog->isVisible();
      if (auto* check = dialog->findChild<QCheckBox*>()) box = check->text();
      dialog->reject();
    };
    QTimer::singleShot(50, *poll);
    ListModeSeams seams = Seams(std::nullopt);
    seams.dialog = nullptr;
    QCOMPARE(RunListMode(Start(), Setup(), seams), 1);
    QVERIFY(alone);
    QCOMPARE(box, QString("Open listing file after creation"));
    VerifySettingsUntouched();
  }

  // /r removes the selection file once the dialog has closed, confirmed or cancelled.
  void removeSelectionGoesAfterTheDialogEitherWay() {
    for (const bool confirm : {false, true}) {
      const QString selectionFile = Path("once.ovs");
      WriteFile(selectionFile, "3|" + m_tree.toStdString() + "\r\n");
      const QString out = Path(confirm ? "removed.txt" : "never.txt");
      CListWindowStart start = Start();
      start.selectionFile = selectionFile.toStdString();
      start.removeSelection = true;
      ListModeSeams seams = Seams(confirm ? std::optional<QString>(out) : std::nullopt);
      bool presentDuringDialog = false;
      auto answer = seams.dialog;
      seams.dialog = [&](const std::string& proposed, bool& open) {
        presentDuringDialog = QFile::exists(selectionFile);
        return answer(proposed, open);
      };
      QCOMPARE(RunListMode(start, Setup(), seams), confirm ? 0 : 1);
      QVERIFY(presentDuringDialog);
      QVERIFY(!QFile::exists(selectionFile));
      QCOMPARE(QFile::exists(out), confirm);
      VerifySettingsUntouched();
    }
  }

  // A folder named with /l is never removed, /r or not.
  void removeSelectionLeavesAFolderAlone() {
    CListWindowStart start = Start();
    start.selectionFile = m_tree.toStdString();
    start.removeSelection = true;
    QCOMPARE(RunListMode(start, Setup(), Seams(std::nullopt)), 1);
    QVERIFY(QFile::exists(m_tree + "/alpha.txt"));
  }

  void aListingThatCannotBeWrittenIsNoSuccess() {
    QCOMPARE(RunListMode(Start(), Setup(), Seams(Path("missing/dir/listing.csv"))), 1);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().startsWith("Error: The listing could not be written"),
             qPrintable(m_messages.front()));
    VerifySettingsUntouched();
  }

  // A cancelled generation leaves the window open; closing it by hand then ends the run
  // without a listing and without writing the settings.
  void aCancelledGenerationLeavesTheWindowOpen() {
    const QString big = Path("big");
    QVERIFY(QDir().mkpath(big));
    for (int i = 0; i < 3000; ++i) WriteFile(big + QString("/f%1.txt").arg(i), "x");
    CListWindowStart start = Start();
    start.selection = CheckedDirs{{big.toStdString(), DirCheck::kWithSubdirs}};
    const QString out = Path("cancelled.csv");
    ListModeSeams seams = Seams(out);
    bool openAfterCancel = false;
    bool cancelled = false;
    seams.onFrame = [&](CMainFrame& frame) {
      GenerationController& gen = frame.Controller();
      connect(&gen, &GenerationController::generatingChanged, &frame, [&gen](bool on) {
        if (on) gen.Cancel();
      });
      CMainFrame* window = &frame;
      connect(&gen, &GenerationController::finished, window,
              [&, window](const GenerationResult& r) {
                cancelled = r.cancelled;
                QTimer::singleShot(300, window, [&, window] {
                  openAfterCancel = window->isVisible();
                  window->close();
                });
              });
    };
    QCOMPARE(RunListMode(start, Setup(), seams), 1);
    QVERIFY(cancelled);
    QVERIFY(openAfterCancel);
    QVERIFY(!QFile::exists(out) || ReadFile(out).find("f2999;txt") == std::string::npos);
    VerifySettingsUntouched();
  }

  // The file managers' entry: the Nautilus script Orvane installs runs "PROGRAM /l FOLDER";
  // that command line, through the start-up, lists the folder in the window.
  void theFileManagerEntryListsTheFolder() {
    ShellPlaces places;
    places.dataHome = Path("data").toStdString();
    places.configHome = Path("config").toStdString();
    QVERIFY(QDir().mkpath(Path("data/nautilus/scripts")));
    const QString program = Path("orvane recorder");
    WriteFile(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                           Path("argv.txt").toStdString() + ".new\"\nmv \"" +
                           Path("argv.txt").toStdString() + ".new\" \"" +
                           Path("argv.txt").toStdString() + "\"\n");
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    InstallShellIntegration(program.toStdString(), places);
    QCOMPARE(QProcess::execute(Path("data/nautilus/scripts/Orvane listing"), {m_tree}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Path("argv.txt")), 10000);
    std::vector<std::string> args;
    std::istringstream lines(ReadFile(Path("argv.txt")));
    for (std::string line; std::getline(lines, line);) args.push_back(line);

    const QString out = Path("from the menu.csv");
    std::ostringstream err;
    CStartupServices services;
    services.settingsPath = Path("cfg/Orvane.ini").toStdString();
    services.err = &err;
    services.runListing = [](const CListingOptions&, const CheckedDirs&, int,
                             const std::string&) -> CListingResult {
      QTest::qFail("the listing was made without the window", __FILE__, __LINE__);
      return {};
    };
    services.runListWindow = [&](const CListWindowStart& start) -> std::optional<int> {
      return RunListMode(start, Setup(), Seams(out));
    };
    QCOMPARE(RunOrvane(args, services), 0);
    QVERIFY2(ReadFile(out).find("gamma;txt") != std::string::npos, err.str().c_str());
    VerifySettingsUntouched();
  }
};

}  // namespace orvane::ui

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (QFileInfo("/proc/self").ownerId() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication app(argc, argv);
  orvane::ui::ListModeTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "list_mode_test.moc"
