#include "fileinfo/zip_lister.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "archive_recorder.h"
#include "fileinfo/byte_cursor.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ArchiveRecorder;
using Names = std::vector<std::string>;

class ZipLister : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);  // DOS times are local times
    tzset();
  }
  // Lists a fixture from tests/data/zip through its path.
  std::uint64_t List(const std::string& name, ArchiveRecorder& rec) {
    return ListZipArchive(test::DataPath("zip"), name, rec, 7);
  }
  static std::vector<std::uint8_t> Bytes(const std::string& name) {
    const std::string s = test::ReadFile(test::DataPath("zip/" + name));
    return std::vector<std::uint8_t>(s.begin(), s.end());
  }
};

TEST_F(ZipLister, UnixZipFromInfoZip) {
  ArchiveRecorder rec;
  EXPECT_EQ(List("info-zip.zip", rec), 24u);
  EXPECT_EQ(rec.dir, test::DataPath("zip"));
  EXPECT_EQ(rec.name, "info-zip.zip");
  EXPECT_EQ(rec.base, 7);
  EXPECT_EQ(rec.ends, 1);
  EXPECT_EQ(rec.total, 24u);
  EXPECT_EQ(rec.Names(), (Names{"sub", "sub/b.txt", "locked.txt", "caf\xC3\xA9.txt"}));
  const ArchiveMember dir = rec.Member("sub");
  EXPECT_EQ(dir.attributes, kMemberDirectory | kMemberArchive);
  const ArchiveMember b = rec.Member("sub/b.txt");
  EXPECT_EQ(b.size, 6u);
  EXPECT_EQ(b.crc, 0x363A3020u);
  EXPECT_EQ(b.attributes, kMemberArchive);
  EXPECT_EQ(b.time, 1580702706);  // from the extended timestamp
  EXPECT_EQ(rec.Member("locked.txt").attributes, kMemberArchive | kMemberReadOnly);
}

TEST_F(ZipLister, DosZipKeepsAttributeBytesAndCutsHostileNames) {
  ArchiveRecorder rec;
  // "x/./y/.." names nothing and is left out, together with its 4 bytes.
  EXPECT_EQ(List("dos.zip", rec), 136u);
  EXPECT_EQ(rec.Names(), (Names{"README.TXT", "HIDDEN.SYS", "DIR", "DIR/INNER.TXT", "x/y.txt",
                                "evil.txt", "evil2.txt", "b.txt",
                                "Gr\xC3\xBC\xC3\x9F"
                                "e/na\xC3\xAF"
                                "ve.txt",
                                "abs/z.txt"}));
  EXPECT_EQ(rec.Member("README.TXT").attributes, kMemberReadOnly | kMemberArchive);
  EXPECT_EQ(rec.Member("HIDDEN.SYS").attributes, kMemberHidden | kMemberSystem | kMemberArchive);
  EXPECT_EQ(rec.Member("DIR").attributes, kMemberDirectory);
  EXPECT_EQ(rec.Member("README.TXT").time, 1563118220);  // DOS time 2019-07-14 15:30:20
  EXPECT_EQ(rec.Member("HIDDEN.SYS").size, 100u);
}

TEST_F(ZipLister, UnixModesFromPythonZipfile) {
  ArchiveRecorder rec;
  List("python-unix.zip", rec);
  EXPECT_EQ(rec.Names(), (Names{"docs", "docs/notes.txt", "docs/locked.txt"}));
  EXPECT_EQ(rec.Member("docs").attributes, kMemberDirectory | kMemberArchive);
  EXPECT_EQ(rec.Member("docs/notes.txt").attributes, kMemberArchive);
  EXPECT_EQ(rec.Member("docs/locked.txt").attributes, kMemberArchive | kMemberReadOnly);
}

TEST_F(ZipLister, LargeSizesAndTheLocalTimestamp) {
  ArchiveRecorder rec;
  const std::uint64_t total = List("handmade.zip", rec);
  EXPECT_EQ(rec.Member("three-gb.bin").size, 3000000000u);
  EXPECT_EQ(rec.Member("five-gib.bin").size, 5ull << 30);  // zip64
  EXPECT_EQ(total, 3000000000ull + 4 + (5ull << 30));
  EXPECT_EQ(rec.Member("three-gb.bin").time, 981173106);   // DOS time 2001-02-03 04:05:06
  EXPECT_EQ(rec.Member("local-ut.txt").time, 1262304000);  // only in the local header
}

