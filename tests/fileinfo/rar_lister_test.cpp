#include "fileinfo/rar_lister.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "archive_recorder.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ArchiveRecorder;
using Names = std::vector<std::string>;

class RarLister : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
  std::uint64_t List(const std::string& name, ArchiveRecorder& rec) {
    return ListRarArchive(test::DataPath("rar"), name, rec, 3);
  }
};

TEST_F(RarLister, Format4Members) {
  ArchiveRecorder rec;
  EXPECT_EQ(List("rar4.rar", rec), 16u + 7 + 10 + 16 + 2);
  EXPECT_EQ(rec.base, 3);
  EXPECT_EQ(rec.ends, 1);
  EXPECT_EQ(rec.Names(), (Names{"docs", "docs/readme.txt",
                                "Gr\xC3\xBC\xC3\x9F"
                                "e \xD0\x96\xD0\x96.txt",
                                "unix/locked.sh", "unix/dir", "secret.bin", "escape.txt"}));
  EXPECT_EQ(rec.Member("docs").attributes, kMemberDirectory);
  const ArchiveMember readme = rec.Member("docs/readme.txt");
  EXPECT_EQ(readme.attributes, kMemberReadOnly | kMemberArchive);
  EXPECT_EQ(readme.crc, 0x48EA9350u);
  EXPECT_EQ(readme.size, 16u);
  EXPECT_EQ(readme.time, 1529066096);
  // Unix modes: 0555 has no owner write bit; a directory mode is a directory.
  EXPECT_EQ(rec.Member("unix/locked.sh").attributes, kMemberArchive | kMemberReadOnly);
  EXPECT_EQ(rec.Member("unix/dir").attributes, kMemberArchive | kMemberDirectory);
}

TEST_F(RarLister, Format5Members) {
  ArchiveRecorder rec;
  EXPECT_EQ(List("rar5.rar", rec), 15u + 7 + 4 + 2);
  EXPECT_EQ(rec.Names(), (Names{"docs", "docs/readme.txt",
                                "Gr\xC3\xBC\xC3\x9F"
                                "e/\xD0\x96\xD0\x96.txt",
                                "precise.txt", "unix/dir", "escape.txt"}));
  EXPECT_EQ(rec.Member("Gr\xC3\xBC\xC3\x9F"
                       "e/\xD0\x96\xD0\x96.txt")
                .attributes,
            kMemberArchive | kMemberReadOnly);
  EXPECT_EQ(rec.Member("precise.txt").time, 1656676800);
}

TEST_F(RarLister, LargeMembersAndArchivesThatDoNotOpen) {
  for (const char* name : {"rar4-large.rar", "rar5-large.rar"}) {
    ArchiveRecorder rec;
    EXPECT_EQ(List(name, rec), 5ull << 30) << name;
  }
  for (const char* name :
       {"rar4-encrypted-headers.rar", "rar5-encrypted-headers.rar", "none.rar"}) {
    ArchiveRecorder rec;
    EXPECT_EQ(List(name, rec), 0u) << name;
    EXPECT_EQ(rec.begins, 0) << name;  // nothing is created
    EXPECT_EQ(rec.ends, 0) << name;
  }
  ArchiveRecorder zip;
  EXPECT_EQ(ListRarArchive(test::DataPath("zip"), "dos.zip", zip, 0), 0u);
  EXPECT_EQ(zip.begins, 0);
}

TEST_F(RarLister, DamageKeepsTheMembersBeforeIt) {
  const std::string whole = test::ReadFile(test::DataPath("rar/rar5.rar"));
  const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + whole.size() / 2);
  ArchiveRecorder rec;
  const std::uint64_t total = ListRarArchive(cut, "/", "half.rar", rec, 0);
  EXPECT_EQ(rec.begins, 1);
  EXPECT_EQ(rec.ends, 1);
  EXPECT_GE(rec.members.size(), 2u);
  EXPECT_LT(rec.members.size(), 6u);
  EXPECT_EQ(rec.total, total);

  ArchiveRecorder stop;
  stop.stopAfter = 1;
  List("rar5.rar", stop);
  EXPECT_EQ(stop.Names(), Names{"docs"});
}

// The fixtures are real archives: another RAR reader lists the same members.
TEST_F(RarLister, AgreesWithBsdtar) {
  ASSERT_TRUE(test::HaveTool("bsdtar")) << "install libarchive-tools";
  for (const char* name : {"rar4.rar", "rar5.rar", "rar4-large.rar", "rar5-large.rar"}) {
    std::string out;
    ASSERT_EQ(test::Run("bsdtar -tf '" + test::DataPath(std::string("rar/") + name) + "'", &out), 0)
        << name;
    Names theirs;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      bool trailing = false;
      theirs.push_back(CleanMemberName(line, 1023, trailing));
    }
    ArchiveRecorder rec;
    List(name, rec);
    EXPECT_EQ(rec.Names(), theirs) << name;
  }
}

}  // namespace
}  // namespace orvane
