// Hashing whole files: agreement with md5sum, sha1sum and zlib, progress reports per chunk,
// cancellation, files that shrink or fail while read, unreadable files and the loaded states.
#include <zlib.h>

#include <cstdint>
#include <future>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fileinfo/hashes.h"
#include "platform/file_source.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::TempDir;

struct Report {
  std::uint64_t done, total;
  std::string label;
};

// Records every report; asks to stop once `stopAfter` reports were made (never when negative).
class RecordingProgress : public HashProgress {
 public:
  explicit RecordingProgress(int stopAfter = -1) : m_stopAfter(stopAfter) {}
  void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                      const char* label) override {
    reports.push_back({done, total, label});
    lastPath = path;
  }
  bool StopRequested() override {
    ++polls;
    return m_stopAfter >= 0 && static_cast<int>(reports.size()) >= m_stopAfter;
  }
  std::vector<Report> reports;
  std::string lastPath;
  int polls = 0;

 private:
  int m_stopAfter;
};

std::string RandomContent(std::size_t n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; i += 8) {
    const std::uint64_t v = gen();
    for (std::size_t k = 0; k < 8 && i + k < n; ++k) s[i + k] = static_cast<char>(v >> (8 * k));
  }
  return s;
}

// The first field of a command's output (md5sum and sha1sum print "DIGEST  NAME").
std::string ToolDigest(const std::string& tool, const std::string& path) {
  std::string out;
  EXPECT_EQ(test::Run(tool + " '" + path + "'", &out), 0);
  return out.substr(0, out.find(' '));
}

std::uint32_t ZlibCrcOfFile(const std::string& path) {
  FileSource f(path);
  std::vector<std::uint8_t> buf(1 << 22);
  uLong crc = crc32(0L, nullptr, 0);
  std::uint64_t off = 0;
  for (;;) {
    const long long n = f.ReadInto(off, buf.data(), buf.size());
    if (n <= 0) break;
    crc = crc32(crc, buf.data(), static_cast<uInt>(n));
    off += static_cast<std::uint64_t>(n);
  }
  return static_cast<std::uint32_t>(crc);
}

constexpr HashRequest kAll{true, true, true};

