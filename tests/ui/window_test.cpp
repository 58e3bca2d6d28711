// The main window, offscreen with its web preview: opening and closing with the settings and
// the remembered selection, the commands while a listing is generated, the one preview that
// follows edits made during a run, the save flow, the CSV preview, keys and the progress bar.
#include "window_fixture.h"

namespace orvane::ui {

class WindowTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpTree(); }
  void init() { ResetFiles(); }

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
