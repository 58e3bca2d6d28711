// The main window's preview, offscreen: copying, printing, the column menu of the HTML
// preview and the --screenshot switch of the program.
#include "window_fixture.h"

namespace orvane::ui {

class WindowPreviewTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpTree(); }
  void init() { ResetFiles(); }

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
  orvane::ui::WindowPreviewTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_preview_test.moc"
