#include "engine/listing_engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>

#include "engine/file_info_groups.h"
#include "platform/owner.h"
#include "test_util.h"

namespace orvane {
namespace {

class WaitingReceiver : public ListingReceiver {
 public:
  void Done(ListingRequest, bool wasCancelled) override {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    cancelled = wasCancelled;
    cv.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [this] { return done; });
    done = false;
  }
  std::mutex mutex;
  std::condition_variable cv;
  bool done = false;
  bool cancelled = false;
};

struct Fixture {
  test::TempDir tmp;
  WaitingReceiver receiver;
  CListingEngine engine{&receiver};
  ListingJob job;
  Fixture() { job.options.m_bProgramInfoInHeader = 0; }
  std::string Generate() {
    const std::string out = tmp / "listing.txt";
    job.request = kRequestSave;
    job.outputPath = out;
    EXPECT_TRUE(engine.StartGeneration(job));
    receiver.Wait();
    engine.WaitReady();
    std::string text = test::ReadFile(out);
    return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
  }
  const CDirRecord* Dir(const std::string& rel) {
    const std::string want = rel.empty() ? tmp.path() + "/tree" : tmp / ("tree/" + rel);
    for (const auto& d : engine.Directories())
      if (d->m_strPath == want) return d.get();
    return nullptr;
  }
  void Check(DirCheck check) { job.checkedDirs[tmp / "tree"] = check; }
};

void MakeTree(const std::string& root) {
  test::WriteFile(root + "/tree/a.txt", "aaaa");
  test::WriteFile(root + "/tree/b.doc", "bb");
  test::WriteFile(root + "/tree/sub/c.txt", "c");
  test::WriteFile(root + "/tree/sub/deeper/d.txt", "dd");
  mkdir((root + "/tree/empty").c_str(), 0755);
}

TEST(ListingEngine, SelectionCodesAndRecursionLimit) {
  Fixture f;
  MakeTree(f.tmp.path());
  f.Check(DirCheck::kAlone);
  f.Generate();
  ASSERT_NE(f.Dir(""), nullptr);
  EXPECT_EQ(f.Dir("sub"), nullptr);
  EXPECT_EQ(f.Dir("")->m_nFileCount, 2);
  EXPECT_EQ(f.Dir("")->m_items.size(), 4u);  // the subdirectories are still entries
  EXPECT_EQ(f.Dir("")->m_nSubdirCount, 0);

  f.Check(DirCheck::kWithSubdirs);
  f.Generate();
  ASSERT_NE(f.Dir("sub/deeper"), nullptr);
  EXPECT_EQ(f.Dir("")->m_nSize, 9u);  // 4 + 2 + 1 + 2
  EXPECT_EQ(f.engine.Files(), 4);
  EXPECT_EQ(f.engine.Dirs(), 4);

  f.job.options.m_bLimitRecursion = 1;
  f.job.options.m_nRecursionLevel = 0;
  f.Generate();
  EXPECT_EQ(f.Dir("sub"), nullptr);
  EXPECT_EQ(f.engine.Dirs(), 1);
}

TEST(ListingEngine, HideEmptyDirsAndMask) {
  Fixture f;
  MakeTree(f.tmp.path());
  f.Check(DirCheck::kWithSubdirs);
  f.job.options.m_bHideEmptyDirs = 1;
  f.job.options.m_strMask = "*.doc";
  std::string text = f.Generate();
  EXPECT_EQ(f.engine.Dirs(), 1);  // only the top holds a matching file
  EXPECT_NE(text.find("b.doc"), std::string::npos);
  EXPECT_EQ(text.find("/sub/"), std::string::npos);
  EXPECT_EQ(text.find("<sub>"), std::string::npos);  // the entry fails the mask
}

TEST(ListingEngine, RunningNumberRestartsPerDirectoryOrRunsThrough) {
  Fixture f;
  MakeTree(f.tmp.path());
  f.Check(DirCheck::kWithSubdirs);
  f.job.options.m_bColumn[ColumnId::kNumber] = 1;
  f.job.options.m_nFileSortKey[0] = ColumnNumber(ColumnId::kName);
  std::string text = f.Generate();
  EXPECT_NE(text.find("1. c.txt"), std::string::npos);
  EXPECT_NE(text.find("1. d.txt"), std::string::npos);
  f.job.options.m_bDirRows = 0;
  f.job.options.m_bFilesTogether = 1;
  text = f.Generate();
  EXPECT_NE(text.find("4. d.txt"), std::string::npos);
  EXPECT_EQ(text.find("/sub/"), std::string::npos);
}

TEST(ListingEngine, RecordsAreReusedUntilTheFileChanges) {
  Fixture f;
  MakeTree(f.tmp.path());
  f.Check(DirCheck::kAlone);
  f.job.options.m_bColumn[ColumnId::kType] = 1;
  f.Generate();
  auto find = [&](const std::string& name) -> CFileRecord* {
    for (const auto& d : f.engine.Directories())
      for (auto& r : const_cast<CDirRecord&>(*d).m_items)
        if (r.FullName() == name) return &r;
    return nullptr;
  };
  ASSERT_NE(find("a.txt"), nullptr);
  find("a.txt")->Info().m_strType = "kept";
  find("b.doc")->Info().m_strType = "kept";
  struct timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (f.tmp / "tree/b.doc").c_str(), times, 0), 0);
  f.Generate();
  EXPECT_EQ(find("a.txt")->Info().m_strType, "kept");
  EXPECT_NE(find("b.doc")->Info().m_strType, "kept");
}

