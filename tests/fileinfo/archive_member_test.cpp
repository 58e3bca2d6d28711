#include "fileinfo/archive_member.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace orvane {
namespace {

std::string Clean(std::string_view name, bool* trailing = nullptr, std::size_t max = 259) {
  bool t = false;
  std::string out = CleanMemberName(name, max, t);
  if (trailing) *trailing = t;
  return out;
}

TEST(ArchiveMember, NamesCannotLeaveTheArchive) {
  EXPECT_EQ(Clean("../../evil.txt"), "evil.txt");
  EXPECT_EQ(Clean("../evil.txt"), "evil.txt");
  EXPECT_EQ(Clean("..\\..\\evil.txt"), "evil.txt");
  EXPECT_EQ(Clean("a/../../b.txt"), "b.txt");
  EXPECT_EQ(Clean("a/b/.."), "");
  EXPECT_EQ(Clean(".."), "");
  EXPECT_EQ(Clean("x/./y//z.txt"), "x/y/z.txt");
  EXPECT_EQ(Clean("/etc/passwd"), "etc/passwd");
  EXPECT_EQ(Clean("\\\\server\\share\\f.txt"), "server/share/f.txt");
  EXPECT_EQ(Clean("C:\\x\\y.txt"), "x/y.txt");
  EXPECT_EQ(Clean("C:/D:/z"), "z");
  EXPECT_EQ(Clean("\xC3\xA9:name"), "name");  // the drive letter may be any character
  EXPECT_EQ(Clean(std::string_view("ok.txt\0/../../x", 15)), "ok.txt");
  EXPECT_EQ(Clean("...hidden/..x"), "...hidden/..x");  // only ".." itself is special
  EXPECT_EQ(Clean("bad\xFFname"), "bad\xEF\xBF\xBDname");
}

TEST(ArchiveMember, TrailingSeparatorMarksADirectoryAndNamesAreShortened) {
  bool trailing = false;
  EXPECT_EQ(Clean("dir/sub/", &trailing), "dir/sub");
  EXPECT_TRUE(trailing);
  EXPECT_EQ(Clean("dir\\file", &trailing), "dir/file");
  EXPECT_FALSE(trailing);
  // 259 characters are kept, counted as characters, not bytes.
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "\xC3\xA4";
  const std::string kept = Clean(longName);
  EXPECT_EQ(kept.size(), 259u * 2);
  EXPECT_EQ(Clean("abcdef", nullptr, 4), "abcd");
  EXPECT_EQ(Clean("ab/..", nullptr, 4), "ab");  // shortening cannot leave a ".."
}

TEST(ArchiveMember, PathsAndTimes) {
  EXPECT_EQ(ArchiveDirPath("/home/u", "a.zip"), "/home/u/a.zip");
  EXPECT_EQ(ArchiveDirPath("/", "a.zip"), "/a.zip");

  setenv("TZ", "UTC", 1);
  tzset();
  // 2019-07-14 15:30:20: date (39 << 9 | 7 << 5 | 14), time (15 << 11 | 30 << 5 | 10).
  EXPECT_EQ(
      DosDateTimeToSeconds((39u << 25) | (7u << 21) | (14u << 16) | (15u << 11) | (30u << 5) | 10u),
      1563118220);
  EXPECT_EQ(DosDateTimeToSeconds(0), 0);                         // month 0, day 0
  EXPECT_EQ(DosDateTimeToSeconds(0x00210000 | (25u << 11)), 0);  // hour 25
  EXPECT_EQ(FileTimeToSeconds(116444736000000000ull), 0);        // 1970-01-01 is 0 either way
  EXPECT_EQ(FileTimeToSeconds((1656676800ull + 11644473600ull) * 10000000 + 5), 1656676800);
  EXPECT_EQ(FileTimeToSeconds(0), 0);           // 1601
  EXPECT_EQ(FileTimeToSeconds(~0ull), 0);       // year 60056
  EXPECT_EQ(ClampListingTime(-2208988801), 0);  // one second before 1900
  EXPECT_EQ(ClampListingTime(-2208988800), -2208988800);
  EXPECT_EQ(SaturatingAdd(~0ull - 1, 5), ~0ull);
}

}  // namespace
}  // namespace orvane
