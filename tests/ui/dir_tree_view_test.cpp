// The directory tree's view, offscreen: Space and clicks on the marks with and without Shift and
// Ctrl, the start on the home folder, selection files, and the drawing of the four marks.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "fake_folder_source.h"
#include "ui/tree/check_marks.h"
#include "ui/tree/dir_tree_view.h"

using namespace std::chrono_literals;

namespace orvane {
namespace {

struct Fixture {
  std::shared_ptr<test::FakeFolderSource> fs = std::make_shared<test::FakeFolderSource>();
  std::unique_ptr<DirTreeView> view;

  Fixture() {
    for (const char* f : {"/home/ann/Music/Live", "/home/ann/Music/Studio", "/home/ann/docs/old",
                          "/home/ann/Videos", "/home/bob/x", "/srv/www"})
      fs->AddFolder(f);
    view = std::make_unique<DirTreeView>(fs, nullptr, false, 5s);
    view->resize(360, 420);
    view->Fill("/home/ann");
    view->show();
  }
  DirTreeModel* Model() { return view->TreeModel(); }
  QModelIndex At(const char* path) { return Model()->RevealPath(path); }
  TreeCheck Check(const char* path) { return Model()->CheckOf(At(path)); }
  void Space(const char* path, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    view->setCurrentIndex(At(path));
    QTest::keyClick(view.get(), Qt::Key_Space, mods);
  }
};

QImage MarkImage(TreeCheck check, const QPalette& palette, qreal scale) {
  const int side = qRound(kCheckMarkSize * scale);
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(palette.color(QPalette::Base));
  QPainter p(&image);
  DrawCheckMark(p, QRectF(0, 0, kCheckMarkSize, kCheckMarkSize), check, palette);
  return image;
}

QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Window, QColor(45, 45, 45));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(53, 132, 228));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  return dark;
}

}  // namespace

class DirTreeViewTest : public QObject {
  Q_OBJECT

 private slots:
  void startsOnTheHomeFolderOpenAndSelectedButNotTicked() {
    Fixture f;
    QModelIndex home = f.At("/home/ann");
    QCOMPARE(f.view->currentIndex(), home);
    QVERIFY(f.view->isExpanded(home));
    QVERIFY(f.view->isExpanded(home.parent()));
    QVERIFY(f.view->Selection().empty());
    // Selecting a volume reads its first level again.
    f.fs->AddFolder("/opt");
    f.view->setCurrentIndex(f.Model()->index(0, 0));
    QVERIFY(f.At("/opt").isValid());
    QCOMPARE(f.At("/opt").row(), 1);
  }

  void spaceFollowsTheBoxAndShiftOrCtrlForceTheirWay() {
    Fixture f;
    QSignalSpy changed(f.view.get(), &DirTreeView::SelectionChanged);
    f.Space("/home/ann/Music");  // the box is on: with subfolders
    QCOMPARE(f.Check("/home/ann/Music"), TreeCheck::kWithSubdirs);
    QCOMPARE(changed.count(), 1);

    f.view->SetWithSubdirsDefault(false);
    f.Space("/home/ann/docs");  // alone: "old" stays unticked
    QCOMPARE(f.Check("/home/ann/docs"), TreeCheck::kAlone);
    QCOMPARE(f.Check("/home/ann/docs/old"), TreeCheck::kNone);

    f.Space("/home/ann/Videos", Qt::ShiftModifier);  // box off, Shift forces subfolders
    QCOMPARE(f.view->Selection().at("/home/ann/Videos"), DirCheck::kWithSubdirs);

    f.view->SetWithSubdirsDefault(true);
    f.Space("/home/ann/Music/Live", Qt::ControlModifier);  // Ctrl: Live alone is unticked
    QCOMPARE(f.Check("/home/ann/Music/Live"), TreeCheck::kNone);
    QCOMPARE(f.Check("/home/ann/Music"), TreeCheck::kAlone);
    f.Space("/home/bob", Qt::ControlModifier);  // Ctrl: bob alone, "x" not
    QCOMPARE(f.Check("/home/bob"), TreeCheck::kAlone);
    QCOMPARE(changed.count(), 5);
    QCOMPARE(f.view->Selection(), (CheckedDirs{{"/home/ann/Music", DirCheck::kAlone},
                                               {"/home/ann/Music/Studio", DirCheck::kWithSubdirs},
                                               {"/home/ann/Videos", DirCheck::kWithSubdirs},
                                               {"/home/ann/docs", DirCheck::kAlone},
                                               {"/home/bob", DirCheck::kAlone}}));
  }

