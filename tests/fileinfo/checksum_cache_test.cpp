// The checksums kept between runs, with a real database in a temporary folder: digests come
// back for an unchanged file without reading it, every change of the file's identity reads it
// again, damaged or locked databases only cost a warning, and old entries are dropped.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "fileinfo/checksum_cache.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr std::int64_t kDay = 86400 * std::int64_t{1000000000};
// The moment of a listing: a little after the files were written, since files changed in the
// last two seconds are not kept. Taken when asked, not when the test program started, so a long
// run of other tests before these does not make the files look just written.
std::int64_t ListingTime() {
  return (std::time(nullptr) + 10) * std::int64_t{1000000000};
}
const HashRequest kAll{true, true, true};

// Counts the passes that really read a file (each starts with a report of 0 bytes).
class CountingProgress : public HashProgress {
 public:
  void ReportProgress(const std::string&, std::uint64_t done, std::uint64_t,
                      const char* label) override {
    if (done == 0) {
      ++passes;
      lastLabel = label;
    }
  }
  bool StopRequested() override { return false; }
  int passes = 0;
  std::string lastLabel;
};

HashResults Hash(const std::string& path, CChecksumCache* cache, CountingProgress& progress,
                 const HashRequest& want = kAll) {
  HashResults r;
  EXPECT_FALSE(ComputeHashesCached(path, want, &progress, cache, r));
  return r;
}