TEST_F(ZipLister, DataInFrontOfTheArchive) {
  // Like a self-extracting archive: every offset is off by the prefix, which minizip accounts
  // for; the local timestamp is still found.
  std::vector<std::uint8_t> bytes(1000, 0xEE);
  const auto zip = Bytes("handmade.zip");
  bytes.insert(bytes.end(), zip.begin(), zip.end());
  ArchiveRecorder rec;
  ListZipArchive(bytes, "/d", "sfx.zip", rec, 0);
  ASSERT_EQ(rec.members.size(), 3u);
  EXPECT_EQ(rec.Member("local-ut.txt").time, 1262304000);
  EXPECT_EQ(rec.Member("three-gb.bin").time, 981173106);
}

TEST_F(ZipLister, LocalTimestampsInArchivesWithAZip64EndRecord) {
  // Writers add a zip64 end record and its locator in front of the end record for more than
  // 65,535 members: they stand between the central directory and the end record, and are not
  // data in front of the archive.
  auto bytes = Bytes("handmade.zip");
  ASSERT_GE(bytes.size(), 22u);
  const std::size_t endAt = bytes.size() - 22;
  ASSERT_EQ(ByteCursor::LoadLE(&bytes[endAt], 4), 0x06054B50u);
  const std::uint64_t entries = ByteCursor::LoadLE(&bytes[endAt + 10], 2);
  const std::uint64_t cdSize = ByteCursor::LoadLE(&bytes[endAt + 12], 4);
  const std::uint64_t cdOffset = ByteCursor::LoadLE(&bytes[endAt + 16], 4);
  std::vector<std::uint8_t> tail;
  auto put = [&tail](std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) tail.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(0x06064B50, 4);  // zip64 end record
  put(44, 8);
  put(45, 2);
  put(45, 2);
  put(0, 4);
  put(0, 4);
  put(entries, 8);
  put(entries, 8);
  put(cdSize, 8);
  put(cdOffset, 8);
  put(0x07064B50, 4);  // its locator
  put(0, 4);
  put(endAt, 8);
  put(1, 4);
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(endAt), tail.begin(), tail.end());
  ArchiveRecorder rec;
  ListZipArchive(bytes, "/d", "many.zip", rec, 0);
  ASSERT_EQ(rec.members.size(), 3u);
  EXPECT_EQ(rec.Member("local-ut.txt").time, 1262304000);
  EXPECT_EQ(rec.Member("five-gib.bin").size, 5ull << 30);
}

TEST_F(ZipLister, MemoryAndFileGiveTheSameListing) {
  for (const char* name : {"info-zip.zip", "dos.zip", "handmade.zip"}) {
    ArchiveRecorder fromFile, fromMemory;
    List(name, fromFile);
    ListZipArchive(Bytes(name), "/", name, fromMemory, 0);
    EXPECT_EQ(fromMemory.Names(), fromFile.Names()) << name;
    EXPECT_EQ(fromMemory.total, fromFile.total) << name;
  }
}

TEST_F(ZipLister, UnreadableZipIsAnEmptyDirectory) {
  ArchiveRecorder missing;
  EXPECT_EQ(List("missing.zip", missing), 0u);
  EXPECT_EQ(missing.begins, 1);
  EXPECT_EQ(missing.ends, 1);
  EXPECT_TRUE(missing.members.empty());

  const std::vector<std::uint8_t> text(5000, 'z');
  ArchiveRecorder garbage;
  EXPECT_EQ(ListZipArchive(text, "/d", "g.zip", garbage, 0), 0u);
  EXPECT_EQ(garbage.ends, 1);
  EXPECT_TRUE(garbage.members.empty());

  auto cut = Bytes("dos.zip");  // the end record is gone
  cut.resize(cut.size() - 10);
  ArchiveRecorder truncated;
  EXPECT_EQ(ListZipArchive(cut, "/d", "t.zip", truncated, 0), 0u);
  EXPECT_EQ(truncated.ends, 1);
}

TEST_F(ZipLister, StopsWhenAsked) {
  ArchiveRecorder rec;
  rec.stopAfter = 2;
  List("dos.zip", rec);
  EXPECT_EQ(rec.members.size(), 2u);
  EXPECT_EQ(rec.total, 109u);
  EXPECT_EQ(rec.ends, 1);
}

}  // namespace
}  // namespace orvane
