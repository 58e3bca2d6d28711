// The options pane: its four pages and the keys that step through them.
#include <QTabWidget>
#include <QTest>

#include "ui/pages/options_pane.h"

using orvane::COptionPages;
using orvane::ui::COptionsPane;

class OptionsPaneTest : public QObject {
  Q_OBJECT
 private slots:
  void CtrlTabStepsThroughTheFourPagesBothWays() {
    COptionPages model(0);
    COptionsPane pane(model);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QTabWidget* tabs = pane.Tabs();
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(3), QString("Program options"));
    QCOMPARE(tabs->currentIndex(), 0);
    QTest::keyClick(&pane, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QTest::keyClick(&pane, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&pane, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 3);
  }
};

QTEST_MAIN(OptionsPaneTest)
#include "options_pane_test.moc"
