// The options pane: every control of the four pages as a widget, edits that reach the option
// model, model changes (a loaded configuration, a radio group, dependent boxes) that reach the
// widgets, enabling by the model's rules, hints, and the keys that step through the pages.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "settings/config_files.h"
#include "ui/pages/options_pane.h"

using namespace orvane;
using orvane::ui::COptionsPane;

namespace {

constexpr std::int64_t kNow = 1700000000;

template <class W>
W* As(COptionsPane& pane, int id) {
  auto* widget = qobject_cast<W*>(pane.Control(id));
  if (!widget) qWarning("control %d is missing or of another kind", id);
  return widget;
}

void Hover(QWidget* widget, bool enter) {
  if (enter) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(widget, &event);
  } else {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
  }
}

// Writes a configuration file and loads it into the model, as "Load configuration" does.
void LoadConfiguration(COptionPages& model, const std::string& text) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("test.ovc")).toStdString();
  std::ofstream(path) << text;
  CNamedSettings named;
  LoadOptions(path, model, named, CLoadContext{});
}

}  // namespace

class OptionsPaneTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryShownControlIsAWidgetOnItsOwnPage() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    int shown = 0;
    for (const COptionControl& c : model.Controls()) {
      if (c.m_page == OptionPage::kTree || c.m_kind == ControlKind::kColumnOrder) continue;
      QWidget* widget = pane.Control(c.m_nId);
      if (c.m_bHidden) {
        QVERIFY2(!widget, qPrintable(QString::number(c.m_nId)));
        continue;
      }
      QVERIFY2(widget, qPrintable(QString::number(c.m_nId)));
      QWidget* page = pane.Tabs()->widget(static_cast<int>(c.m_page));
      QVERIFY2(page->isAncestorOf(widget), qPrintable(QString::number(c.m_nId)));
      ++shown;
    }
    QVERIFY(shown >= 57 + 43 + 58 + 18 + 3);  // columns, widths, output, filter, program
    // Captions and choices come from the model.
    QCOMPARE(As<QCheckBox>(pane, 1391)->text(), QString("Size"));
    QCOMPARE(As<QRadioButton>(pane, kKeyHtmlOutput)->text(), QString("HTML file"));
    QComboBox* path = As<QComboBox>(pane, kKeyPathForm);
    QCOMPARE(path->count(), 4);
    QCOMPARE(path->itemText(3), QString("Top-checked is root"));
    QCOMPARE(As<QComboBox>(pane, kKeyFileSort1)->itemText(0), QString("Not sorted"));
    QVERIFY(As<QCheckBox>(pane, kKeyAttrArchive)->isTristate());
    QCOMPARE(As<QSpinBox>(pane, 1281)->maximum(), 2048);
    QCOMPARE(As<QSpinBox>(pane, kKeySizeMoreValue)->maximum(), 1023);
    QDateTimeEdit* after = As<QDateTimeEdit>(pane, kKeyAfterPicker);
    QVERIFY(after->calendarPopup());
    QCOMPARE(after->dateTime().toSecsSinceEpoch(), kNow);
    QCOMPARE(As<QCheckBox>(pane, kKeyShellIntegration)->text(),
             QString("Enable shell integration"));
  }

  void UserEditsReachTheModelAndAreReported() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    QSignalSpy edited(&pane, &COptionsPane::optionsEdited);
    As<QCheckBox>(pane, 1391)->click();
    QCOMPARE(model.Check(1391), 0);
    QCOMPARE(edited.takeFirst().at(0).toInt(), 1391);

    QCheckBox* hidden = As<QCheckBox>(pane, kKeyAttrHidden);  // three states: either, set, clear
    hidden->click();
    QCOMPARE(model.Check(kKeyAttrHidden), 1);
    hidden->click();
    QCOMPARE(model.Check(kKeyAttrHidden), 0);

    QLineEdit* mask = As<QLineEdit>(pane, kKeyMask);
    mask->selectAll();
    QTest::keyClicks(mask, "*.mp3");
    QCOMPARE(model.Text(kKeyMask), std::string("*.mp3"));

    QComboBox* date = As<QComboBox>(pane, kKeyDateFormat);
    date->setFocus();
    QTest::keyClick(date, Qt::Key_Down);
    QCOMPARE(model.Selection(kKeyDateFormat), 1);

    As<QSpinBox>(pane, 1282)->setValue(20);
    QCOMPARE(model.Text(1282), std::string("20"));
    As<QDateTimeEdit>(pane, kKeyBeforePicker)
        ->setDateTime(QDateTime::fromSecsSinceEpoch(1234567890));
    QCOMPARE(model.Moment(kKeyBeforePicker), 1234567890);

    CListingOptions options;
    CProgramOptions program;
    model.Apply(options, program, kNow);
    QCOMPARE(options.m_bColumn[ColumnId::kSize], 0);
    QCOMPARE(options.m_nAttrHidden, 0);
    QCOMPARE(options.m_strMask, std::string("*.mp3"));
    QCOMPARE(options.m_nSizeWidth, 20);
    QVERIFY(edited.count() >= 5);
  }

  void RadioGroupsAndDependentBoxesFollowTheModel() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    QRadioButton* text = As<QRadioButton>(pane, kKeyTextOutput);
    QRadioButton* html = As<QRadioButton>(pane, kKeyHtmlOutput);
    QCheckBox* links = As<QCheckBox>(pane, kKeyLinksToFiles);
    QVERIFY(!links->isEnabled());
    html->click();
    QVERIFY(html->isChecked());
    QVERIFY(!text->isChecked());
    QVERIFY(links->isEnabled());
    QVERIFY(!As<QCheckBox>(pane, kKeyAutoWidths)->isEnabled());
    QVERIFY(!As<QSpinBox>(pane, 1281)->isEnabled());  // widths count for text listings only
    html->click();                                    // clicking it again keeps it on
    QVERIFY(html->isChecked());
    QCOMPARE(model.OutputType(), kOutputHtml);

    QCheckBox* fileCount = As<QCheckBox>(pane, kKeyFileCountInDirRow);
    QCheckBox* together = As<QCheckBox>(pane, kKeyFilesTogether);
    QVERIFY(fileCount->isEnabled() && !together->isEnabled());
    As<QCheckBox>(pane, kKeyDirRows)->click();
    QVERIFY(!fileCount->isEnabled() && together->isEnabled());
    QVERIFY(!As<QCheckBox>(pane, 1389)->isEnabled());  // the name is always listed

    // A change of the model from elsewhere shows too.
    model.SetCheck(kKeyCsvOutput, 1);
    QVERIFY(As<QRadioButton>(pane, kKeyCsvOutput)->isChecked() && !html->isChecked());
    QVERIFY(As<QLineEdit>(pane, kKeyCsvSeparator)->isEnabled());
    As<QCheckBox>(pane, kKeyCsvTab)->click();
    QVERIFY(!As<QLineEdit>(pane, kKeyCsvSeparator)->isEnabled());
  }

  void ALoadedConfigurationShowsInTheWidgetsWithoutCountingAsAnEdit() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    QSignalSpy edited(&pane, &COptionsPane::optionsEdited);
    QSignalSpy changed(&pane, &COptionsPane::controlChanged);
    LoadConfiguration(model,
                      "[Settings]\n1391=0\n1413=1\n1246=3\n1420=My files\n1513=1\n"
                      "1498=1234567890\n1282=22\n1504=1\n1477=0\n1442=9,1|5,2\n");
    QVERIFY(!As<QCheckBox>(pane, 1391)->isChecked());
    QVERIFY(As<QRadioButton>(pane, kKeyHtmlOutput)->isChecked());
    QCOMPARE(As<QComboBox>(pane, kKeyFileSort1)->currentIndex(), 3);
    QCOMPARE(As<QLineEdit>(pane, kKeyHtmlTitle)->text(), QString("My files"));
    QVERIFY(As<QLineEdit>(pane, kKeyHtmlTitle)->isEnabled());
    QDateTimeEdit* before = As<QDateTimeEdit>(pane, kKeyBeforePicker);
    QCOMPARE(before->dateTime().toSecsSinceEpoch(), 1234567890);
    QVERIFY(before->isEnabled());
    QCOMPARE(As<QSpinBox>(pane, 1282)->value(), 22);
    QCOMPARE(As<QCheckBox>(pane, kKeyAttrHidden)->checkState(), Qt::Checked);
    QVERIFY(!As<QCheckBox>(pane, kKeyAutoRefresh)->isChecked());
    QCOMPARE(edited.count(), 0);
    QList<int> changedIds;
    for (const QList<QVariant>& signal : changed) changedIds << signal.at(0).toInt();
    QVERIFY(changedIds.contains(1391) && changedIds.contains(kKeyColumnOrder));
    auto* order = pane.findChild<QTreeWidget*>(QStringLiteral("columnOrderList"));
    QCOMPARE(order->topLevelItem(0)->text(0), QString("Type"));
    QCOMPARE(order->topLevelItem(0)->text(1), QString("Right"));
    // The loaded values stay the model's: nothing was written back over them.
    QCOMPARE(model.Moment(kKeyBeforePicker), 1234567890);
    QCOMPARE(model.Text(kKeyHtmlTitle), std::string("My files"));
  }

  void HintsShowWhileThePointerRestsOnAControlOrItsCaption() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    QSignalSpy hints(&pane, &COptionsPane::hintChanged);
    Hover(pane.Control(1391), true);
    QCOMPARE(hints.takeFirst().at(0).toString(), QString("Display file size"));
    Hover(pane.Control(1391), false);
    QCOMPARE(hints.takeFirst().at(0).toString(), QString());
    // Disabled controls tell what they are for too.
    Hover(pane.Control(kKeyLinksToFiles), true);
    QCOMPARE(hints.takeFirst().at(0).toString(),
             QString("Generate links to files so you can access them by one-clicking"));
    auto* maskLabel =
        qobject_cast<QLabel*>(pane.Control(kKeyMask)->parentWidget()->findChild<QLabel*>(
            QString(), Qt::FindDirectChildrenOnly));
    QVERIFY(maskLabel);
    Hover(maskLabel, true);
    QCOMPARE(hints.takeFirst().at(0).toString(),
             QString("Filter files (but not directories) according to this mask"));
    Hover(pane.Control(1221), true);  // "Description" has no hint
    QCOMPARE(hints.takeFirst().at(0).toString(), QString());

    // The pointer itself, moving from one box to the next and off the pane.
    pane.resize(1100, 400);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    hints.clear();
    QTest::mouseMove(pane.Control(1392));
    QTRY_VERIFY(!hints.isEmpty());
    QCOMPARE(hints.last().at(0).toString(), QString("Display creation date"));
    QTest::mouseMove(pane.Control(1215));
    QTRY_COMPARE(hints.last().at(0).toString(), QString("Display last write date"));
    QTest::mouseMove(pane.Tabs()->tabBar(), QPoint(1000, 5));
    QTRY_COMPARE(hints.last().at(0).toString(), QString());
    pane.Tabs()->setCurrentIndex(1);
    QTest::mouseMove(pane.Control(kKeyFilesTogether));  // disabled while folders have rows
    QTRY_COMPARE(hints.last().at(0).toString(),
                 QString("Treat files as if they were in one directory"));
  }

  void CtrlTabStepsThroughTheFourPagesBothWays() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QTabWidget* tabs = pane.Tabs();
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(0), QString("Displayed columns"));
    QCOMPARE(tabs->tabText(3), QString("Program options"));
    QVERIFY(qobject_cast<QScrollArea*>(tabs->widget(1)));
    QTest::keyClick(&pane, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QTest::keyClick(&pane, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&pane, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 3);
  }

  // With ORVANE_PAGE_SHOTS naming a folder, each page is grabbed there (to look at them).
  void PagesCanBeGrabbed() {
    const QString folder = qEnvironmentVariable("ORVANE_PAGE_SHOTS");
    COptionPages model(kNow);
    COptionsPane pane(model);
    pane.resize(1100, 300);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    for (int i = 0; i < pane.Tabs()->count(); ++i) {
      pane.Tabs()->setCurrentIndex(i);
      QWidget* page = qobject_cast<QScrollArea*>(pane.Tabs()->widget(i))->widget();
      const QPixmap whole =
          page->grab(QRect(QPoint(0, 0), page->sizeHint().expandedTo(page->size())));
      QVERIFY(!whole.isNull());
      if (!folder.isEmpty()) {
        whole.save(QDir(folder).filePath(QStringLiteral("page%1.png").arg(i)));
        pane.grab().save(QDir(folder).filePath(QStringLiteral("pane%1.png").arg(i)));
      }
    }
    // The HTML options in use, on the element with a font.
    model.SetCheck(kKeyHtmlOutput, 1);
    model.SetSelection(kKeyStyleElement, kStyleHeader);
    pane.Tabs()->setCurrentIndex(1);
    QWidget* output = qobject_cast<QScrollArea*>(pane.Tabs()->widget(1))->widget();
    if (!folder.isEmpty())
      output->grab(QRect(QPoint(0, 0), output->sizeHint().expandedTo(output->size())))
          .save(QDir(folder).filePath(QStringLiteral("page1-html.png")));
  }
};

QTEST_MAIN(OptionsPaneTest)
#include "options_pane_test.moc"
