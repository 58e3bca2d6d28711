// Checksums of the rows to come, computed ahead on a pool: the digests equal those of a plain
// pass, come back in row order, never run further ahead than allowed, report progress on the
// consumer's thread only, and stop promptly when the listing is cancelled. Listings show the
// right digest in every row, and reuse kept checksums only when asked to.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "done_receiver.h"
#include "engine/checksum_prefetch.h"
#include "engine/listing_engine.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::TempDir;
const HashRequest kAll{true, true, true};

// Records on which threads reports and polls arrive; asks to stop after `stopAfter` polls.
class ConsumerProgress : public HashProgress {
 public:
  explicit ConsumerProgress(int stopAfter = -1) : m_stopAfter(stopAfter) {}
  void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t,
                      const char*) override {
    if (std::this_thread::get_id() != m_owner) ++foreignCalls;
    lastPath = path;
    lastDone = done;
    ++reports;
  }
  bool StopRequested() override {
    if (std::this_thread::get_id() != m_owner) ++foreignCalls;
    return m_stopAfter >= 0 && ++m_polls > m_stopAfter;
  }
  int foreignCalls = 0, reports = 0;
  std::string lastPath;
  std::uint64_t lastDone = 0;

 private:
  std::thread::id m_owner = std::this_thread::get_id();
  int m_stopAfter, m_polls = 0;
};

TEST(ChecksumPrefetch, DigestsMatchAPlainPassInRowOrder) {
  TempDir dir;
  std::mt19937 gen(5);
  std::vector<std::string> files;
  for (int i = 0; i < 30; ++i) {
    // Empty, small, and files of several 4 MiB buffers.
    const std::size_t size = i % 10 == 3 ? 9 << 20 : i % 7 == 0 ? 0 : gen() % 70000;
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    files.push_back(dir / ("f" + std::to_string(i)));
    test::WriteFile(files.back(), bytes);
  }
  files.insert(files.begin() + 12, dir / "missing");  // unreadable: blanks, the rest goes on
  for (unsigned threads : {1u, 2u, 4u}) {
    CChecksumPrefetch prefetch(nullptr, threads, 3);
    for (const std::string& f : files) prefetch.Add(f, kAll);
    ConsumerProgress progress;
    for (std::size_t i = 0; i < files.size(); ++i) {
      HashResults got, want;
      ASSERT_FALSE(prefetch.Take(i, &progress, got));
      ComputeHashes(files[i], kAll, nullptr, want);
      EXPECT_EQ(got.status, want.status) << files[i];
      EXPECT_EQ(got.crc32, want.crc32) << files[i];
      EXPECT_EQ(got.md5, want.md5) << files[i];
      EXPECT_EQ(got.sha1, want.sha1) << files[i];
    }
    EXPECT_EQ(progress.foreignCalls, 0);
  }
}

TEST(ChecksumPrefetch, NeverRunsFurtherAheadThanAllowedButDoesRunSideBySide) {
  std::atomic<int> started{0}, running{0}, mostRunning{0};
  auto hasher = [&](const std::string&, const HashRequest&, HashProgress*, HashResults& out) {
    ++started;
    const int now = ++running;
    for (int seen = mostRunning; now > seen && !mostRunning.compare_exchange_weak(seen, now);) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    --running;
    out.crc32 = 7;
  };
  constexpr std::size_t kAhead = 3;
  CChecksumPrefetch prefetch(nullptr, 2, kAhead, hasher);
  for (int i = 0; i < 20; ++i) prefetch.Add("file" + std::to_string(i), kAll);
  for (std::size_t i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_LE(static_cast<std::size_t>(started), i + kAhead);
    HashResults r;
    ASSERT_FALSE(prefetch.Take(i, nullptr, r));
    EXPECT_EQ(r.crc32, 7u);
  }
  EXPECT_EQ(started, 20);
  EXPECT_EQ(mostRunning, 2);
}

