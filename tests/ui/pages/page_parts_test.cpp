// The parts of the option pages beyond single controls: the column order list with its
// alignment and move controls, the HTML style elements with their dialogs, the style sheet
// browse button and the shell integration switch.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>

#include "settings/config_files.h"
#include "settings/option_pages.h"
#include "ui/pages/options_pane.h"
#include "ui/pages/page_services.h"

using namespace orvane;
using orvane::ui::COptionsPane;
using orvane::ui::CPageServices;

namespace {

constexpr std::int64_t kNow = 1700000000;

template <class W>
W* Named(COptionsPane& pane, const char* name) {
  auto* widget = pane.findChild<W*>(QString::fromLatin1(name));
  if (!widget) qWarning("no widget called %s", name);
  return widget;
}

CListingOptions Applied(COptionPages& model) {
  CListingOptions options;
  CProgramOptions program;
  model.Apply(options, program, kNow);
  return options;
}

}  // namespace

class PagePartsTest : public QObject {
  Q_OBJECT
 private slots:
  void MovesAndAlignmentsOfTheColumnOrderReachTheListing() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    QSignalSpy edited(&pane, &COptionsPane::optionsEdited);
    QTreeWidget* list = Named<QTreeWidget>(pane, "columnOrderList");
    QCOMPARE(list->topLevelItemCount(), static_cast<int>(model.ColumnOrder().Size()));
    QCOMPARE(list->topLevelItem(1)->text(0), QString("Size"));
    QCOMPARE(list->topLevelItem(1)->text(1), QString("Right"));
    // Selecting an entry shows its alignment in the radio buttons.
    list->setCurrentItem(list->topLevelItem(1));
    auto* right = qobject_cast<QRadioButton*>(pane.Control(kKeyAlignRight));
    QVERIFY(right->isChecked());

    Named<QPushButton>(pane, "moveUp")->click();  // Size goes in front of Name
    QCOMPARE(model.ColumnOrder().ColumnAt(0), ColumnNumber(ColumnId::kSize));
    QCOMPARE(list->topLevelItem(0)->text(0), QString("Size"));
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
    qobject_cast<QRadioButton*>(pane.Control(kKeyAlignCenter))->click();
    QCOMPARE(model.ColumnOrder().AlignAt(0), 2);
    QCOMPARE(list->topLevelItem(0)->text(1), QString("Center"));
    const CListingOptions options = Applied(model);
    QCOMPARE(options.m_columnOrder[0], ColumnId::kSize);
    QCOMPARE(options.m_nAlign[ColumnId::kSize], 2);
    QVERIFY(edited.count() >= 2);

    Named<QPushButton>(pane, "restoreDefault")->click();
    QCOMPARE(model.ColumnOrder().ColumnAt(0), ColumnNumber(ColumnId::kName));
    QCOMPARE(list->topLevelItem(1)->text(1), QString("Right"));