TEST(ListingEngine, OddNamesLinksAndMissingFolders) {
  Fixture f;
  const std::string root = f.tmp / "tree";
  test::WriteFile(root +
                      "/bad\xFF"
                      "name.txt",
                  "x");
  test::WriteFile(root + "/tab\there\nnewline.txt", "x");
  mkdir((root + "/loop").c_str(), 0755);
  ASSERT_EQ(symlink("..", (root + "/loop/up").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (root + "/dangling").c_str()), 0);
  f.Check(DirCheck::kWithSubdirs);
  f.job.checkedDirs[f.tmp / "does-not-exist"] = DirCheck::kWithSubdirs;
  std::string text = f.Generate();
  EXPECT_NE(text.find("bad\xEF\xBF\xBDname.txt"), std::string::npos);
  EXPECT_NE(text.find("tab?here?newline.txt"), std::string::npos);
  EXPECT_NE(text.find("<up>"), std::string::npos);  // a link to a folder is an entry
  EXPECT_EQ(f.Dir("loop/up"), nullptr);             // but is never descended into
  EXPECT_NE(text.find("dangling"), std::string::npos);
  // Every row is one line: header + 3 directory rows + 6 entries (incl. the missing folder's row).
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 3u + 5u);
}

TEST(ListingEngine, DeepTreeBeyondPathMax) {
  Fixture f;
  const int depth = 10000;
  std::string root = f.tmp / "tree";
  mkdir(root.c_str(), 0755);
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < depth; ++i) {
    ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
    int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
    ASSERT_GE(fd, 0);
  }
  int file = openat(fd, "bottom.txt", O_CREAT | O_WRONLY, 0644);
  ASSERT_EQ(write(file, "xyz", 3), 3);
  close(file);
  close(fd);
  f.Check(DirCheck::kWithSubdirs);
  f.job.options.m_bDirRows = 0;
  f.Generate();
  EXPECT_EQ(f.engine.Dirs(), depth + 1);
  EXPECT_EQ(f.engine.Files(), 1);
  EXPECT_EQ(f.Dir("")->m_nSize, 3u);
  EXPECT_GT(f.engine.Directories().back()->m_strPath.size(), 20000u);
  test::Run("rm -rf '" + root + "'");
}

TEST(ListingEngine, CancelledJobEndsTheWorkerAndTheNextStartsAnew) {
  Fixture f;
  MakeTree(f.tmp.path());
  f.Check(DirCheck::kWithSubdirs);
  f.Generate();
  f.engine.StopGeneration();  // idle worker ends
  f.Generate();
  EXPECT_EQ(f.engine.Files(), 4);
  EXPECT_FALSE(f.receiver.cancelled);
}

