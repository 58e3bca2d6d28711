// Folders read ahead by several threads: the records, their running numbers and every byte of
// the listings are those of a scan that reads every folder itself, and a cancelled scan ends.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "done_receiver.h"
#include "engine/listing_engine.h"
#include "fake_folders.h"
#include "test_util.h"

namespace orvane {
namespace {

// The engine's end of each job, and the start of its scan.
class Receiver : public test::DoneReceiver {
 public:
  void ScanBegin() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    scanning = true;
    m_cv.notify_all();
  }
  void WaitScanning() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return scanning; });
  }
  bool scanning = false;
};

// Folders at three levels with files of several kinds, a zip listed as a folder, a name that
// is not UTF-8, a link to a folder and an empty folder.
std::string MakeTree(const test::TempDir& tmp) {
  const std::string root = tmp / "tree";
  for (int a = 0; a < 6; ++a)
    for (int b = 0; b < 5; ++b) {
      const std::string dir = root + "/A" + std::to_string(a) + "/b" + std::to_string(b);
      for (int f = 0; f < 12; ++f)
        test::WriteFile(dir + "/F" + std::to_string((f * 7 + a) % 13) + "_" + std::to_string(f) +
                            (f % 4 ? ".txt" : ".bin"),
                        std::string(static_cast<std::size_t>(f * 31 % 90), 'x'));
      if (b == 2) test::Run("mkdir -p '" + dir + "/c/empty'");
    }
  test::WriteFile(root + "/bad\xFF.txt", "x");
  test::Run("cp '" + test::DataPath("zip/info-zip.zip") + "' '" + root + "/A1/pack.zip'");
  EXPECT_EQ(symlink("../A2", (root + "/A0/link").c_str()), 0);
  return root;
}

struct Output {
  std::string bytes;
  std::vector<std::pair<std::string, int>> seqs;  // every record's path and running number
};

Output List(ListingServices* services, CheckedDirs dirs, int outputType, int threads,
            const std::string& out, const std::function<void(CListingOptions&)>& more = {}) {
  Receiver receiver;
  CListingEngine engine(&receiver, services);
  ListingJob job;
  CListingOptions& o = job.options;
  o.m_bProgramInfoInHeader = 0;
  o.m_nOutputType = outputType;
  o.m_bArchivesAsDirs = 1;
  o.m_bLinksToFiles = o.m_bLinksToDirs = o.m_bLinksToSubdirsInside = 1;
  o.m_bColumn[ColumnId::kNumber] = o.m_bColumn[ColumnId::kCrc32] = 1;
  if (more) more(o);
  job.checkedDirs = std::move(dirs);
  job.request = kRequestSave;
  job.outputPath = out;
  job.scanThreads = threads;
  EXPECT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  EXPECT_FALSE(engine.LastWriteFailed());
  Output result{test::ReadFile(out), {}};
  for (const auto& d : engine.Directories()) {
    result.seqs.emplace_back(d->m_strPath, d->m_nSeq);
    for (const CFileRecord& r : d->m_items) result.seqs.emplace_back(r.FullName(), r.m_nSeq);
  }
  return result;
}

TEST(ScanThreads, ReadingAheadChangesNoRecordAndNoByte) {
  test::TempDir tmp;
  const std::string root = MakeTree(tmp);
  CheckedDirs dirs;
  dirs[root] = DirCheck::kWithSubdirs;
  dirs[root + "/A3/b1"] = DirCheck::kWithSubdirs;  // inside a tree checked already
  for (int type : {kOutputText, kOutputHtml, kOutputCsv}) {
    const Output alone = List(nullptr, dirs, type, 1, tmp / "alone");
    EXPECT_GT(alone.seqs.size(), 400u);
    for (int threads : {2, 5}) {
      const Output many = List(nullptr, dirs, type, threads, tmp / "many");
      EXPECT_EQ(alone.bytes, many.bytes) << "type " << type << ", " << threads << " threads";
      EXPECT_EQ(alone.seqs, many.seqs);
    }
  }
}

