// The main window, offscreen with its web preview: opening and closing with the settings and
// the remembered selection, the commands while a listing is generated, the one preview that
// follows edits made during a run, the save flow, the CSV preview, the column menu of the HTML
// preview and the --screenshot switch of the program.
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
namespace {

constexpr int kLongWait = 60000;

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// Runs a script in the preview's page and returns its result.
QVariant RunScript(PreviewView* view, const QString& script) {
  QVariant result;
  QEventLoop loop;
  view->page()->runJavaScript(script, [&](const QVariant& v) {
    result = v;
    loop.quit();
  });
  loop.exec();
  return result;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
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

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_tree = Path("tree");
    QVERIFY(QDir().mkpath(m_tree + "/sub"));
    QVERIFY(QDir().mkpath(Path("cfg")));
    QVERIFY(QDir().mkpath(Path("tmp")));
    WriteFile(m_tree + "/alpha.txt", "alpha");
    WriteFile(m_tree + "/beta.dat", std::string(3000, 'b'));
    WriteFile(m_tree + "/sub/gamma.txt", "gamma");
  }

  void init() {
    m_messages.clear();
    QFile::remove(Path("cfg/Orvane.ini"));
    QFile::remove(Path("cfg/orvane.ovs"));
  }

  void opensShowsTheListingAndWritesTheSettingsWhenClosed() {
    auto frame = MakeFrame(true);
    QSignalSpy ready(frame.get(), &CMainFrame::previewReady);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, kLongWait);
    QCOMPARE(ready.first().first().toBool(), true);
    const QString text = RunScript(frame->Preview(), "document.body.innerText").toString();
    QVERIFY2(text.contains("alpha.txt") && text.contains("gamma.txt"), qPrintable(text));
    QVERIFY(frame->close());
    const std::string settings = ReadFile(Path("cfg/Orvane.ini"));
    QVERIFY(settings.find("Splitters=") != std::string::npos);
    QVERIFY(settings.find("Window=") != std::string::npos);
    QVERIFY(settings.find("1257=1") != std::string::npos);
    // "Remember dirs selection" is on by default: the ticked tree is remembered.
    const std::string selection = ReadFile(Path("cfg/orvane.ovs"));
    QVERIFY(selection.find("3|" + m_tree.toStdString()) != std::string::npos);
  }

  void closingWithRememberClearedLeavesTheRememberedSelectionAlone() {
    WriteFile(Path("cfg/orvane.ovs"), "3|/somewhere/else\r\n");
    auto frame = MakeFrame();
    frame->Pages().SetCheck(kKeyRemember, 0);
    frame->show();
    QVERIFY(frame->close());
    QCOMPARE(ReadFile(Path("cfg/orvane.ovs")), std::string("3|/somewhere/else\r\n"));
    QVERIFY(ReadFile(Path("cfg/Orvane.ini")).find("1257=0") != std::string::npos);
  }

  void startsWithTheConfigurationAndItsSplitters() {
    WriteFile(Path("start.ovc"), "[Settings]\nSplitters=260|10|150|10\n1411=0\n1414=1\n1208=0\n");
    FrameSetup setup;
    setup.configPath = Path("start.ovc").toStdString();
    setup.homeFolder = m_tree.toStdString();
    setup.watchMounts = false;
    setup.previewAtStart = false;
    CMainFrame frame(setup);
    frame.resize(900, 650);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.Pages().OutputType(), 2);
    QVERIFY(!frame.Tree()->WithSubdirsDefault());
    auto* splitter = qobject_cast<QSplitter*>(frame.centralWidget());
    QVERIFY(splitter);
    QCOMPARE(splitter->sizes().value(0), 260);
  }

  void quickConfigurationsComeFromTheProgramFolder() {
    QVERIFY(QDir().mkpath(Path("program")));
    WriteFile(Path("program/CSV list.ovc"), "[Settings]\n1411=0\n1414=1\n");
    WriteFile(Path("program/HTML list.ovc"), "[Settings]\n1411=0\n1413=1\n");
    FrameSetup setup;
    setup.programFolder = Path("program/").toStdString();
    setup.homeFolder = m_tree.toStdString();
    setup.selection = CheckedDirs{{m_tree.toStdString(), DirCheck::kWithSubdirs}};
    setup.watchMounts = false;
    setup.previewAtStart = false;
    CMainFrame frame(setup);
    QMenu* quick = nullptr;
    for (QMenu* menu : frame.findChildren<QMenu*>())
      if (menu->title() == kQuickConfigurationTitle) quick = menu;
    QVERIFY(quick);
    QCOMPARE(quick->actions().size(), 2);
    QCOMPARE(quick->actions().at(1)->text(), QString("HTML list"));
    quick->actions().at(1)->trigger();
    QCOMPARE(frame.Pages().OutputType(), 1);
    // Loading a configuration refreshes the preview.
    QCOMPARE(frame.Controller().StartedCount(), 1);
    QVERIFY(!quick->actions().at(0)->isEnabled());
    WaitIdle(frame);
    QVERIFY(quick->actions().at(0)->isEnabled());

    // Only the first 65 entries have commands; the others are shown but cannot be chosen.
    QVERIFY(QDir().mkpath(Path("many")));
    for (int i = 0; i < 67; ++i)
      WriteFile(Path("many/q%1.ovc").arg(i, 2, 10, QChar('0')), "[Settings]\n1411=1\n");
    setup.programFolder = Path("many/").toStdString();
    CMainFrame crowded(setup);
    QMenu* many = nullptr;
    for (QMenu* menu : crowded.findChildren<QMenu*>())
      if (menu->title() == kQuickConfigurationTitle) many = menu;
    QVERIFY(many);
    QCOMPARE(many->actions().size(), 67);
    QVERIFY(many->actions().at(64)->isEnabled());
    QVERIFY(!many->actions().at(65)->isEnabled() && !many->actions().at(66)->isEnabled());
  }

  void commandsFollowTheGeneration() {
    auto frame = MakeFrame();
    frame->RefreshPreview();
    QVERIFY(frame->Controller().Generating());
    for (int id : {kCmdSaveListing, kCmdPrintListing, kCmdSendListing, kCmdCopyListing,
                   kCmdRefreshListing, kCmdLoadConfiguration, kCmdSaveConfiguration,
                   kCmdLoadSelection, kCmdSaveSelection, kCmdPrintSetup})
      QVERIFY2(!frame->Action(id)->isEnabled(), qPrintable(frame->Action(id)->text()));
    for (int id : {kCmdCancel, kCmdPrintPreview, kCmdLoadHtmlStyle, kCmdSaveHtmlStyle,
                   kCmdRefreshDirs, kCmdHelpTopics, kCmdVisitHomepage, kCmdAbout, kCmdExit})
      QVERIFY2(frame->Action(id)->isEnabled(), qPrintable(frame->Action(id)->text()));
    // A disabled command does nothing even when it is reached another way.
    int dialogs = 0;
    frame->SetSaveDialog([&](const std::string&, bool&) {
      ++dialogs;
      return std::nullopt;
    });
    frame->RunCommand(kCmdSaveListing);
    QCOMPARE(dialogs, 0);
    WaitIdle(*frame);
    QVERIFY(frame->Action(kCmdSaveListing)->isEnabled());
    QVERIFY(frame->Action(kCmdSendListing)->isEnabled());
    QVERIFY(!frame->Action(kCmdCancel)->isEnabled());
  }

  void editsDuringARunGiveExactlyOneMorePreview() {
    auto frame = MakeFrame();
    frame->RefreshPreview();
    QCOMPARE(frame->Controller().StartedCount(), 1);
    for (int id : {kKeyDirRows, kKeySubdirs, kKeyFileCountInDirRow}) {
      frame->Pages().SetCheck(id, frame->Pages().Check(id) ? 0 : 1);
      emit frame->OptionsPane()->optionsEdited(id);
    }
    QCOMPARE(frame->Controller().StartedCount(), 1);
    WaitIdle(*frame);
    QTest::qWait(300);
    QCOMPARE(frame->Controller().StartedCount(), 2);
    // With "Automatically refresh preview" cleared an edit starts nothing.
    frame->Pages().SetCheck(kKeyAutoRefresh, 0);
    emit frame->OptionsPane()->optionsEdited(kKeyDirRows);
    QCOMPARE(frame->Controller().StartedCount(), 2);
  }

  void cancelStopsTheRunAndTheWindowGoesOn() {
    auto frame = MakeFrame();
    QSignalSpy finished(&frame->Controller(), &GenerationController::finished);
    for (int i = 0; i < 20; ++i) {
      frame->RefreshPreview();
      frame->RunCommand(kCmdCancel);
      QTRY_VERIFY_WITH_TIMEOUT(!frame->Controller().Generating(), kLongWait);
    }
    QCOMPARE(finished.count(), 20);
    QVERIFY(!frame->Action(kCmdCancel)->isEnabled());
    QVERIFY(frame->Action(kCmdRefreshListing)->isEnabled());
    // A cancelled preview shows nothing and reports nothing; the next one is complete.
    QVERIFY(m_messages.isEmpty());
    QSignalSpy ready(frame.get(), &CMainFrame::previewReady);
    frame->RefreshPreview();
    QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, kLongWait);
    QVERIFY(ReadFile(QString::fromStdString(frame->Controller().TempListing())).find("gamma.txt") !=
            std::string::npos);
  }

  void saveAsksOnceThenWritesTheSameFileUntilItIsGone() {
    auto frame = MakeFrame();
    const QString out = Path("saved.txt");
    QStringList proposed;
    frame->SetSaveDialog([&](const std::string& name, bool& openAfter) {
      proposed << QString::fromStdString(name);
      openAfter = false;
      return std::optional<std::string>(out.toStdString());
    });
    frame->SaveListing();
    WaitIdle(*frame);
    QCOMPARE(proposed, QStringList{"Untitled.txt"});
    QCOMPARE(QString::fromStdString(frame->DocumentPath()), out);
    QVERIFY(ReadFile(out).find("alpha.txt") != std::string::npos);
    WriteFile(out, "stale");
    frame->SaveListing();
    WaitIdle(*frame);
    QCOMPARE(proposed.size(), 1);
    QVERIFY(ReadFile(out).find("alpha.txt") != std::string::npos);
    QVERIFY(QFile::remove(out));
    frame->SaveListing();
    WaitIdle(*frame);
    QCOMPARE(proposed.size(), 2);
    QCOMPARE(proposed.last(), out);
    QVERIFY(m_messages.isEmpty());
  }

  void aListingThatCannotBeWrittenIsReported() {
    auto frame = MakeFrame();
    const QString out = Path("no/such/folder/listing.txt");
    frame->SetSaveDialog(
        [&](const std::string&, bool&) { return std::optional<std::string>(out.toStdString()); });
    frame->SaveListing();
    WaitIdle(*frame);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().startsWith("Error: ") && m_messages.first().contains(out),
             qPrintable(m_messages.first()));
    QVERIFY(frame->DocumentPath().empty());
  }

  void csvPreviewIsATextFileAndCsvIsSavedAsCsv() {
    auto frame = MakeFrame();
    frame->Pages().SetCheck(kKeyCsvOutput, 1);
    QSignalSpy ready(frame.get(), &CMainFrame::previewReady);
    frame->RefreshPreview();
    const QString temp = QString::fromStdString(frame->Controller().TempListing());
    QVERIFY2(temp.endsWith(".txt") && QFileInfo(temp).fileName().startsWith("OVN"),
             qPrintable(temp));
    QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, kLongWait);
    const QString text = RunScript(frame->Preview(), "document.body.innerText").toString();
    QVERIFY2(text.contains("alpha;txt;"), qPrintable(text));
    std::string proposed;
    frame->SetSaveDialog([&](const std::string& name, bool&) {
      proposed = name;
      return std::nullopt;
    });
    frame->SaveListing();
    QCOMPARE(QString::fromStdString(proposed), QString("Untitled.csv"));
  }

  void keysReachTheirCommands() {
    auto frame = MakeFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    int dialogs = 0;
    frame->SetSaveDialog([&](const std::string&, bool&) {
      ++dialogs;
      return std::nullopt;
    });
    QTest::keySequence(frame.get(), QKeySequence("F5"));
    QCOMPARE(frame->Controller().StartedCount(), 1);
    WaitIdle(*frame);
    QTest::keySequence(frame.get(), QKeySequence("Ctrl+S"));
    QCOMPARE(dialogs, 1);
    // Menu texts and the tree box's hint go to the message part of the status bar; the hint
    // goes when the pointer leaves.
    frame->Action(kCmdRefreshListing)->showStatusText(frame.get());
    QCOMPARE(frame->Status()->Message(), QString("Refresh the listing"));
    QCheckBox* box = nullptr;
    for (QCheckBox* b : frame->findChildren<QCheckBox*>())
      if (b->text() == "Select &with subdirectories") box = b;
    QVERIFY(box);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(box, &enter);
    QVERIFY(frame->Status()->Message().startsWith("Select also all subdirectories"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box, &leave);
    QVERIFY(frame->Status()->Message().isEmpty());
  }

  void progressBarMovesAsAMarqueeWhileScanningAndFillsWhileWriting() {
    OrvaneStatusBar bar;
    QProgressBar* progress = bar.Progress();
    bar.SetGenerating(true);
    bar.ScanBegin();
    QCOMPARE(progress->maximum(), 14);
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 2, 2000);
    bar.ScanEnd();
    const int stopped = progress->value();
    QTest::qWait(250);
    QCOMPARE(progress->value(), stopped);
    bar.WriteBegin(40);
    QCOMPARE(progress->maximum(), 40);
    QCOMPARE(progress->value(), 0);
    bar.WriteProgress(25);
    QCOMPARE(progress->value(), 25);
    bar.WriteEnd();
    QCOMPARE(progress->value(), 0);
    bar.SetGenerating(false);
    QVERIFY(!bar.Generating());
  }

  void copyTakesTheSelectionOrTheWholeListing() {
    auto frame = MakeFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QSignalSpy ready(frame.get(), &CMainFrame::previewReady);
    frame->RefreshPreview();
    QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, kLongWait);
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    frame->RunCommand(kCmdCopyListing);
    QTRY_VERIFY_WITH_TIMEOUT(clipboard->text().contains("gamma.txt"), 10000);
    QVERIFY(clipboard->text().contains("alpha.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(!frame->Preview()->page()->hasSelection(), 10000);
    // Select "alpha.txt" alone in the page.
    RunScript(frame->Preview(),
              "(function(){var t=document.querySelector('pre').firstChild;"
              "var i=t.data.indexOf('alpha.txt');var r=document.createRange();"
              "r.setStart(t,i);r.setEnd(t,i+9);var s=window.getSelection();"
              "s.removeAllRanges();s.addRange(r);})()");
    QTRY_VERIFY_WITH_TIMEOUT(frame->Preview()->page()->hasSelection(), 10000);
    frame->RunCommand(kCmdCopyListing);
    QTRY_COMPARE_WITH_TIMEOUT(clipboard->text(), QString("alpha.txt"), 10000);
  }

  void printingPrintsThePreviewPage() {
    auto frame = MakeFrame();
    frame->show();
    QSignalSpy ready(frame.get(), &CMainFrame::previewReady);
    frame->RefreshPreview();
    QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, kLongWait);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("printed.pdf"));
    std::optional<bool> printed;
    frame->Preview()->PrintTo(&printer, [&](bool ok) { printed = ok; });
    QTRY_VERIFY_WITH_TIMEOUT(printed.has_value(), kLongWait);
    QVERIFY(*printed);
    const std::string pdf = ReadFile(Path("printed.pdf"));
    QVERIFY(pdf.starts_with("%PDF") && pdf.size() > 1000);
  }

  void cellClassesNameTheirColumns() {
    for (ColumnId id : kAllColumns) {
      for (const char* base : {"aa", "fa", "ka"}) {
        const std::string cls = ColumnClass(base, id);
        QCOMPARE(ColumnOfCellClass(cls), std::optional<int>(ColumnNumber(id)));
        QCOMPARE(ColumnOfCellClass("header" + cls), std::optional<int>(ColumnNumber(id)));
      }
    }
    for (const char* name : {"i", "a", "q", "headerq", "x i"})
      QCOMPARE(ColumnOfCellClass(name), std::optional<int>(ColumnNumber(ColumnId::kName)));
    for (const char* none : {"", "header", "ahead", "zz", "dz", "a1"})
      QCOMPARE(ColumnOfCellClass(none), std::optional<int>());
  }

  void columnMenuEditsTheColumnOrderAndRefreshes() {
    auto frame = MakeFrame();
    CColumnOrderList& order = frame->Pages().ColumnOrder();
    const int size = ColumnNumber(ColumnId::kSize);
    const std::size_t home = *OrderEntryOf(order, size);
    QVERIFY(home > 0);
    emit frame->Preview()->columnCommand(size, ColumnMenuCommand::kMoveLeft);
    QCOMPARE(*OrderEntryOf(order, size), home - 1);
    QCOMPARE(frame->Controller().StartedCount(), 1);
    WaitIdle(*frame);
    emit frame->Preview()->columnCommand(size, ColumnMenuCommand::kCenter);
    QCOMPARE(order.AlignAt(home - 1), 2);
    WaitIdle(*frame);
    emit frame->Preview()->columnCommand(size, ColumnMenuCommand::kRestoreDefault);
    QCOMPARE(order.Encode(), CColumnOrderList().Encode());
    // Path is shown inside the Name cell: its menu edits the Name entry.
    QCOMPARE(OrderEntryOf(order, ColumnNumber(ColumnId::kPath)),
             OrderEntryOf(order, ColumnNumber(ColumnId::kName)));
    QCOMPARE(
        ApplyColumnMenuCommand(order, ColumnNumber(ColumnId::kName), ColumnMenuCommand::kMoveLeft),
        false);  // already first
  }

  void htmlPreviewFindsTheColumnUnderThePointer() {
    auto frame = MakeFrame();
    frame->Pages().SetCheck(kKeyHtmlOutput, 1);
    frame->show();
    QSignalSpy ready(frame.get(), &CMainFrame::previewReady);
    frame->RefreshPreview();
    QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, kLongWait);
    const QString cls = QString::fromStdString(ColumnClass("fa", ColumnId::kSize));
    const QVariantList rect =
        RunScript(frame->Preview(),
                  "(function(){var r=document.querySelector('td." + cls +
                      "').getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()")
            .toList();
    QCOMPARE(rect.size(), 2);
    std::optional<int> found = -1;
    QEventLoop loop;
    frame->Preview()->ColumnAt(QPoint(rect[0].toInt(), rect[1].toInt()), [&](std::optional<int> c) {
      found = c;
      loop.quit();
    });
    loop.exec();
    QCOMPARE(found, std::optional<int>(ColumnNumber(ColumnId::kSize)));
  }

  void screenshotSwitchWritesThePictureOfTheWindow() {
    const QString png = Path("shot.png");
    QProcess run;
    run.start(ORVANE_BINARY, {"--screenshot", png, m_tree});
    QVERIFY(run.waitForFinished(120000));
    QCOMPARE(run.exitCode(), 0);
    const QImage image(png);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 600 && image.height() > 400);
    // The preview fills the lower right of the window.
    const QRect preview(image.width() / 3, image.height() / 2, image.width() / 2,
                        image.height() / 3);
    QVERIFY(RegionPainted(image, preview));

    run.start(ORVANE_BINARY, {"--screenshot", Path("never.png"), Path("missing.ovs")});
    QVERIFY(run.waitForFinished(120000));
    QVERIFY(run.exitCode() != 0);
    QVERIFY(!QFile::exists(Path("never.png")));
  }
};

}  // namespace orvane::ui

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (QFileInfo("/proc/self").ownerId() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication app(argc, argv);
  orvane::ui::WindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