void ExpectAbc(const HashResults& r) {
  EXPECT_EQ(r.status, HashStatus::kDone);
  EXPECT_EQ(r.crc32, 0x352441c2u);
  EXPECT_EQ(r.md5, "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(r.sha1, "a9993e364706816aba3e25717850c26c9cd0d89d");
}

void Exec(sqlite3* db, const char* sql) {
  ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
}

TEST(ChecksumCache, UnchangedFileIsNotReadAgainInALaterRun) {
  TempDir dir;
  const std::string file = dir / "abc.txt", db = dir / "cache/checksums.sqlite";
  WriteFile(file, "abc");
  WriteFile(dir / "cache/.keep", "");
  CountingProgress progress;
  {
    CChecksumCache cache(db, ListingTime());
    ASSERT_TRUE(cache.IsOpen()) << cache.TakeWarning();
    ExpectAbc(Hash(file, &cache, progress));
  }
  EXPECT_EQ(progress.passes, 1);
  CChecksumCache later(db, ListingTime() + kDay);
  ExpectAbc(Hash(file, &later, progress));
  EXPECT_EQ(progress.passes, 1);
  EXPECT_EQ(later.TakeWarning(), "");
}

TEST(ChecksumCache, OnlyTheDigestsNotKeptAreComputedAndThenKeptToo) {
  TempDir dir;
  const std::string file = dir / "abc.txt", db = dir / "c.sqlite";
  WriteFile(file, "abc");
  CountingProgress progress;
  CChecksumCache cache(db, ListingTime());
  HashResults crcOnly = Hash(file, &cache, progress, HashRequest{true, false, false});
  EXPECT_EQ(crcOnly.crc32, 0x352441c2u);
  ExpectAbc(Hash(file, &cache, progress));
  EXPECT_EQ(progress.passes, 2);
  EXPECT_EQ(progress.lastLabel, "MD5/SHA1");
  ExpectAbc(Hash(file, &cache, progress));
  EXPECT_EQ(progress.passes, 2);
}

TEST(ChecksumCache, AnyChangeOfTheFileReadsItAgain) {
  TempDir dir;
  const std::string file = dir / "f.bin", db = dir / "c.sqlite";
  WriteFile(file, "abc");
  CountingProgress progress;
  CChecksumCache cache(db, ListingTime());
  Hash(file, &cache, progress);
  // File times advance in clock ticks of a few milliseconds.
  auto nextTick = [] { std::this_thread::sleep_for(std::chrono::milliseconds(30)); };
  // Same size, new contents: the modification and change times move on.
  nextTick();
  WriteFile(file, "xyz");
  HashResults r = Hash(file, &cache, progress);
  EXPECT_EQ(progress.passes, 2);
  EXPECT_EQ(r.md5, "d16fb36f0911f878998c136191af705e");
  // Only the change time moves (a new name for the same inode).
  nextTick();
  ASSERT_EQ(std::rename(file.c_str(), (dir / "g.bin").c_str()), 0);
  ASSERT_EQ(std::rename((dir / "g.bin").c_str(), file.c_str()), 0);
  Hash(file, &cache, progress);
  EXPECT_EQ(progress.passes, 3);
  // A new file put in its place (another inode).
  nextTick();
  WriteFile(dir / "new.bin", "abc");
  ASSERT_EQ(std::rename((dir / "new.bin").c_str(), file.c_str()), 0);
  ExpectAbc(Hash(file, &cache, progress));
  EXPECT_EQ(progress.passes, 4);
  Hash(file, &cache, progress);
  EXPECT_EQ(progress.passes, 4);
}

TEST(ChecksumCache, FilesChangedJustBeforeTheListingAreNotKept) {
  TempDir dir;
  const std::string file = dir / "abc.txt";
  WriteFile(file, "abc");
  CountingProgress progress;
  CChecksumCache cache(dir / "c.sqlite", std::time(nullptr) * std::int64_t{1000000000});
  Hash(file, &cache, progress);
  Hash(file, &cache, progress);
  EXPECT_EQ(progress.passes, 2);
}

TEST(ChecksumCache, UnreadableFilesAreNotKept) {
  TempDir dir;
  CountingProgress progress;
  CChecksumCache cache(dir / "c.sqlite", ListingTime());
  HashResults r = Hash(dir / "missing", &cache, progress);
  EXPECT_EQ(r.status, HashStatus::kUnreadable);
  EXPECT_EQ(r.md5, std::string(32, ' '));
  WriteFile(dir / "missing", "abc");
  ExpectAbc(Hash(dir / "missing", &cache, progress));
}

TEST(ChecksumCache, ADamagedDatabaseCostsOneWarningAndNothingElse) {
  TempDir dir;
  const std::string file = dir / "abc.txt", db = dir / "c.sqlite";
  WriteFile(file, "abc");
  WriteFile(db, std::string(8192, 'x'));
  CountingProgress progress;
  CChecksumCache cache(db, ListingTime());
  EXPECT_FALSE(cache.IsOpen());
  const std::string warning = cache.TakeWarning();
  EXPECT_NE(warning.find(db), std::string::npos) << warning;
  EXPECT_EQ(cache.TakeWarning(), "");
  CChecksumCache again(db, ListingTime());  // the next listing of the same run says nothing more
  EXPECT_FALSE(again.IsOpen());
  EXPECT_EQ(again.TakeWarning(), "");
  ExpectAbc(Hash(file, &cache, progress));
  ExpectAbc(Hash(file, &cache, progress));
  EXPECT_EQ(progress.passes, 2);
  EXPECT_EQ(test::ReadFile(db), std::string(8192, 'x'));

  // A folder where the database should be, and no cache folder at all.
  CChecksumCache folder(dir.path(), ListingTime());
  EXPECT_FALSE(folder.IsOpen());
  EXPECT_NE(folder.TakeWarning(), "");
  CChecksumCache none("", ListingTime());
  EXPECT_FALSE(none.IsOpen());
  EXPECT_NE(none.TakeWarning(), "");
}

TEST(ChecksumCache, ADatabaseLockedByAnotherProgramIsLeftAlone) {
  TempDir dir;
  const std::string file = dir / "abc.txt", db = dir / "c.sqlite";
  WriteFile(file, "abc");
  CountingProgress progress;
  { CChecksumCache(db, ListingTime()); }
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
  Exec(other, "BEGIN EXCLUSIVE; DELETE FROM checksums;");
  {
    CChecksumCache cache(db, ListingTime(), 50);
    EXPECT_FALSE(cache.IsOpen());
    EXPECT_NE(cache.TakeWarning(), "");
    ExpectAbc(Hash(file, &cache, progress));
  }
  Exec(other, "COMMIT");
  sqlite3_close(other);
  CChecksumCache cache(db, ListingTime(), 50);
  EXPECT_TRUE(cache.IsOpen());
}

TEST(ChecksumCache, EntriesNotSeenForNinetyDaysAreDropped) {
  TempDir dir;
  const std::string a = dir / "a.txt", b = dir / "b.txt", db = dir / "c.sqlite";
  WriteFile(a, "abc");
  WriteFile(b, "abc");
  CountingProgress progress;
  {
    CChecksumCache cache(db, ListingTime());
    Hash(a, &cache, progress);
    Hash(b, &cache, progress);
  }
  {
    // a is listed again after 60 days, b is not.
    CChecksumCache cache(db, ListingTime() + 60 * kDay);
    Hash(a, &cache, progress);
  }
  EXPECT_EQ(progress.passes, 2);
  CChecksumCache cache(db, ListingTime() + 91 * kDay);
  Hash(a, &cache, progress);
  EXPECT_EQ(progress.passes, 2);
  Hash(b, &cache, progress);
  EXPECT_EQ(progress.passes, 3);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  sqlite3_stmt* count = nullptr;
  cache.Flush();
  ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT COUNT(*) FROM checksums", -1, &count, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(count, 0), 2);
  sqlite3_finalize(count);
  sqlite3_close(raw);
}

TEST(ChecksumCache, DamagedEntriesAreNotTrusted) {
  TempDir dir;
  const std::string file = dir / "abc.txt", db = dir / "c.sqlite";
  WriteFile(file, "abc");
  CountingProgress progress;
  {
    CChecksumCache cache(db, ListingTime());
    Hash(file, &cache, progress);
  }
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  Exec(raw, "UPDATE checksums SET md5 = 'not a digest'");
  sqlite3_close(raw);
  CChecksumCache cache(db, ListingTime());
  ExpectAbc(Hash(file, &cache, progress));
  EXPECT_EQ(progress.passes, 2);
  EXPECT_EQ(progress.lastLabel, "MD5");
}

}  // namespace
}  // namespace orvane