TEST(ListingEngine, UnwritableOutputIsReported) {
  Fixture f;
  MakeTree(f.tmp.path());
  f.Check(DirCheck::kAlone);
  f.job.request = kRequestSave;
  f.job.outputPath = f.tmp / "no/such/dir/out.txt";
  ASSERT_TRUE(f.engine.StartGeneration(f.job));
  f.receiver.Wait();
  f.engine.WaitReady();
  EXPECT_TRUE(f.engine.LastWriteFailed());
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(ListingEngine, MediaColumnsComeFromTheReadersByExtension) {
  Fixture f;
  const std::string tree = f.tmp / "tree";
  test::Run("mkdir -p '" + tree + "' && cp '" + test::DataPath("wav/pcm16_stereo.wav") + "' '" +
            tree + "/Sound.WAV' && cp '" + test::DataPath("mp3/lame_cbr.mp3") + "' '" + tree +
            "/song.mp3' && cp '" + test::DataPath("pictures/rgb.png") + "' '" + tree +
            "/pic.png' && cp '" + test::DataPath("pictures/rgb.png") + "' '" + tree + "/pic.dat'");
  f.Check(DirCheck::kAlone);
  for (ColumnId id : kAllColumns)
    if (id >= ColumnId::kVideoFormat && id <= ColumnId::kTagComments)
      f.job.options.m_bColumn[id] = 1;
  f.job.options.m_bAutoColumnWidths = 1;
  f.job.options.m_nFileSortKey[0] = ColumnNumber(ColumnId::kName);
  std::string text = f.Generate();
  EXPECT_NE(text.find("44.10 kHz"), std::string::npos);
  EXPECT_NE(text.find("MPEG-1 Layer 3"), std::string::npos);
  EXPECT_NE(text.find("PNG"), std::string::npos);
  // The same picture under an unknown extension gets no media reader.
  std::size_t dat = text.find("pic.dat");
  ASSERT_NE(dat, std::string::npos);
  std::string row = text.substr(dat, text.find('\n', dat) - dat);
  EXPECT_EQ(row.find("PNG"), std::string::npos);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// A tree holding one archive of the test data under the name given, checked with its
// subdirectories.
std::string TreeWithArchive(Fixture& f, const std::string& data, const std::string& name) {
  const std::string tree = f.tmp / "tree";
  test::Run("mkdir -p '" + tree + "' && cp '" + test::DataPath(data) + "' '" + tree + "/" + name +
            "'");
  f.Check(DirCheck::kWithSubdirs);
  return tree;
}

TEST(ListingEngine, ArchivesBecomeDirectoriesOnlyWhenAsked) {
  Fixture f;
  const std::string tree = TreeWithArchive(f, "zip/info-zip.zip", "Pack.ZIP");
  std::string text = f.Generate();
  EXPECT_NE(text.find("Pack.ZIP"), std::string::npos);
  EXPECT_EQ(f.Dir("Pack.ZIP"), nullptr);
  f.job.options.m_bArchivesAsDirs = 1;
  f.job.options.m_bColumn[ColumnId::kOwner] = 1;
  text = f.Generate();
  const CDirRecord* pack = f.Dir("Pack.ZIP");
  ASSERT_NE(pack, nullptr);
  EXPECT_TRUE(pack->m_bArchive);
  EXPECT_EQ(f.Dir("")->m_nSize, pack->m_nSize);  // the members' total counts for the folder
  ASSERT_NE(f.Dir("Pack.ZIP/sub"), nullptr);
  EXPECT_NE(text.find("<Pack.ZIP>"), std::string::npos);
  EXPECT_NE(text.find("caf\xC3\xA9.txt"), std::string::npos);
  // Listings in each directory are never written into an archive.
  f.job.options.m_bListingInEachDir = 1;
  f.Generate();
  EXPECT_TRUE(std::filesystem::exists(tree + "/_thisdir.txt"));
  EXPECT_FALSE(std::filesystem::exists(tree + "/Pack.ZIP/_thisdir.txt"));
}

TEST(ListingEngine, InterleavedArchiveMembersLandInTheirFoldersWithTheirSizes) {
  // a/1.txt 10, b/2.txt 20, a/3.txt 30, a/s/4.txt 40, top.txt 50, b/, a/s/, b/5.txt 60
  Fixture f;
  TreeWithArchive(f, "zip/folders.zip", "f.zip");
  f.job.options.m_bArchivesAsDirs = 1;
  f.Generate();
  const CDirRecord* archive = f.Dir("f.zip");
  const CDirRecord* a = f.Dir("f.zip/a");
  const CDirRecord* s = f.Dir("f.zip/a/s");
  const CDirRecord* b = f.Dir("f.zip/b");
  ASSERT_TRUE(archive && a && s && b);
  EXPECT_EQ(archive->m_nSize, 210u);
  EXPECT_EQ(archive->m_nFileCount, 1);    // top.txt
  EXPECT_EQ(archive->m_nSubdirCount, 1);  // the member b/
  EXPECT_EQ(a->m_nSize, 80u);
  EXPECT_EQ(a->m_nFileCount, 2);
  EXPECT_EQ(a->m_nSubdirCount, 1);  // the member a/s/
  EXPECT_EQ(s->m_nSize, 40u);
  EXPECT_EQ(s->m_nFileCount, 1);
  EXPECT_EQ(b->m_nSize, 80u);
  EXPECT_EQ(b->m_nFileCount, 2);
  EXPECT_EQ(a->m_pParent, archive);
  EXPECT_EQ(s->m_pParent, a);
  EXPECT_EQ(b->m_pParent, archive);
  auto names = [](const CDirRecord* d) {
    std::vector<std::string> out;
    for (const CFileRecord& r : d->m_items) out.push_back(r.FullName());
    return out;
  };
  EXPECT_EQ(names(a), (std::vector<std::string>{"1.txt", "3.txt", "s"}));
  EXPECT_EQ(names(b), (std::vector<std::string>{"2.txt", "5.txt"}));
  EXPECT_EQ(names(archive), (std::vector<std::string>{"top.txt", "b"}));
}

TEST(ListingEngine, DocumentPropertiesAndOwner) {
  Fixture f;
  const std::string tree = f.tmp / "tree";
  test::Run("mkdir -p '" + tree + "' && cp '" + test::DataPath("docs/writer.doc") + "' '" + tree +
            "/report.bin'");
  f.Check(DirCheck::kAlone);
  for (ColumnId id : kAllColumns)
    if (id >= ColumnId::kDocTitle && id <= ColumnId::kSecurity) f.job.options.m_bColumn[id] = 1;
  f.job.options.m_bColumn[ColumnId::kOwner] = 1;
  f.job.options.m_bAutoColumnWidths = 1;
  std::string text = f.Generate();
  // Any file is asked, whatever its extension.
  EXPECT_NE(text.find("Quarterly Report"), std::string::npos);
  EXPECT_NE(text.find("Ada Lovelace"), std::string::npos);
  EXPECT_NE(text.find(GetFileOwner(tree)), std::string::npos);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(ListingEngine, HashesAreComputedOnceAndReusedWhileTheFileIsUnchanged) {
  Fixture f;
  const std::string file = f.tmp / "tree/data.bin";
  test::WriteFile(file, "abc");
  test::WriteFile(f.tmp / "tree/sub/x", "");
  f.Check(DirCheck::kAlone);
  for (ColumnId id : {ColumnId::kCrc32, ColumnId::kMd5, ColumnId::kSha1})
    f.job.options.m_bColumn[id] = 1;
  std::string text = f.Generate();
  EXPECT_NE(text.find("352441c2"), std::string::npos);                          // CRC32("abc")
  EXPECT_NE(text.find("900150983cd24fb0d6963f7d28e17f72"), std::string::npos);  // MD5("abc")
  EXPECT_NE(text.find("a9993e364706816aba3e25717850c26c9cd0d89d"), std::string::npos);
  // A directory entry gets blanks of the digests' widths.
  EXPECT_NE(text.find("<sub>"), std::string::npos);
  // New content with the same last-write time: the stored digests are shown again (not read).
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  test::WriteFile(file, "xyz");
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  text = f.Generate();
  EXPECT_NE(text.find("900150983cd24fb0d6963f7d28e17f72"), std::string::npos);
  // A new last-write time reads the file again.
  struct timespec later[2] = {{0, UTIME_OMIT}, {st.st_mtim.tv_sec + 10, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), later, 0), 0);
  text = f.Generate();
  EXPECT_NE(text.find("d16fb36f0911f878998c136191af705e"), std::string::npos);  // MD5("xyz")
}

TEST(ListingEngine, VersionColumnsOfExecutables) {
  Fixture f;
  const std::string tree = f.tmp / "tree";
  test::Run("mkdir -p '" + tree + "' && cp '" + test::DataPath("pe") + "'/*.exe '" + tree + "'/");
  f.Check(DirCheck::kAlone);
  for (ColumnId id : kAllColumns)
    if (id >= ColumnId::kFileVersion && id <= ColumnId::kLanguage) f.job.options.m_bColumn[id] = 1;
  f.job.options.m_bAutoColumnWidths = 1;
  std::string text = f.Generate();
  EXPECT_NE(text.find("English (United States)"), std::string::npos);
}

}  // namespace
}  // namespace orvane