TEST(HashFile, EmptyAndAbc) {
  TempDir dir;
  test::WriteFile(dir / "empty", "");
  test::WriteFile(dir / "abc", "abc");
  HashResults r;
  EXPECT_FALSE(ComputeHashes(dir / "empty", kAll, nullptr, r));
  EXPECT_EQ(r.status, HashStatus::kDone);
  EXPECT_EQ(r.crc32, 0u);
  EXPECT_EQ(r.md5, "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(r.sha1, "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_FALSE(ComputeHashes(dir / "abc", kAll, nullptr, r));
  EXPECT_EQ(r.crc32, 0x352441c2u);
  EXPECT_EQ(r.md5, "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(r.sha1, "a9993e364706816aba3e25717850c26c9cd0d89d");
}

// Sizes around the helper-thread threshold and the buffer size, hashed in one pass and singly.
TEST(HashFile, AgreesWithMd5sumSha1sumAndZlib) {
  TempDir dir;
  const std::size_t sizes[] = {1,          63,          64,      65,          100000,
                               256 * 1024, 4194304 - 1, 4194304, 4194304 + 1, 9 * 1048576 + 77};
  unsigned seed = 10;
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string path = dir / ("f" + std::to_string(size));
    test::WriteFile(path, RandomContent(size, seed++));
    HashResults all;
    ASSERT_FALSE(ComputeHashes(path, kAll, nullptr, all));
    EXPECT_EQ(all.bytesHashed, size);
    EXPECT_EQ(all.md5, ToolDigest("md5sum", path));
    EXPECT_EQ(all.sha1, ToolDigest("sha1sum", path));
    EXPECT_EQ(all.crc32, ZlibCrcOfFile(path));

    std::uint32_t crc = 1;
    std::string md5 = "x", sha1;
    ASSERT_FALSE(ComputeCrc32(path, nullptr, crc));
    ASSERT_FALSE(ComputeMd5(path, nullptr, md5));
    ASSERT_FALSE(ComputeSha1(path, nullptr, sha1));
    EXPECT_EQ(crc, all.crc32);
    EXPECT_EQ(md5, "x" + all.md5);  // appended
    EXPECT_EQ(sha1, all.sha1);
    // Pairs run the helper thread with the other digest.
    HashResults pair;
    ASSERT_FALSE(ComputeHashes(path, HashRequest{true, true, false}, nullptr, pair));
    EXPECT_EQ(pair.md5, all.md5);
    EXPECT_EQ(pair.sha1, "");
    ASSERT_FALSE(ComputeHashes(path, HashRequest{true, false, true}, nullptr, pair));
    EXPECT_EQ(pair.sha1, all.sha1);
    EXPECT_EQ(pair.crc32, all.crc32);
  }
}

TEST(HashFile, ProgressOnlyAtStartUpToOneBufferThenAfterEveryChunk) {
  TempDir dir;
  test::WriteFile(dir / "exact", RandomContent(HashBufferSize, 1));
  test::WriteFile(dir / "plus1", RandomContent(HashBufferSize + 1, 2));
  RecordingProgress exact;
  std::string md5;
  ASSERT_FALSE(ComputeMd5(dir / "exact", &exact, md5));
  ASSERT_EQ(exact.reports.size(), 1u);
  EXPECT_EQ(exact.reports[0].done, 0u);
  EXPECT_EQ(exact.reports[0].total, HashBufferSize);
  EXPECT_EQ(exact.reports[0].label, "MD5");
  EXPECT_EQ(exact.lastPath, dir / "exact");

  RecordingProgress plus1;
  HashResults r;
  ASSERT_FALSE(ComputeHashes(dir / "plus1", kAll, &plus1, r));
  ASSERT_EQ(plus1.reports.size(), 3u);
  EXPECT_EQ(plus1.reports[1].done, HashBufferSize);
  EXPECT_EQ(plus1.reports[2].done, HashBufferSize + 1);
  EXPECT_EQ(plus1.reports[2].label, "CRC32/MD5/SHA1");
  EXPECT_EQ(plus1.polls, 3);  // before the start and after each chunk

  RecordingProgress crc;
  std::uint32_t value;
  ASSERT_FALSE(ComputeCrc32(dir / "plus1", &crc, value));
  EXPECT_EQ(crc.reports[0].label, "CRC32");
}

TEST(HashFile, ProgressText) {
  EXPECT_EQ(HashProgressText("MD5", "/data/big.iso", 42, 100), "MD5 (/data/big.iso) 42%");
  EXPECT_EQ(HashProgressText("SHA1", "/e", 0, 0), "SHA1 (/e) 0%");
  EXPECT_EQ(HashProgressText("CRC32", "/x", 1, 3), "CRC32 (/x) 33%");
  // No overflow of done * 100 for huge sizes.
  EXPECT_EQ(HashProgressText("MD5", "/h", ~0ull / 2, ~0ull), "MD5 (/h) 49%");
  EXPECT_EQ(HashMemoryErrorText("help@example.org"),
            "Memory allocation error. Please contact help@example.org");
}

TEST(HashFile, CancelledBeforeStartDoesNoWork) {
  RecordingProgress stop(0);
  std::uint32_t crc = 5;
  std::string md5, sha1;
  EXPECT_TRUE(ComputeCrc32("/no/such/file", &stop, crc));
  EXPECT_EQ(crc, 0u);
  EXPECT_TRUE(ComputeMd5("/no/such/file", &stop, md5));
  EXPECT_TRUE(ComputeSha1("/no/such/file", &stop, sha1));
  EXPECT_EQ(md5, "");  // not even the blanks of an unreadable file
  EXPECT_EQ(sha1, "");
  EXPECT_TRUE(stop.reports.empty());
}

TEST(HashFile, CancelledAfterFirstChunkStoresNothing) {
  TempDir dir;
  test::WriteFile(dir / "big", RandomContent(3 * HashBufferSize, 3));
  RecordingProgress stop(2);  // the start report and the first chunk
  FileHashes state;
  HashStatus status;
  EXPECT_TRUE(LoadFileHashes(dir / "big", kAll, &stop, state, &status));
  EXPECT_EQ(status, HashStatus::kCancelled);
  EXPECT_EQ(stop.reports.size(), 2u);
  EXPECT_FALSE(state.crc32Loaded || state.md5Loaded || state.sha1Loaded);
  EXPECT_EQ(Crc32Cell(state, false), "        ");
  EXPECT_EQ(Md5Cell(state, false), "");
  EXPECT_EQ(Sha1Cell(state, false), "");
}

TEST(HashFile, UnreadableFilesGiveZeroCrcAndBlankDigests) {
  TempDir dir;
  ASSERT_EQ(test::Run("mkfifo '" + dir / "fifo" + "'"), 0);
  for (const std::string& path : {dir / "missing", dir.path(), dir / "fifo"}) {
    SCOPED_TRACE(path);
    HashResults r;
    EXPECT_FALSE(ComputeHashes(path, kAll, nullptr, r));
    EXPECT_EQ(r.status, HashStatus::kUnreadable);
    EXPECT_EQ(r.crc32, 0u);
    EXPECT_EQ(r.md5, std::string(32, ' '));
    EXPECT_EQ(r.sha1, std::string(40, ' '));
    FileHashes state;
    EXPECT_FALSE(LoadFileHashes(path, kAll, nullptr, state));
    EXPECT_TRUE(state.crc32Loaded && state.md5Loaded && state.sha1Loaded);
    EXPECT_EQ(Crc32Cell(state, false), "00000000");
  }
}

// A source that claims a size, serves random bytes and then ends early or fails.
class FakeSource : public HashSource {
 public:
  FakeSource(std::uint64_t size, std::uint64_t endsAt, bool failAtEnd)
      : m_size(size), m_endsAt(endsAt), m_fail(failAtEnd) {}
  bool IsOpen() const override { return true; }
  std::uint64_t Size() const override { return m_size; }
  long long Read(std::uint64_t offset, std::uint8_t* buf, std::size_t len) override {
    ++reads;
    if (offset >= m_endsAt) return m_fail ? -1 : 0;
    const std::uint64_t n = std::min<std::uint64_t>(len, m_endsAt - offset);
    for (std::uint64_t i = 0; i < n; ++i) buf[i] = static_cast<std::uint8_t>((offset + i) * 7);
    return static_cast<long long>(n);
  }
  int reads = 0;

 private:
  std::uint64_t m_size, m_endsAt;
  bool m_fail;
};

TEST(HashFile, ShrunkFileEndsWithDigestOfWhatItHad) {
  FakeSource shrunk(10 * HashBufferSize, HashBufferSize + 5, false);
  FakeSource whole(HashBufferSize + 5, HashBufferSize + 5, false);
  HashResults a, b;
  EXPECT_FALSE(ComputeHashes(shrunk, "/s", kAll, nullptr, a));
  EXPECT_FALSE(ComputeHashes(whole, "/w", kAll, nullptr, b));
  EXPECT_EQ(shrunk.reads, 3);  // two chunks, then the read that finds the end
  EXPECT_EQ(a.status, HashStatus::kDone);
  EXPECT_EQ(a.bytesHashed, HashBufferSize + 5);
  EXPECT_EQ(a.md5, b.md5);
  EXPECT_EQ(a.sha1, b.sha1);
  EXPECT_EQ(a.crc32, b.crc32);
}

TEST(HashFile, RealFileTruncatedWhileHashedEnds) {
  TempDir dir;
  const std::string path = dir / "shrinks";
  test::WriteFile(path, RandomContent(3 * HashBufferSize, 4));
  // Cut the file to half a buffer when the first chunk has been read.
  class Truncating : public RecordingProgress {
   public:
    explicit Truncating(std::string p) : path(std::move(p)) {}
    void ReportProgress(const std::string& p, std::uint64_t done, std::uint64_t total,
                        const char* label) override {
      RecordingProgress::ReportProgress(p, done, total, label);
      if (done > 0 && reports.size() == 2) test::Run("truncate -s 100 '" + path + "'");
    }
    std::string path;
  } progress(path);
  HashResults r;
  EXPECT_FALSE(ComputeHashes(path, kAll, &progress, r));
  EXPECT_EQ(r.status, HashStatus::kDone);
  EXPECT_EQ(r.bytesHashed, HashBufferSize);
  EXPECT_EQ(progress.reports.size(), 2u);
}

TEST(HashFile, ReadErrorIsUnreadableNotAPartialDigest) {
  FakeSource failing(3 * HashBufferSize, HashBufferSize, true);
  HashResults r;
  EXPECT_FALSE(ComputeHashes(failing, "/f", kAll, nullptr, r));
  EXPECT_EQ(r.status, HashStatus::kUnreadable);
  EXPECT_EQ(r.md5, std::string(32, ' '));
  EXPECT_EQ(r.sha1, std::string(40, ' '));
  EXPECT_EQ(r.crc32, 0u);
}

TEST(HashFile, LoadedStatesComputeOnceAndOnlyWhatIsShown) {
  TempDir dir;
  const std::string path = dir / "f";
  test::WriteFile(path, "abc");
  FileHashes state;
  ASSERT_FALSE(LoadFileHashes(path, HashRequest{false, true, false}, nullptr, state));
  EXPECT_TRUE(state.md5Loaded);
  EXPECT_FALSE(state.crc32Loaded || state.sha1Loaded);
  EXPECT_EQ(Crc32Cell(state, false), "        ");

  // Changing the file does not change what is loaded: the record is reused as it is.
  test::WriteFile(path, "other");
  RecordingProgress progress;
  ASSERT_FALSE(LoadFileHashes(path, HashRequest{true, true, false}, &progress, state));
  EXPECT_EQ(state.md5, "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Crc32Cell(state, false), "d9583520");  // CRC-32 of "other"
  EXPECT_EQ(progress.reports[0].label, "CRC32");
  HashStatus status = HashStatus::kCancelled;
  progress.reports.clear();
  ASSERT_FALSE(LoadFileHashes(path, HashRequest{true, true, false}, &progress, state, &status));
  EXPECT_EQ(status, HashStatus::kDone);
  EXPECT_TRUE(progress.reports.empty());  // nothing left to compute: no pass at all

  EXPECT_EQ(Crc32Cell(state, true), std::string(8, ' '));
  EXPECT_EQ(Md5Cell(state, true), std::string(32, ' '));
  EXPECT_EQ(Sha1Cell(state, true), std::string(40, ' '));
  EXPECT_EQ(Md5Cell(state, false), "900150983cd24fb0d6963f7d28e17f72");
}

// A sparse file past 4 GiB with data near the start, the 2 GiB and 4 GiB marks and the end.
TEST(SlowHashes, SparseFileOverFourGiB) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "hashing 4 GiB takes minutes under the sanitizers";
#endif
  TempDir dir;
  const std::string path = dir / "sparse";
  const std::uint64_t size = (std::uint64_t{4} << 30) + 12345;
  ASSERT_EQ(test::Run("truncate -s " + std::to_string(size) + " '" + path + "'"), 0);
  for (std::uint64_t at :
       {std::uint64_t{0}, (std::uint64_t{2} << 30) - 3, (std::uint64_t{4} << 30) - 1, size - 10})
    ASSERT_EQ(test::Run("printf 'orvane' | dd of='" + path + "' bs=1 seek=" + std::to_string(at) +
                        " conv=notrunc status=none"),
              0);
  // The tools run beside the pass on the second core.
  auto tools = std::async(std::launch::async, [&] {
    return std::make_pair(ToolDigest("md5sum", path), ToolDigest("sha1sum", path));
  });
  RecordingProgress progress;
  HashResults r;
  ASSERT_FALSE(ComputeHashes(path, kAll, &progress, r));
  EXPECT_EQ(r.bytesHashed, size);
  EXPECT_EQ(progress.reports.back().done, size);
  EXPECT_EQ(progress.reports.size(), 2 + size / HashBufferSize);
  EXPECT_EQ(r.crc32, ZlibCrcOfFile(path));
  const auto [md5, sha1] = tools.get();
  EXPECT_EQ(r.md5, md5);
  EXPECT_EQ(r.sha1, sha1);
}

}  // namespace
}  // namespace orvane
