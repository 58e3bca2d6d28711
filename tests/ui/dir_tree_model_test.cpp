// The directory tree's model on an in-memory folder tree: roots, lazy reading, the four check
// states, the ticked folders, refreshing, and folders that hang, vanish or cannot be read.
#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <random>

#include "fake_folder_source.h"
#include "ui/tree/dir_tree_model.h"

using namespace std::chrono_literals;

namespace orvane {
namespace {

using test::FakeFolderSource;
constexpr auto kNone = TreeCheck::kNone, kWith = TreeCheck::kWithSubdirs,
               kAlone = TreeCheck::kAlone, kBelow = TreeCheck::kBelow;

struct Tree {
  std::shared_ptr<FakeFolderSource> fs = std::make_shared<FakeFolderSource>();
  std::unique_ptr<DirTreeModel> model;

  explicit Tree(std::initializer_list<const char*> folders, std::chrono::milliseconds limit = 5s) {
    for (const char* f : folders) fs->AddFolder(f);
    model = std::make_unique<DirTreeModel>(fs, nullptr, limit);
  }
  QModelIndex At(const std::string& path) { return model->RevealPath(path); }
  TreeCheck Check(const std::string& path) { return model->CheckOf(At(path)); }
  void Click(const std::string& path, bool withSubdirs) {
    model->ToggleCheck(At(path), withSubdirs);
  }
  QStringList Names(const QModelIndex& parent) {
    QStringList names;
    for (int r = 0; r < model->rowCount(parent); ++r)
      names << model->index(r, 0, parent).data().toString();
    return names;
  }
};

// Every folder of the fake tree below (and with) `top`, found through the model's source.
void AllFolders(FolderSource& fs, const std::string& top, std::vector<std::string>& out) {
  out.push_back(top);
  std::vector<SubfolderEntry> kids;
  fs.ListSubfolders(top, false, kids);
  for (const auto& k : kids) AllFolders(fs, FakeFolderSource::Join(top, k.name), out);
}

bool Within(const std::string& p, const std::string& base) {
  return p == base || base == "/" ||
         (p.size() > base.size() && p.compare(0, base.size(), base) == 0 && p[base.size()] == '/');
}

}  // namespace

class DirTreeModelTest : public QObject {
  Q_OBJECT

