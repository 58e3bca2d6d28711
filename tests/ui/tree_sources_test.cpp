// What the directory tree reads from the system: folders on disk, the mount table, the watch on
// it, and selection files.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/folder_tree.h"
#include "settings/selection_file.h"
#include "ui/tree/mount_watcher.h"

namespace orvane {
namespace {

std::vector<std::string> Names(const std::vector<SubfolderEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

const SubfolderEntry* Find(const std::vector<SubfolderEntry>& entries, const std::string& name) {
  for (const auto& e : entries)
    if (e.name == name) return &e;
  return nullptr;
}

}  // namespace

class TreeSourcesTest : public QObject {
  Q_OBJECT

 private slots:
  void theSystemSourceListsSubfoldersLinksAndOddNamesWithoutFollowingLinks() {
    QTemporaryDir tmp;
    const std::string root = tmp.path().toStdString();
    for (const char* d : {"/a", "/a/inner", "/a/inner/deep", "/b", "/caf\xE9"})
      QVERIFY(mkdir((root + d).c_str(), 0755) == 0);
    QFile file(QString::fromStdString(root + "/plain.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(symlink(root.c_str(), (root + "/a/up").c_str()) == 0);   // a loop
    QVERIFY(symlink("nowhere", (root + "/dangling").c_str()) == 0);  // not a folder

    auto source = MakeSystemFolderSource();
    std::vector<SubfolderEntry> entries;
    QVERIFY(source->ListSubfolders(root, true, entries));
    QCOMPARE(Names(entries), (std::vector<std::string>{"a", "b", "caf\xE9"}));
    QVERIFY(Find(entries, "a")->hasSubfolders);
    QVERIFY(!Find(entries, "b")->hasSubfolders);

    QVERIFY(source->ListSubfolders(root + "/a", true, entries));
    const SubfolderEntry* up = Find(entries, "up");
    QVERIFY(up && up->isLink && !up->hasSubfolders);
    QVERIFY(source->HasSubfolder(root + "/a"));
    QVERIFY(!source->HasSubfolder(root + "/b"));

    QVERIFY(!source->ListSubfolders(root + "/missing", true, entries));
    QVERIFY(entries.empty());
    QVERIFY(!source->ListSubfolders(root + "/plain.txt", true, entries));
    // Without a network provider there is no network root and no network place to read.
    QCOMPARE(source->NetworkRootName(), std::string());
    QVERIFY(!source->ListSubfolders("Windows Network", false, entries));
    QCOMPARE(source->ListVolumes().front().mountPoint, std::string("/"));
    rmdir((root + "/caf\xE9").c_str());  // a name QDir cannot remove
  }

  void theMountTableGivesRealVolumesNamedByLabelOrLastComponent() {
    const char* table =
        "22 27 0:21 / /proc rw - proc proc rw\n"
        "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
        "40 27 8:17 / /media/ann/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
        "41 27 8:33 / /mnt/backup rw - ext4 /dev/sdc1 rw\n"
        "42 27 8:34 / /mnt/backup rw - xfs /dev/sdc2 rw\n"  // hides the one before
        "43 27 0:50 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
        "44 27 0:51 / /tmp rw - tmpfs tmpfs rw\n"
        "broken line\n";
    auto volumes = ParseMountedVolumes(table, {{"/dev/sdc2", "Backups"}});
    std::vector<std::string> points, names;
    for (const auto& v : volumes) {
      points.push_back(v.mountPoint);
      names.push_back(VolumeDisplayName(v));
    }
    QCOMPARE(points,
             (std::vector<std::string>{"/", "/media/ann/USB STICK", "/mnt/backup", "/tmp"}));
    QCOMPARE(names, (std::vector<std::string>{"/", "USB STICK", "Backups", "tmp"}));
    QVERIFY(volumes[1].removable);
    QVERIFY(!volumes[2].removable);
    // An unreadable table still gives the root.
    QCOMPARE(ParseMountedVolumes("", {}).size(), std::size_t{1});
  }

  void theWatcherReportsAChangedMountTableOnce() {
    QTemporaryDir tmp;
    QString path = tmp.filePath("mountinfo");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("27 1 254:0 / / rw - ext4 /dev/vda rw\n");
    f.flush();
    MountWatcher watcher(nullptr, path);
    QSignalSpy spy(&watcher, &MountWatcher::MountsChanged);
    watcher.CheckNow();
    QCOMPARE(spy.count(), 0);
    f.write("40 27 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n");
    f.flush();
    watcher.CheckNow();
    watcher.CheckNow();
    QCOMPARE(spy.count(), 1);
  }

  // Needs the right to mount (root); skipped elsewhere.
  void aVolumeMountedWhileWatchingIsReportedAndListed() {
    QTemporaryDir tmp;
    const QByteArray point = QFile::encodeName(tmp.path());
    MountWatcher watcher;
    QSignalSpy spy(&watcher, &MountWatcher::MountsChanged);
    if (std::system(("mount -t tmpfs orvane-test '" + point + "' 2>/dev/null").constData()) != 0)
      QSKIP("cannot mount here");
    auto volumes = MakeSystemFolderSource()->ListVolumes();
    const bool listed = std::any_of(volumes.begin(), volumes.end(), [&](const MountedVolume& v) {
      return v.mountPoint == point.toStdString();
    });
    const bool reported = QTest::qWaitFor([&] { return spy.count() > 0; }, 5000);
    std::system(("umount '" + point + "'").constData());
    QVERIFY(listed);
    QVERIFY(reported);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 5000);
  }

  void selectionFilesKeepTheTickedFolders() {
    QTemporaryDir tmp;
    std::string path = tmp.filePath("s.ovs").toStdString();
    CheckedDirs dirs{{"/home/ann", DirCheck::kWithSubdirs}, {"/srv/a|b", DirCheck::kAlone}};
    QVERIFY(SaveSelection(dirs, path));
    QFile f(QString::fromStdString(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBF"
                                     "3|/home/ann\r\n2|/srv/a|b\r\n"));
    CheckedDirs back;
    QCOMPARE(LoadSelection(path, back), TextReadStatus::kOk);
    QCOMPARE(back, dirs);
    CheckedDirs none;
    QCOMPARE(LoadSelection(path + ".missing", none), TextReadStatus::kMissing);
    QVERIFY(none.empty());
  }
};

}  // namespace orvane

QTEST_GUILESS_MAIN(orvane::TreeSourcesTest)
#include "tree_sources_test.moc"
