// The window in another language, offscreen: switching to German and back to English through
// the language menu (menu titles, captions, combo items with their data and selection, tabs,
// the column order list, hints, status-bar prompts, group titles, the preview's column menu),
// a caption with fewer pieces than a combo box has items, a language that is missing, and the
// choice kept in the settings from one start to the next.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "base/strings.h"
#include "settings/commands.h"
#include "settings/option_pages.h"
#include "test_util.h"
#include "ui/pages/options_pane.h"
#include "ui/window/main_frame.h"
#include "ui/window/preview_view.h"

namespace orvane::ui {
namespace {

const QString kData = QStringLiteral(ORVANE_SOURCE_DIR "/data/");

std::string ReadFile(const QString& path) {
  return test::ReadFile(path.toStdString());
}

void WriteFile(const QString& path, const std::string& bytes) {
  test::WriteFile(path.toStdString(), bytes);
}

QStringList ComboItems(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

bool ListHas(QTreeWidget* list, const QString& text) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->text(0) == text) return true;
  return false;
}

QStringList GroupTitles(QWidget* root) {
  QStringList titles;
  for (QGroupBox* g : root->findChildren<QGroupBox*>()) titles << g->title();
  return titles;
}

QAction* LanguageItem(CMainFrame& frame, const QString& name) {
  for (QAction* item : frame.LanguageMenu()->actions())
    if (item->data().toString() == name) return item;
  return nullptr;
}

// The File menu's "Quick configuration" popup.
QMenu* QuickPopup(CMainFrame& frame) {
  for (QAction* item : frame.menuBar()->actions().value(0)->menu()->actions())
    if (item->menu()) return item->menu();
  return nullptr;
}

}  // namespace

class LanguageWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;

  QString Path(const QString& name) const { return m_dir.filePath(name); }

  std::unique_ptr<CMainFrame> MakeFrame(const QString& programFolder, const QString& config = {}) {
    FrameSetup setup;
    setup.configPath = config.toStdString();
    setup.settingsPath = Path("Orvane.ini").toStdString();
    setup.programFolder = (programFolder + "/").toStdString();
    setup.tempFolder = Path("tmp").toStdString();
    setup.homeFolder = Path("tree").toStdString();
    setup.selection = CheckedDirs{};
    setup.watchMounts = false;
    setup.previewAtStart = false;
    return std::make_unique<CMainFrame>(setup);
  }

  // A program folder with the shipped Reference.ini and languages, or with a Reference.ini
  // changed by edit.
  QString ProgramFolder(const QString& name, const std::string& from = {},
                        const std::string& to = {}) {
    const QString folder = Path(name);
    QDir().mkpath(folder);
    std::string reference = ReadFile(kData + "Reference.ini");
    if (!from.empty()) reference.replace(reference.find(from), from.size(), to);
    WriteFile(folder + "/Reference.ini", reference);
    for (const char* lng : {"English.lng", "German.lng"})
      QFile::copy(kData + lng, folder + "/" + lng);
    return folder;
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir().mkpath(Path("tree")));
    QVERIFY(QDir().mkpath(Path("tmp")));
  }

  void switchingToGermanAndBackChangesEveryKindOfText() {
    auto frame = MakeFrame(ProgramFolder("shipped"));
    QMenuBar* bar = frame->menuBar();
    QCOMPARE(bar->actions().value(1)->text(), QStringLiteral("&Language"));
    QVERIFY(LanguageItem(*frame, "English")->isChecked());  // the settings' default
    auto* sizes = qobject_cast<QComboBox*>(frame->OptionsPane()->Control(kKeySizeDisplay));
    QVERIFY(sizes);
    frame->Pages().SetSelection(kKeySizeDisplay, 4);
    sizes->setItemData(1, 77);
    auto* list = frame->OptionsPane()->findChild<QTreeWidget*>("columnOrderList");
    QVERIFY(list);

    LanguageItem(*frame, "German")->trigger();
    QCOMPARE(frame->Language().Name(), std::string("German"));
    QCOMPARE(bar->actions().value(0)->text(), QStringLiteral("&Datei"));
    QCOMPARE(bar->actions().value(1)->text(), QStringLiteral("&Sprache"));
    QCOMPARE(frame->Action(kCmdSaveListing)->text(), QStringLiteral("Liste &speichern..."));
    QCOMPARE(frame->Action(kCmdLoadConfiguration)->toolTip(),
             QStringLiteral("Konfiguration laden"));
    QCOMPARE(QuickPopup(*frame)->title(), QStringLiteral("Sch&nellkonfiguration"));
    QCOMPARE(frame->Action(kCmdVisitHomepage)->statusTip(),
             QStringLiteral("Die Homepage von Orvane besuchen"));
    QCOMPARE(qobject_cast<QAbstractButton*>(frame->OptionsPane()->Control(1390))->text(),
             QStringLiteral("Erweiterung"));
    QCOMPARE(ComboItems(sizes).value(4), QStringLiteral("Dynamisch"));
    QCOMPARE(sizes->currentIndex(), 4);
    QCOMPARE(sizes->itemData(1).toInt(), 77);
    QCOMPARE(frame->OptionsPane()->Tabs()->tabText(0), QStringLiteral("Angezeigte Spalten"));
    QVERIFY(ListHas(list, "Größe"));
    QCOMPARE(GetText(1390), std::string("Dateierweiterung anzeigen"));
    QVERIFY(GroupTitles(frame.get()).contains("Prüfsummen"));
    std::unique_ptr<QMenu> columnMenu(frame->Preview()->MakeColumnMenu(0));
    QCOMPARE(columnMenu->actions().value(2)->text(), QStringLiteral("&Links ausrichten"));
    QVERIFY(LanguageItem(*frame, "German")->isChecked());
    QVERIFY(!LanguageItem(*frame, "English")->isChecked());

    LanguageItem(*frame, "English")->trigger();
    QCOMPARE(bar->actions().value(0)->text(), QStringLiteral("&File"));
    QCOMPARE(bar->actions().value(1)->text(), QStringLiteral("&Language"));
    QCOMPARE(frame->Action(kCmdSaveListing)->text(), QStringLiteral("&Save listing..."));
    QCOMPARE(QuickPopup(*frame)->title(), QStringLiteral("&Quick configuration"));
    QCOMPARE(frame->Action(kCmdVisitHomepage)->statusTip(),
             QStringLiteral("Visit Orvane home page"));
    QCOMPARE(qobject_cast<QAbstractButton*>(frame->OptionsPane()->Control(1390))->text(),
             QStringLiteral("Extension"));
    QCOMPARE(ComboItems(sizes).value(4), QStringLiteral("Dynamic"));
    QCOMPARE(sizes->currentIndex(), 4);
    QCOMPARE(frame->OptionsPane()->Tabs()->tabText(0), QStringLiteral("Displayed columns"));
    QVERIFY(ListHas(list, "Size"));
    QCOMPARE(GetText(1390), std::string("Display file extension"));
    QVERIFY(GroupTitles(frame.get()).contains("Hashes"));
    columnMenu.reset(frame->Preview()->MakeColumnMenu(0));
    QCOMPARE(columnMenu->actions().value(2)->text(), QStringLiteral("Align to &left"));
    QVERIFY(LanguageItem(*frame, "English")->isChecked());
    QVERIFY(!LanguageItem(*frame, "German")->isChecked());
  }

  void aCaptionWithFewerPiecesKeepsTheOtherItems() {
    const QString folder = ProgramFolder(
        "short", "Caption=Bytes|Kilobytes|Megabytes|Gigabytes|Dynamic", "Caption=Bytes|Kilobytes");
    WriteFile(folder + "/Short.lng", "Kilobytes=KiB\n");
    auto frame = MakeFrame(folder);
    auto* sizes = qobject_cast<QComboBox*>(frame->OptionsPane()->Control(kKeySizeDisplay));
    frame->Pages().SetSelection(kKeySizeDisplay, 3);
    QVERIFY(frame->SwitchLanguage("Short"));
    QCOMPARE(ComboItems(sizes), (QStringList{"Bytes", "KiB", "Megabytes", "Gigabytes", "Dynamic"}));
    QCOMPARE(sizes->currentIndex(), 3);
    QVERIFY(frame->SwitchLanguage("English"));
  }

  void aMissingLanguageChangesNothing() {
    auto frame = MakeFrame(ProgramFolder("shipped"));
    QVERIFY(frame->SwitchLanguage("German"));
    QFile::remove(Path("shipped/German.lng"));
    QAction* german = LanguageItem(*frame, "German");
    german->setChecked(false);
    QVERIFY(!frame->SwitchLanguage("Klingon"));
    QVERIFY(!frame->SwitchLanguage("../shipped/English"));
    QCOMPARE(frame->menuBar()->actions().value(0)->text(), QStringLiteral("&Datei"));
    QVERIFY(german->isChecked());
    QCOMPARE(frame->Language().Name(), std::string("German"));
    QVERIFY(frame->SwitchLanguage("English"));
    QFile::copy(kData + "German.lng", Path("shipped/German.lng"));
  }

  void theChoiceIsWrittenAtCloseAndRestoredAtStart() {
    QFile::remove(Path("Orvane.ini"));
    const QString folder = ProgramFolder("shipped");
    {
      auto frame = MakeFrame(folder);
      QVERIFY(frame->SwitchLanguage("German"));
      frame->close();
    }
    QVERIFY(ReadFile(Path("Orvane.ini")).find("Language=German") != std::string::npos);
    auto frame = MakeFrame(folder, Path("Orvane.ini"));
    QCOMPARE(frame->menuBar()->actions().value(0)->text(), QStringLiteral("&Datei"));
    QVERIFY(LanguageItem(*frame, "German")->isChecked());
    QVERIFY(frame->SwitchLanguage("English"));
  }
};

}  // namespace orvane::ui

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (QFileInfo("/proc/self").ownerId() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication app(argc, argv);
  orvane::ui::LanguageWindowTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "language_window_test.moc"