  void aClickOnTheMarkTicksAndAClickOnTheNameOnlySelects() {
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
    QModelIndex videos = f.At("/home/ann/Videos");
    QRect r = f.view->visualRect(videos);
    QPoint mark = CheckMarkDelegate::MarkRect(r).center();
    QTest::mouseClick(f.view->viewport(), Qt::LeftButton, Qt::NoModifier, mark);
    QCOMPARE(f.Check("/home/ann/Videos"), TreeCheck::kWithSubdirs);
    QCOMPARE(f.view->currentIndex(), f.At("/home/ann"));  // ticking does not move the selection
    QTest::mouseClick(f.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(r.right() - 2, r.center().y()));
    QCOMPARE(f.Check("/home/ann/Videos"), TreeCheck::kWithSubdirs);
    QCOMPARE(f.view->currentIndex(), videos);
  }

  void loadingASelectionFileReplacesTheTicksAndOpensTheTreeToThem() {
    Fixture f;
    QTemporaryDir tmp;
    const std::string file = tmp.filePath("s.ovs").toStdString();
    f.Space("/home/ann/docs");
    CheckedDirs saved{{"/srv/www", DirCheck::kWithSubdirs}};
    f.view->SetSelection(saved);
    QVERIFY(f.view->isExpanded(f.At("/srv")));
    QVERIFY(f.view->SaveSelectionFile(file));

    f.view->TreeModel()->ClearChecks();
    f.Space("/home/bob");
    QCOMPARE(f.view->LoadSelectionFile(file), TextReadStatus::kOk);
    QCOMPARE(f.view->Selection(), (CheckedDirs{{"/home/ann/docs", DirCheck::kWithSubdirs},
                                               {"/srv/www", DirCheck::kWithSubdirs}}));
    // A file that cannot be read changes nothing.
    QCOMPARE(f.view->LoadSelectionFile(file + ".none"), TextReadStatus::kMissing);
    QCOMPARE(f.view->Selection().size(), std::size_t{2});
  }

  // The four marks differ from each other in light and dark colours and at double scale. With
  // ORVANE_TREE_GRAB set to a folder, the view with all four is saved there to be looked at.
  void theFourMarksAreDistinctInLightAndDarkThemesAndAtDoubleScale() {
    const TreeCheck all[] = {TreeCheck::kNone, TreeCheck::kWithSubdirs, TreeCheck::kAlone,
                             TreeCheck::kBelow};
    for (const QPalette& palette : {QApplication::palette(), DarkPalette()})
      for (qreal scale : {1.0, 2.0})
        for (int i = 0; i < 4; ++i)
          for (int j = i + 1; j < 4; ++j)
            QVERIFY(MarkImage(all[i], palette, scale) != MarkImage(all[j], palette, scale));

    const QByteArray dir = qgetenv("ORVANE_TREE_GRAB");
    if (dir.isEmpty()) return;
    Fixture f;
    f.view->SetWithSubdirsDefault(false);
    f.Space("/home/ann/Music/Live", Qt::ShiftModifier);  // Music: something below
    f.Space("/home/ann/docs");                           // alone
    f.Space("/home/ann/Videos", Qt::ShiftModifier);      // with subfolders
    f.view->expand(f.At("/home/ann/Music"));
    f.view->expand(f.At("/home/ann/docs"));
    QVERIFY(f.view->grab().save(QString::fromUtf8(dir) + "/tree-light.png"));
    f.view->setPalette(DarkPalette());
    QVERIFY(f.view->grab().save(QString::fromUtf8(dir) + "/tree-dark.png"));
  }
};

}  // namespace orvane

QTEST_MAIN(orvane::DirTreeViewTest)
#include "dir_tree_view_test.moc"