    // A change made elsewhere (a loaded file, the preview's column menu) shows in the list.
    model.EditColumnOrder([](CColumnOrderList& order) { order.Decode("21,1"); });
    QCOMPARE(list->topLevelItem(0)->text(0), QString("MD5"));
    // The three "Comments" columns are told apart.
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i) names << list->topLevelItem(i)->text(0);
    QVERIFY(names.contains("Comments (executable)") && names.contains("Comments (MP3)"));
  }

  void StyleButtonsEditTheSelectedElement() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    CPageServices services;
    services.pickColor = [](const QColor&, QWidget*, const QString&) {
      return std::optional<QColor>(QColor(0x11, 0x22, 0x33));
    };
    services.pickFont = [](const QFont& initial, QWidget*) {
      QFont font(initial);
      font.setFamily("DejaVu Serif");
      font.setPointSize(12);
      font.setItalic(true);
      return std::optional<QFont>(font);
    };
    pane.SetServices(services);
    auto* font = Named<QPushButton>(pane, "styleFont");
    auto* color = Named<QPushButton>(pane, "styleColor");
    QVERIFY(!font->isEnabled() && !color->isEnabled());  // text output
    model.SetCheck(kKeyHtmlOutput, 1);
    QVERIFY(!font->isEnabled() && color->isEnabled());  // the background has no font
    auto* element = qobject_cast<QComboBox*>(pane.Control(kKeyStyleElement));
    element->setFocus();
    QTest::keyClick(element, Qt::Key_Down);  // "Header"
    QCOMPARE(model.Selection(kKeyStyleElement), kStyleHeader);
    QVERIFY(font->isEnabled());

    color->click();
    QCOMPARE(model.Styles()[kStyleHeader].crColor, 0x332211u);
    Named<QPushButton>(pane, "styleTextColor")->click();
    QCOMPARE(model.Styles()[kStyleHeader].crTextColor, 0x332211u);
    font->click();
    const CHtmlStyle& header = model.Styles()[kStyleHeader];
    QCOMPARE(header.lfFont.lfFaceName, std::string("DejaVu Serif"));
    QCOMPARE(header.nSize, 12);  // the size box showed 8 before
    QCOMPARE(header.lfFont.lfItalic, 1);
    QCOMPARE(qobject_cast<QSpinBox*>(pane.Control(kKeyStyleSize))->value(), 12);
    QCOMPARE(Applied(model).m_htmlStyle[kStyleHeader].nSize, 12);
    QVERIFY(Named<QLabel>(pane, "styleSample")->styleSheet().contains("#112233"));

    // A stored weight of 0 (the font's choice) reaches the dialog as the normal weight.
    model.EditStyles([](CHtmlStyleSet& styles) { styles[kStyleHeader].lfFont.lfWeight = 0; });
    services.pickFont = [](const QFont& initial, QWidget*) {
      return std::optional<QFont>(initial);
    };
    pane.SetServices(services);
    font->click();
    QCOMPARE(model.Styles()[kStyleHeader].lfFont.lfWeight, 400);
    QCOMPARE(model.Styles()[kStyleHeader].lfFont.lfFaceName, std::string("DejaVu Serif"));

    // A loaded style file shows in the sample and the size box.
    QTemporaryDir dir;
    const std::string path = dir.filePath("look.ovh").toStdString();
    std::ofstream(path) << "[Settings]\n1200=255|0|-16|0|0|0|700|0|0|0|1|0|0|0|0|DejaVu Sans\n";
    CNamedSettings named;
    LoadOptions(path, model, named, CLoadContext{});
    QVERIFY(Named<QLabel>(pane, "styleSample")->styleSheet().contains("#ff0000"));
    QCOMPARE(qobject_cast<QSpinBox*>(pane.Control(kKeyStyleSize))->value(), 12);

    // Cancelled dialogs change nothing.
    services.pickColor = [](const QColor&, QWidget*, const QString&) {
      return std::optional<QColor>();
    };
    pane.SetServices(services);
    color->click();
    QCOMPARE(model.Styles()[kStyleHeader].crColor, 0xFFu);
  }

  void BrowsingForAStyleSheetFillsThePath() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    CPageServices services;
    services.pickCssFile = [](const QString&, QWidget*) { return QString("/srv/site/list.css"); };
    pane.SetServices(services);
    auto* browse = Named<QToolButton>(pane, "cssBrowse");
    QVERIFY(!browse->isEnabled());
    model.SetCheck(kKeyHtmlOutput, 1);
    qobject_cast<QCheckBox*>(pane.Control(kKeyExternalCss))->click();
    QVERIFY(browse->isEnabled());
    QSignalSpy edited(&pane, &COptionsPane::optionsEdited);
    browse->click();
    QCOMPARE(model.Text(kKeyCssPath), std::string("/srv/site/list.css"));
    QCOMPARE(qobject_cast<QLineEdit*>(pane.Control(kKeyCssPath))->text(),
             QString("/srv/site/list.css"));
    QCOMPARE(edited.count(), 1);
    QCOMPARE(ui::QtFileFilter("CSS files (*.css)|*.css|All files (*.*)|*.*"),
             QString("CSS files (*.css);;All files (*)"));
  }

  void TickingShellIntegrationAddsTheEntriesAndClearingRemovesThem() {
    COptionPages model(kNow);
    COptionsPane pane(model);
    std::vector<bool> calls;
    CPageServices services;
    services.shellIntegration = [&calls](bool enable) { calls.push_back(enable); };
    pane.SetServices(services);
    auto* box = qobject_cast<QCheckBox*>(pane.Control(kKeyShellIntegration));
    box->click();
    box->click();
    QCOMPARE(calls, (std::vector<bool>{true, false}));
    // Loading a configuration sets the box but installs nothing.
    model.SetCheck(kKeyShellIntegration, 1);
    QVERIFY(box->isChecked());
    QCOMPARE(calls.size(), 2u);
  }
};

QTEST_MAIN(PagePartsTest)
#include "page_parts_test.moc"
