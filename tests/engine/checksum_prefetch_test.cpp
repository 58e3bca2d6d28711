// Checksums of the rows to come, computed ahead on a pool: the digests equal those of a plain
// pass, come back in row order, never run further ahead than allowed, report progress on the
// consumer's thread only, and stop promptly when the listing is cancelled.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/checksum_prefetch.h"
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

}  // namespace
}  // namespace orvane