 private slots:
  void passesTheModelTesterThroughFillOpenTickRefreshAndVolumes() {
    Tree t({"/home/ann/Music/Live", "/home/ann/docs", "/home/bob", "/srv/www", "/media/usb/x"});
    QAbstractItemModelTester tester(t.model.get(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    t.fs->SetVolumes({{"/", "", "/dev/vda", false}, {"/media/usb", "STICK", "/dev/sdb1", true}});
    t.model->Fill();
    t.Click("/home/ann/Music", true);
    t.Click("/home/ann", false);
    t.fs->AddFolder("/home/ann/New");
    t.fs->Remove("/home/ann/docs");
    t.model->Refresh();
    t.fs->SetVolumes({{"/", "", "/dev/vda", false}});
    t.model->RefreshVolumes();
    t.model->SetSelection({{"/srv/www", DirCheck::kAlone}});
    t.model->Fill();
  }

  void rootsAreVolumesWithTheRootFirstAndANetworkRootOnlyWithAProvider() {
    Tree t({"/mnt/data/a"});
    t.fs->SetVolumes({{"/mnt/data", "", "/dev/sdc1", false},
                      {"/media/ann/USB STICK", "", "/dev/sdb1", true},
                      {"/run/media/ann/x", "Photos", "/dev/sdd1", true},
                      {"/", "", "/dev/vda", false}});
    t.model->Fill();
    QCOMPARE(t.Names({}), (QStringList{"/", "USB STICK", "data", "Photos"}));
    QModelIndex usb = t.model->index(1, 0);
    QCOMPARE(usb.data(Qt::ToolTipRole).toString(), QString("/media/ann/USB STICK"));
    QCOMPARE(usb.data(DirTreeModel::kKindRole).toInt(), int(DirTreeModel::Kind::kRemovableVolume));
    QVERIFY(t.model->hasChildren(t.model->index(2, 0)));  // /mnt/data holds "a"
    QVERIFY(!t.model->hasChildren(usb));

    t.fs->SetNetworkRoot("Windows Network");
    QSignalSpy status(t.model.get(), &DirTreeModel::NetworkStatus);
    t.model->Fill();
    QCOMPARE(t.Names({}).last(), QString("Windows Network"));
    // The status bar's text while the network is enumerated, then its end.
    QCOMPARE(status.size(), 2);
    QCOMPARE(status.first().first().toString(), QString("Please wait. Enumerating the network..."));
    QVERIFY(status.last().first().toString().isEmpty());
    QVERIFY(t.model->hasChildren(t.model->index(4, 0)));
  }

  void foldersShowAnExpandButtonOnlyWithSubfoldersAndOpenSortedWithoutRegardToCase() {
    Tree t({"/p/beta", "/p/Alpha/deep", "/p/alpha2", "/p/Gamma", "/p/_x"});
    t.model->Fill();
    QModelIndex p = t.At("/p");
    QVERIFY(t.model->hasChildren(p));
    QVERIFY(t.model->canFetchMore(p));
    QCOMPARE(t.model->rowCount(p), 0);  // not read until opened
    t.model->fetchMore(p);
    QCOMPARE(t.Names(p), (QStringList{"_x", "Alpha", "alpha2", "beta", "Gamma"}));
    QVERIFY(t.model->hasChildren(t.At("/p/Alpha")));
    QVERIFY(!t.model->hasChildren(t.At("/p/beta")));
    QVERIFY(!t.model->canFetchMore(t.At("/p/beta")));
  }

  // The check rules, one situation each.
  void tickingWithSubdirectoriesMarksTheParentAsHavingSomethingBelow() {
    Tree t({"/a/b/c", "/a/d"});
    t.model->Fill();
    t.Click("/a/b", true);
    QCOMPARE(t.Check("/a/b"), kWith);
    QCOMPARE(t.Check("/a/b/c"), kWith);
    QCOMPARE(t.Check("/a"), kBelow);
    QCOMPARE(t.Check("/"), kBelow);
    QCOMPARE(t.model->Selection(), (CheckedDirs{{"/a/b", DirCheck::kWithSubdirs}}));
  }

  void tickingAloneAFolderWithUntickedSubfoldersTicksItAlone() {
    Tree t({"/a/b/c", "/a/b/d"});
    t.model->Fill();
    t.Click("/a/b/c", true);
    t.Click("/a/b", false);  // "/a/b/d" is still unticked
    QCOMPARE(t.Check("/a/b"), kAlone);
    QCOMPARE(t.model->Selection(),
             (CheckedDirs{{"/a/b", DirCheck::kAlone}, {"/a/b/c", DirCheck::kWithSubdirs}}));
    // Ticking the last unticked subfolder completes the folder.
    t.Click("/a/b/d", true);
    QCOMPARE(t.Check("/a/b"), kWith);
    QCOMPARE(t.model->Selection(), (CheckedDirs{{"/a/b", DirCheck::kWithSubdirs}}));
  }

  void aFolderNeverOpenedIsTickedAloneWithoutLosingItsSubfolders() {
    Tree t({"/a/b/c"});
    t.model->Fill();
    t.Click("/a", true);
    QCOMPARE(t.model->rowCount(t.At("/a/b")), 0);
    t.model->ToggleCheck(t.At("/a/b"), false);  // unticked alone: "c" stays ticked
    QCOMPARE(t.Check("/a/b"), kBelow);
    QCOMPARE(t.Check("/a/b/c"), kWith);
    QCOMPARE(t.Check("/a"), kAlone);
    QCOMPARE(t.model->Selection(),
             (CheckedDirs{{"/a", DirCheck::kAlone}, {"/a/b/c", DirCheck::kWithSubdirs}}));
  }

  void untickingTheOnlyTickedChildReturnsTheParentToUnticked() {
    Tree t({"/a/b", "/a/c"});
    t.model->Fill();
    t.Click("/a/b", true);
    t.Click("/a/b", false);
    QCOMPARE(t.Check("/a/b"), kNone);
    QCOMPARE(t.Check("/a"), kNone);
    QCOMPARE(t.Check("/"), kNone);
    QVERIFY(t.model->Selection().empty());
  }

  void untickingAloneAFolderWithATickedSubfolderLeavesSomethingBelow() {
    Tree t({"/a/b/c", "/a/b/d"});
    t.model->Fill();
    t.Click("/a/b", true);
    t.Click("/a/b/d", true);  // unticks d with everything below: b becomes "alone"
    QCOMPARE(t.Check("/a/b"), kAlone);
    t.Click("/a/b", false);
    QCOMPARE(t.Check("/a/b"), kBelow);
    QCOMPARE(t.Check("/a"), kBelow);
    QCOMPARE(t.model->Selection(), (CheckedDirs{{"/a/b/c", DirCheck::kWithSubdirs}}));
  }

  // Random clicks, with and without subfolders, and folders opened between them, checked after
  // every step against a plain set of ticked folders: with subfolders a click sets the whole
  // subtree to the opposite of the folder's own tick; alone it flips the folder alone.
  void theTickedFoldersMatchAReferenceAfterRandomClicksAndOpenings() {
    Tree t({});
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        std::string e = "/t/d" + std::to_string(i) + "/e" + std::to_string(j);
        t.fs->AddFolder((i + j) % 2 ? e + "/f" : e);
      }
    t.model->Fill();
    std::vector<std::string> all;
    AllFolders(*t.fs, "/", all);
    std::set<std::string> ref;
    auto below = [&](const std::string& x) {
      std::vector<std::string> v;
      for (const auto& p : all)
        if (p != x && Within(p, x)) v.push_back(p);
      return v;
    };
    std::mt19937 rng(13);
    for (int step = 0; step < 400; ++step) {
      const std::string& x = all[rng() % all.size()];
      int op = static_cast<int>(rng() % 3);
      QModelIndex idx = t.At(x);  // opens the tree down to x
      if (op == 2) {
        t.model->fetchMore(idx);
        continue;
      }
      const bool with = op == 0;
      const bool was = ref.count(x) > 0;
      t.model->ToggleCheck(idx, with);
      auto flip = [&](const std::string& p) {
        if (was)
          ref.erase(p);
        else
          ref.insert(p);
      };
      flip(x);
      if (with)
        for (const auto& p : below(x)) flip(p);

      // What the ticked folders cover is the reference set.
      std::set<std::string> covered;
      for (const auto& [dir, check] : t.model->Selection())
        for (const auto& p : all)
          if (p == dir || (check == DirCheck::kWithSubdirs && Within(p, dir))) covered.insert(p);
      QCOMPARE(covered, ref);
      // Every item read so far shows the state the reference gives it.
      std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int r = 0; r < t.model->rowCount(parent); ++r) {
          QModelIndex c = t.model->index(r, 0, parent);
          std::string p = t.model->PathOf(c);
          auto sub = below(p);
          bool sel = ref.count(p) > 0;
          bool allBelow =
              std::all_of(sub.begin(), sub.end(), [&](auto& s) { return ref.count(s) > 0; });
          bool anyBelow =
              std::any_of(sub.begin(), sub.end(), [&](auto& s) { return ref.count(s) > 0; });
          TreeCheck want = sel ? (allBelow ? kWith : kAlone) : (anyBelow ? kBelow : kNone);
          if (t.model->CheckOf(c) != want)
            QFAIL(qPrintable(QString("step %1: %2 shows %3, expected %4")
                                 .arg(step)
                                 .arg(QString::fromStdString(p))
                                 .arg(int(t.model->CheckOf(c)))
                                 .arg(int(want))));
          walk(c);
        }
      };
      walk({});
    }
  }

