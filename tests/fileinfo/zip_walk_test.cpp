// The central-directory walk on archives made by Python's zipfile and Info-ZIP's zip, and on
// damaged copies (tests/data/zip/make_walk_zips.py). The expected members are those the lister
// has always given for these archives, damage included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "archive_recorder.h"
#include "fileinfo/zip_lister.h"
#include "test_util.h"

namespace orvane {
namespace {

using Lines = std::vector<std::string>;

// "name|size|time|crc|attributes" of every member, in archive order.
Lines MemberLines(const test::ArchiveRecorder& rec) {
  Lines out;
  for (const ArchiveMember& m : rec.members)
    out.push_back(m.name + "|" + std::to_string(m.size) + "|" + std::to_string(m.time) + "|" +
                  std::to_string(m.crc) + "|" + std::to_string(m.attributes));
  return out;
}

class ZipWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);  // DOS times are local times
    tzset();
  }
  // Lists the archive at path from the file and from memory; both must agree.
  static test::ArchiveRecorder List(const std::string& path) {
    test::ArchiveRecorder fromFile, fromMemory;
    const std::size_t slash = path.rfind('/');
    const std::uint64_t total =
        ListZipArchive(path.substr(0, slash), path.substr(slash + 1), fromFile, 0);
    const std::string s = test::ReadFile(path);
    ListZipArchive(std::vector<std::uint8_t>(s.begin(), s.end()), "/m", "a.zip", fromMemory, 0);
    EXPECT_EQ(MemberLines(fromFile), MemberLines(fromMemory)) << path;
    EXPECT_EQ(fromFile.begins, 1);
    EXPECT_EQ(fromFile.ends, 1);
    EXPECT_EQ(fromFile.total, total);
    return fromFile;
  }
};

const Lines kWalkMembers = {
    "utf8/Gr\xC3\xBC\xC3\x9F"
    "e.txt|6|1600000000|909783072|32",              // UTF-8 flag, time of the "UT" block
    "caf\xC3\xA9.txt|6|1623053350|4022747533|32",   // code page 437 name, Unicode path block
    "plain/dos-time.txt|4|946684798|843903102|32",  // DOS time 1999-12-31 23:59:58
    "empty|0|1623053350|0|48",                      // folder member
    "ro.txt|10|1262304000|4238888340|33",           // read-only Unix mode
};

TEST_F(ZipWalk, PythonZipfileWithTimestampsUtf8NamesAndUnicodePaths) {
  const test::ArchiveRecorder rec = List(test::DataPath("zip/walk.zip"));
  EXPECT_EQ(MemberLines(rec), kWalkMembers);
  EXPECT_EQ(rec.total, 26u);
}

TEST_F(ZipWalk, DamagedArchivesListWhatComesBeforeTheDamage) {
  const Lines none;
  const Lines firstTwo(kWalkMembers.begin(), kWalkMembers.begin() + 2);
  Lines overrun = firstTwo;  // the name runs into the next header, which is then not found
  overrun.push_back(std::string("plain/dos-time.txtPK\x01\x02\x14\x03\x14") +
                    "|4|946684798|843903102|32");
  const struct {
    const char* file;
    const Lines& members;
  } cases[] = {
      {"walk-cut-central.zip", none},         // the end record is gone with the directory's tail
      {"walk-end-cut.zip", kWalkMembers},     // the end record's last byte is missing
      {"walk-count-high.zip", kWalkMembers},  // more members announced than there are
      {"walk-count-zero.zip", kWalkMembers},  // none announced: walked to the end
      {"walk-count-low.zip", firstTwo},       // fewer announced: only those
      {"walk-offset-past-end.zip", none},     // the directory would start behind the file
      {"walk-size-past-end.zip", none},       // ... or be larger than the file
      {"walk-name-overrun.zip", overrun},
      {"walk-zip64-claims.zip", kWalkMembers},  // 2^40 members claimed by a zip64 end record
  };
  for (const auto& c : cases)
    EXPECT_EQ(MemberLines(List(test::DataPath(std::string("zip/") + c.file))), c.members) << c.file;
  // A local header offset behind the end: the member keeps its DOS time, not the local "UT".
  const test::ArchiveRecorder rec = List(test::DataPath("zip/handmade-local-past-end.zip"));
  EXPECT_EQ(MemberLines(rec), (Lines{"three-gb.bin|3000000000|981173106|2918445923|32",
                                     "local-ut.txt|4|981173106|2918445923|32",
                                     "five-gib.bin|5368709120|981173106|2918445923|32"}));
}

// FNV-1a of the member lines, each ended by a newline.
std::uint64_t Digest(const Lines& lines) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (const std::string& line : lines)
    for (const char c : line + "\n") h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return h;
}

TEST_F(ZipWalk, SeventyThousandMembersFromPythonZipfileWithZip64EndRecords) {
  if (!test::HaveTool("python3")) GTEST_SKIP() << "python3 is not installed";
  test::TempDir tmp;
  ASSERT_EQ(test::Run("python3 '" + test::DataPath("zip/make_walk_zips.py") + "' --many '" +
                      tmp / "many.zip" + "' 70000"),
            0);
  const test::ArchiveRecorder rec = List(tmp / "many.zip");
  const Lines lines = MemberLines(rec);
  ASSERT_EQ(lines.size(), 70000u);
  EXPECT_EQ(lines.front(), "d0/m000000.txt|1|631152000|4108050209|33");
  EXPECT_EQ(lines.back(), "d6/m069999.txt|5|925313598|526112445|32");
  EXPECT_EQ(rec.total, 338890u);
  EXPECT_EQ(Digest(lines), 0x2463350021DC527Full);
}

TEST_F(ZipWalk, InfoZipArchivesWithAndWithoutForcedZip64Fields) {
  if (!test::HaveTool("zip")) GTEST_SKIP() << "Info-ZIP zip is not installed";
  test::TempDir tmp;
  test::WriteFile(tmp / "t/sub/b.txt", "hello\n");
  test::WriteFile(tmp / "t/ro.txt", "ro\n");
  test::WriteFile(tmp / "t/caf\xC3\xA9.txt", "accents\n");
  ASSERT_EQ(test::Run("cd '" + tmp / "t" +
                      "' && chmod 444 ro.txt && TZ=UTC touch -d '2020-02-03 04:05:06' sub/b.txt "
                      "ro.txt sub caf\xC3\xA9.txt && export LC_ALL=C.UTF-8 && zip -q -r ../a.zip "
                      "sub ro.txt caf\xC3\xA9.txt && zip -q -r -fz ../z.zip sub ro.txt "
                      "caf\xC3\xA9.txt"),
            0);
  const Lines expected = {"sub|0|1580702706|0|48", "sub/b.txt|6|1580702706|909783072|32",
                          "ro.txt|3|1580702706|2860841818|33",
                          "caf\xC3\xA9.txt|8|1580702706|1883844458|32"};
  EXPECT_EQ(MemberLines(List(tmp / "a.zip")), expected);
  EXPECT_EQ(MemberLines(List(tmp / "z.zip")), expected);
}

}  // namespace
}  // namespace orvane