TEST(ScanThreads, AWideTreeInMemoryListsAlikeWithAnyNumberOfThreads) {
  test::TempDir tmp;
  test::FakeFolders folders;
  test::FakeFolderServices services(folders);
  for (int a = 0; a < 40; ++a)
    for (int b = 0; b < 25; ++b)
      for (int f = 0; f < 3; ++f)
        folders.File(
            "/w/d" + std::to_string(a) + "/s" + std::to_string(b) + "/f" + std::to_string(f),
            static_cast<std::uint64_t>(a * b + f));
  folders.Folder("/w/d7/s3").unreadable = true;
  CheckedDirs dirs;
  dirs["/w"] = DirCheck::kWithSubdirs;
  const Output alone = List(&services, dirs, kOutputHtml, 1, tmp / "alone");
  const Output many = List(&services, dirs, kOutputHtml, 3, tmp / "many");
  EXPECT_EQ(alone.bytes, many.bytes);
  EXPECT_EQ(alone.seqs, many.seqs);
  // 1,041 folders; their 4,040 entries but the unreadable folder's three files.
  EXPECT_EQ(many.seqs.size(), 1041u + 4040u - 3u);
  EXPECT_EQ(folders.OpenNow(), 0);
}

// Rows that need nothing from the files are formatted on several threads in blocks of
// directories; the blocks reach the file in order, whatever the widths, sorting or summary.
TEST(ScanThreads, RowsFormattedOnSeveralThreadsAreWrittenInOrder) {
  test::TempDir tmp;
  test::FakeFolders folders;
  test::FakeFolderServices services(folders);
  for (int a = 0; a < 60; ++a)
    for (int b = 0; b < (a % 7) * 25; ++b)
      folders.File("/r/d" + std::to_string(a) + "/s" + std::to_string(b % 5) + "/f\u00e9" +
                       std::to_string(b) + (b % 3 ? ".txt" : ""),
                   static_cast<std::uint64_t>(a * 1000 + b));
  CheckedDirs dirs;
  dirs["/r"] = DirCheck::kWithSubdirs;
  auto options = [](int variant) {
    return [variant](CListingOptions& o) {
      o.m_bColumn[ColumnId::kCrc32] = 0;  // nothing read from the files
      o.m_bAutoColumnWidths = variant & 1;
      o.m_bDirSortDesc[0] = (variant & 2) != 0;
      o.m_nDirSortKey[0] = ColumnNumber(ColumnId::kSize);
      o.m_nSummaryPos = (variant & 4) ? 0 : 1;
    };
  };
  for (int type : {kOutputText, kOutputHtml, kOutputCsv})
    for (int variant = 0; variant < 8; ++variant) {
      const Output alone = List(&services, dirs, type, 1, tmp / "alone", options(variant));
      const Output many = List(&services, dirs, type, 3, tmp / "many", options(variant));
      ASSERT_GT(alone.seqs.size(), 3000u);
      EXPECT_EQ(alone.bytes, many.bytes) << "type " << type << ", variant " << variant;
    }
}

TEST(ScanThreads, CancellingWhileFoldersAreReadAheadEndsTheJob) {
  test::TempDir tmp;
  test::FakeFolders folders;
  test::FakeFolderServices services(folders);
  for (int a = 0; a < 300; ++a)
    for (int b = 0; b < 100; ++b)
      folders.Folder("/big/d" + std::to_string(a) + "/" + std::to_string(b));
  Receiver receiver;
  CListingEngine engine(&receiver, &services);
  ListingJob job;
  job.checkedDirs["/big"] = DirCheck::kWithSubdirs;
  job.outputPath = tmp / "out.txt";
  job.scanThreads = 3;
  ASSERT_TRUE(engine.StartGeneration(job));
  receiver.WaitScanning();
  engine.StopGeneration();
  receiver.Wait();  // the cancelled job's end came before StopGeneration returned
  EXPECT_TRUE(receiver.cancelled);
  EXPECT_TRUE(engine.LastJobCancelled());
  EXPECT_EQ(folders.OpenNow(), 0);
  // The next job starts a new worker and lists the whole tree.
  job.checkedDirs.clear();
  job.checkedDirs["/big/d5"] = DirCheck::kWithSubdirs;
  ASSERT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  EXPECT_FALSE(receiver.cancelled);
  EXPECT_EQ(engine.Dirs(), 101);
}

}  // namespace
}  // namespace orvane