TEST(ChecksumPrefetch, FilesSideBySideKeepToOneThreadEachAndALoneFileMaySplit) {
  std::atomic<int> sideBySide{0};
  std::atomic<bool> lastAlone{false};
  auto hasher = [&](const std::string& path, const HashRequest& want, HashProgress*, HashResults&) {
    if (want.oneThread) ++sideBySide;
    if (path == "last") lastAlone = !want.oneThread;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  CChecksumPrefetch prefetch(nullptr, 2, 8, hasher);
  for (int i = 0; i < 6; ++i) prefetch.Add("f", kAll);
  HashResults r;
  for (std::size_t i = 0; i < 6; ++i) prefetch.Take(i, nullptr, r);
  EXPECT_GT(sideBySide, 0);
  prefetch.Add("last", kAll);
  prefetch.Take(6, nullptr, r);
  EXPECT_TRUE(lastAlone);
}

TEST(ChecksumPrefetch, ProgressOfTheAwaitedFileReachesTheConsumerThread) {
  auto hasher = [](const std::string& path, const HashRequest&, HashProgress* progress,
                   HashResults& out) {
    for (std::uint64_t done = 0; done <= 40; done += 4) {
      progress->ReportProgress(path, done << 20, 40 << 20, "CRC32");
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    out.bytesHashed = 40 << 20;
  };
  CChecksumPrefetch prefetch(nullptr, 2, 4, hasher);
  prefetch.Add("/data/big.iso", kAll);
  ConsumerProgress progress;
  HashResults r;
  ASSERT_FALSE(prefetch.Take(0, &progress, r));
  EXPECT_EQ(progress.foreignCalls, 0);
  EXPECT_GE(progress.reports, 2);
  EXPECT_EQ(progress.lastPath, "/data/big.iso");
  EXPECT_EQ(r.bytesHashed, 40u << 20);
}

TEST(ChecksumPrefetch, CancellingStopsEveryPassAndEveryLaterRow) {
  std::atomic<int> stopped{0};
  auto hasher = [&](const std::string& path, const HashRequest&, HashProgress* progress,
                    HashResults& out) {
    // A file that never ends unless asked to stop.
    while (!progress->StopRequested()) {
      progress->ReportProgress(path, 1, 2, "MD5");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ++stopped;
    out.status = HashStatus::kCancelled;
  };
  CChecksumPrefetch prefetch(nullptr, 2, 4, hasher);
  for (int i = 0; i < 10; ++i) prefetch.Add("endless", kAll);
  ConsumerProgress progress(3);
  HashResults r;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(prefetch.Take(0, &progress, r));
  EXPECT_EQ(r.status, HashStatus::kCancelled);
  EXPECT_TRUE(prefetch.Take(1, &progress, r));
  EXPECT_TRUE(prefetch.Take(9, nullptr, r));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(progress.foreignCalls, 0);
}

TEST(ChecksumPrefetch, RowsPassedOverAreDroppedAndCannotBeTakenAgain) {
  std::atomic<int> hashed{0};
  auto hasher = [&](const std::string& path, const HashRequest&, HashProgress*, HashResults& out) {
    ++hashed;
    out.md5 = path;
  };
  CChecksumPrefetch prefetch(nullptr, 1, 2, hasher);
  for (int i = 0; i < 8; ++i) prefetch.Add(std::to_string(i), kAll);
  HashResults r;
  ASSERT_FALSE(prefetch.Take(5, nullptr, r));
  EXPECT_EQ(r.md5, "5");
  ASSERT_FALSE(prefetch.Take(7, nullptr, r));
  EXPECT_EQ(r.md5, "7");
  EXPECT_THROW(prefetch.Take(5, nullptr, r), std::out_of_range);
  EXPECT_LE(hashed, 8);
}

using Receiver = test::DoneReceiver;

// A listing of dir/tree with the three checksum columns, made by a fresh engine each time (so
// nothing is carried over in memory), with the cache folder in dir.
struct ChecksumListing {
  TempDir dir;
  Receiver receiver;
  ListingJob job;
  std::string oldCache;
  ChecksumListing() {
    if (const char* c = getenv("XDG_CACHE_HOME")) oldCache = c;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    CListingOptions& o = job.options;
    o.m_bProgramInfoInHeader = 0;
    o.m_bColumn.fill(0);
    for (ColumnId id : {ColumnId::kCrc32, ColumnId::kMd5, ColumnId::kSha1}) o.m_bColumn[id] = 1;
    job.checkedDirs[dir / "tree"] = DirCheck::kWithSubdirs;
    job.request = kRequestSave;
    job.outputPath = dir / "listing.txt";
  }
  ~ChecksumListing() {
    if (oldCache.empty())
      unsetenv("XDG_CACHE_HOME");
    else
      setenv("XDG_CACHE_HOME", oldCache.c_str(), 1);
  }
  std::vector<std::string> Generate() {
    CListingEngine engine(&receiver);
    EXPECT_TRUE(engine.StartGeneration(job));
    receiver.Wait();
    engine.WaitReady();
    return test::ReadListingLines(job.outputPath);
  }
  // The row of the file named name (unique in the tree).
  static std::string Row(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& l : lines)
      if (l.compare(0, name.size() + 1, name + " ") == 0) return l;
    return "<no row " + name + ">";
  }
};

// Every row shows the digests of its own file, sorted by name descending or all files together.
TEST(ChecksumListing, EveryRowShowsItsOwnFilesDigests) {
  ChecksumListing l;
  std::mt19937 gen(3);
  std::vector<std::pair<std::string, std::string>> files;  // row name, path
  for (int d = 0; d < 3; ++d)
    for (int i = 0; i < 12; ++i) {
      const std::string name = "f" + std::to_string(d) + "_" + std::to_string(i);
      std::string bytes(i == 5 && d == 1 ? (9 << 20) + 3 : gen() % 5000, '\0');
      for (char& c : bytes) c = static_cast<char>(gen());
      files.emplace_back(name, l.dir / ("tree/d" + std::to_string(d) + "/" + name + ".bin"));
      test::WriteFile(files.back().second, bytes);
    }
  l.job.options.m_nFileSortKey[0] = ColumnNumber(ColumnId::kName);
  l.job.options.m_bFileSortDesc[0] = 1;
  for (int together : {0, 1}) {
    l.job.options.m_bFilesTogether = together;
    const auto lines = l.Generate();
    for (const auto& [name, path] : files) {
      HashResults want;
      ComputeHashes(path, kAll, nullptr, want);
      const std::string row = ChecksumListing::Row(lines, name);
      EXPECT_NE(row.find(Crc32Cell(FileHashes{want.crc32, "", "", true}, false)), std::string::npos)
          << row;
      EXPECT_NE(row.find(want.md5), std::string::npos) << row;
      EXPECT_NE(row.find(want.sha1), std::string::npos) << row;
    }
  }
}

TEST(ChecksumListing, KeptChecksumsAreUsedOnlyWhenTheOptionIsOn) {
  ChecksumListing l;
  test::WriteFile(l.dir / "tree/abc.txt", "abc");
  const std::string realMd5 = "900150983cd24fb0d6963f7d28e17f72";
  // Files changed in the last two seconds are not kept (their times may not show a change).
  std::this_thread::sleep_for(std::chrono::milliseconds(2050));
  l.job.options.m_bReuseChecksums = 1;
  EXPECT_NE(ChecksumListing::Row(l.Generate(), "abc").find(realMd5), std::string::npos);
  const std::string db = l.dir / "cache/Brenmoor/Orvane/checksums.sqlite";
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "UPDATE checksums SET md5 = '0123456789abcdef0123456789abcdef'",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_changes(raw), 1);
  sqlite3_close(raw);
  // The kept digest is shown (the file was not read again); with the option off it is not.
  EXPECT_NE(ChecksumListing::Row(l.Generate(), "abc").find("0123456789abcdef0123456789abcdef"),
            std::string::npos);
  l.job.options.m_bReuseChecksums = 0;
  EXPECT_NE(ChecksumListing::Row(l.Generate(), "abc").find(realMd5), std::string::npos);
  EXPECT_TRUE(l.receiver.messages.empty());
}

TEST(ChecksumListing, ADamagedCacheIsReportedOnceAndTheListingGoesOn) {
  ChecksumListing l;
  test::WriteFile(l.dir / "tree/abc.txt", "abc");
  test::WriteFile(l.dir / "cache/Brenmoor/Orvane/checksums.sqlite", std::string(4096, '!'));
  l.job.options.m_bReuseChecksums = 1;
  const auto lines = l.Generate();
  EXPECT_NE(ChecksumListing::Row(lines, "abc").find("a9993e364706816aba3e25717850c26c9cd0d89d"),
            std::string::npos);
  ASSERT_EQ(l.receiver.messages.size(), 1u);
  EXPECT_EQ(l.receiver.messages[0].rfind("warning: the checksum cache ", 0), 0u)
      << l.receiver.messages[0];
}

TEST(ChecksumListing, ArchiveMembersShowTheirStoredCrcAndKeepNothingWhenItIsNotShown) {
  ChecksumListing l;
  test::WriteFile(l.dir / "tree/a.zip", test::ReadFile(test::DataPath("zip/info-zip.zip")));
  l.job.options.m_bArchivesAsDirs = 1;
  const auto lines = l.Generate();
  // The stored CRC, never a digest of a file that does not exist; MD5 and SHA-1 are blank.
  const std::string row = ChecksumListing::Row(lines, "locked");
  EXPECT_NE(row.find("fca84d94" + std::string(34, ' ')), std::string::npos) << row;
  EXPECT_EQ(row.find_first_not_of(' ', row.find("fca84d94") + 8), std::string::npos) << row;

  l.job.options.m_bColumn.fill(0);
  CListingEngine engine(&l.receiver);
  ASSERT_TRUE(engine.StartGeneration(l.job));
  l.receiver.Wait();
  engine.WaitReady();
  int members = 0;
  for (const auto& d : engine.Directories())
    for (const CFileRecord& r : d->m_items)
      if (d->m_bArchive) {
        ++members;
        EXPECT_TRUE(r.m_pInfo == nullptr) << r.FullName();
      }
  EXPECT_EQ(members, 4);
}

}  // namespace
}  // namespace orvane