  void setSelectionOpensAlongEachPathAndSkipsFoldersNotThere() {
    Tree t({"/a/b/c", "/a/b/d", "/x/y"});
    t.model->Fill();
    QSignalSpy changed(t.model.get(), &DirTreeModel::SelectionChanged);
    QModelIndexList ticked = t.model->SetSelection({{"/a/b", DirCheck::kAlone},
                                                    {"/a/b/c", DirCheck::kWithSubdirs},
                                                    {"/gone/away", DirCheck::kWithSubdirs},
                                                    {"/x/y/", DirCheck::kWithSubdirs}});
    QCOMPARE(ticked.size(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(t.Check("/a/b"), kAlone);
    QCOMPARE(t.Check("/a/b/d"), kNone);
    QCOMPARE(t.Check("/x"), kBelow);
    QCOMPARE(t.model->Selection(), (CheckedDirs{{"/a/b", DirCheck::kAlone},
                                                {"/a/b/c", DirCheck::kWithSubdirs},
                                                {"/x/y", DirCheck::kWithSubdirs}}));
  }

  void setSelectionBeforeTheTreeIsFilledOnlyKeepsTheFolders() {
    Tree t({"/a"});
    CheckedDirs sel{{"/not/read", DirCheck::kWithSubdirs}};
    QVERIFY(t.model->SetSelection(sel).empty());
    QCOMPARE(t.model->Selection(), sel);
    QCOMPARE(t.fs->Reads(), 0);
  }

  void refreshKeepsOpenFoldersAndTheChecksOfFoldersThatRemain() {
    Tree t({"/a/keep/k", "/a/gone", "/b/only"});
    t.model->Fill();
    t.Click("/a/keep", false);  // alone
    t.Click("/a/gone", true);
    t.Click("/b/only", true);
    QPersistentModelIndex keep = t.At("/a/keep");
    t.fs->Remove("/a/gone");
    t.fs->Remove("/b/only");
    t.fs->AddFolder("/a/keep/new");
    QSignalSpy changed(t.model.get(), &DirTreeModel::SelectionChanged);
    t.model->Refresh();
    QVERIFY(keep.isValid());
    QCOMPARE(t.model->CheckOf(keep), kAlone);
    QCOMPARE(t.Names(keep), (QStringList{"k", "new"}));
    QCOMPARE(t.Check("/a/keep/new"), kNone);
    QCOMPARE(t.Check("/b"), kNone);  // its only ticked folder went
    QCOMPARE(t.model->Selection(), (CheckedDirs{{"/a/keep", DirCheck::kAlone}}));
    QCOMPARE(changed.count(), 1);

    // A folder that appears under a folder ticked with its subfolders is ticked as well.
    t.model->SetSelection({{"/a/keep", DirCheck::kWithSubdirs}});
    t.fs->AddFolder("/a/keep/newer");
    t.model->Refresh();
    QCOMPARE(t.Check("/a/keep/newer"), kWith);
  }

  void aHangingFolderDoesNotHoldTheCallerAndItsChildrenArriveLater() {
    Tree t({"/net/share/a", "/net/share/b", "/local"}, 100ms);
    t.model->Fill();
    QModelIndex share = t.At("/net/share");
    t.fs->Hang("/net/share");
    QElapsedTimer clock;
    clock.start();
    t.model->fetchMore(share);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(t.model->rowCount(share), 0);
    QVERIFY(!t.model->canFetchMore(share));       // no second reader on a dead folder
    t.model->ToggleCheck(t.At("/local"), false);  // the rest of the tree still works
    QCOMPARE(t.Check("/local"), kWith);
    t.fs->Release();
    QTRY_COMPARE(t.model->rowCount(share), 2);
  }

  void aLargeFolderShowsItsRowsAtOnceAndLearnsWhichHoldSubfoldersAfterwards() {
    Tree t({"/big"});
    for (int i = 0; i < 2500; ++i)
      t.fs->AddFolder("/big/f" + std::to_string(i) + (i % 100 == 0 ? "/sub" : ""));
    t.model->Fill();
    QModelIndex big = t.At("/big");
    t.model->fetchMore(big);
    QCOMPARE(t.model->rowCount(big), 2500);
    QCOMPARE(t.Names(big).mid(0, 3), (QStringList{"f0", "f1", "f10"}));
    QTRY_VERIFY(!t.model->hasChildren(t.At("/big/f1")));
    QVERIFY(t.model->hasChildren(t.At("/big/f100")));
  }

  void unreadableLinkedRemovedAndBadlyNamedFolders() {
    Tree t({"/u/locked/inside", "/u/ok"});
    t.fs->SetUnreadable("/u/locked");
    t.fs->AddLink("/u/loop");  // a link back up: shown, never opened
    std::string bad = "/u/caf\xE9";
    t.fs->AddFolder(bad);
    t.model->Fill();
    QModelIndex u = t.At("/u");
    t.model->fetchMore(u);
    QCOMPARE(t.Names(u), (QStringList{QString("caf") + QChar(0xFFFD), "locked", "loop", "ok"}));
    QVERIFY(!t.model->hasChildren(t.At("/u/locked")));
    QModelIndex loop = t.At("/u/loop");
    QVERIFY(!t.model->hasChildren(loop));
    QCOMPARE(loop.data(DirTreeModel::kKindRole).toInt(), int(DirTreeModel::Kind::kFolderLink));
    QCOMPARE(t.At(bad).data(DirTreeModel::kPathRole).toByteArray(), QByteArray(bad.c_str()));
    t.Click(bad, true);
    QVERIFY(t.model->Selection().count(bad));

    // A folder removed after its parent was opened can still be ticked; the next refresh drops it.
    t.fs->Remove("/u/ok");
    t.Click("/u/ok", false);
    QCOMPARE(t.Check("/u/ok"), kWith);
    t.model->Refresh();
    QVERIFY(!t.At("/u/ok").isValid());
    QCOMPARE(t.model->Selection(), (CheckedDirs{{bad, DirCheck::kWithSubdirs}}));
  }

  void volumesThatComeAndGoAddAndDropTheirRootsAndChecks() {
    Tree t({"/home"});
    t.model->Fill();
    t.fs->SetVolumes({{"/", "", "/dev/vda", false}, {"/media/usb", "", "/dev/sdb1", true}});
    t.fs->AddFolder("/media/usb/photos");
    t.model->RefreshVolumes();
    QCOMPARE(t.Names({}), (QStringList{"/", "usb"}));
    QVERIFY(t.model->hasChildren(t.model->index(1, 0)));
    t.Click("/media/usb/photos", true);
    QVERIFY(t.model->Selection().count("/media/usb/photos"));
    QSignalSpy changed(t.model.get(), &DirTreeModel::SelectionChanged);
    t.fs->SetVolumes({{"/", "", "/dev/vda", false}});
    t.model->RefreshVolumes();
    QCOMPARE(t.Names({}), (QStringList{"/"}));
    QVERIFY(t.model->Selection().empty());
    QCOMPARE(changed.count(), 1);
  }
};

}  // namespace orvane

QTEST_GUILESS_MAIN(orvane::DirTreeModelTest)
#include "dir_tree_model_test.moc"
