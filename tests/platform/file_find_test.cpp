#include "platform/file_find.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <vector>

#include "test_util.h"

namespace orvane {
namespace {

TEST(FileFind, ListsEntriesWithAttributesAndNoDots) {
  test::TempDir tmp;
  test::WriteFile(tmp / "plain.txt", "12345");
  test::WriteFile(tmp / ".hidden", "");
  mkdir((tmp / "sub").c_str(), 0755);
  test::WriteFile(tmp / "ro.txt", "x");
  chmod((tmp / "ro.txt").c_str(), 0444);
  CBRMNetFind f;
  ASSERT_TRUE(f.FindFile(tmp.path()));
  std::set<std::string> names;
  while (f.FindNextFile()) {
    names.insert(f.GetFileName());
    EXPECT_FALSE(f.IsDots());
    if (f.GetFileName() == "plain.txt") {
      EXPECT_EQ(f.GetLength(), 5u);
      EXPECT_TRUE(f.MatchesMask(kFindArchive));
      EXPECT_FALSE(f.MatchesMask(kFindReadOnly | kFindHidden | kFindDirectory));
      EXPECT_GT(f.GetLastWriteTime(), 1600000000);
    }
    if (f.GetFileName() == ".hidden") {
      EXPECT_TRUE(f.MatchesMask(kFindHidden));
    } else if (f.GetFileName() == "sub") {
      EXPECT_TRUE(f.IsDirectory());
    } else if (f.GetFileName() == "ro.txt") {
      EXPECT_TRUE(f.MatchesMask(kFindReadOnly));
    }
  }
  EXPECT_EQ(names, (std::set<std::string>{"plain.txt", ".hidden", "sub", "ro.txt"}));
}

TEST(FileFind, NetworkContainersAndMissingFoldersFailCleanly) {
  CBRMNetFind f;
  EXPECT_FALSE(f.FindFile("Microsoft Windows Network\\WORKGROUP"));
  EXPECT_FALSE(f.FindNextFile());
  EXPECT_FALSE(f.FindFile("/no/such/folder/anywhere"));
  EXPECT_FALSE(f.FindNextFile());
}

TEST(FileFind, TimesOutsideTheRangeBecomeNineteenSeventy) {
  const std::int64_t fallback = SafeTime(-1);
  EXPECT_EQ(SafeTime(-11644473600LL), fallback);  // 1601
  EXPECT_EQ(SafeTime(47336400000LL), fallback);   // 3470
  EXPECT_LT(fallback, 86400 * 40);
  EXPECT_EQ(SafeTime(1700000000), 1700000000);
}

TEST(FileFind, EntriesComeInCaseFoldedNameOrderWithTiesByBytes) {
  test::TempDir tmp;
  const std::vector<std::string> sorted = {"10",    "9", "_x", "A", "a", "B.txt",
                                           "b.TXT", "C", "E",  "e", "z", "\xC3\xA9"};
  // Made in neither this order nor its reverse, so no directory layout gives it by chance.
  for (std::size_t i = 0; i < sorted.size(); ++i)
    test::WriteFile(tmp / sorted[(i * 5 + 3) % sorted.size()], "");
  for (int round = 0; round < 2; ++round) {
    CBRMNetFind f;
    ASSERT_TRUE(f.FindFile(tmp.path()));
    std::vector<std::string> names;
    while (f.FindNextFile()) names.push_back(f.GetFileName());
    EXPECT_EQ(names, sorted);
  }
}

// Runs body with the local time zone set to tz (a POSIX rule, no zone files needed).
template <typename Body>
void InZone(const char* tz, Body body) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", tz, 1);
  tzset();
  body();
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(FileFind, OnlyLocalYearsBefore1970OrAfter3000AreBlanked) {
  constexpr std::int64_t kYear3000 = 32503680000LL;  // 3000-01-01 00:00 UTC
  constexpr std::int64_t kYear3001 = 32535216000LL;  // 3001-01-01 00:00 UTC
  const std::int64_t fallback = SafeTime(-86400 * 400);
  InZone("UTC0", [&] {
    EXPECT_EQ(SafeTime(kYear3000), kYear3000);
    EXPECT_EQ(SafeTime(kYear3000 + 86400 * 100), kYear3000 + 86400 * 100);
    EXPECT_EQ(SafeTime(kYear3001 - 1), kYear3001 - 1);
    EXPECT_EQ(SafeTime(kYear3001), SafeTime(-1));
    EXPECT_EQ(SafeTime(0), 0);
  });
  InZone("JST-9", [&] {                                             // local time ahead of UTC
    EXPECT_EQ(SafeTime(kYear3001 - 3600), SafeTime(-86400 * 400));  // 3001-01-01 08:00 local
    EXPECT_EQ(SafeTime(-3600), -3600);                              // 1970-01-01 08:00 local
  });
  InZone("EST5", [&] {                                        // local time behind UTC
    EXPECT_EQ(SafeTime(kYear3001 + 3600), kYear3001 + 3600);  // 3000-12-31 20:00 local
    EXPECT_EQ(SafeTime(3600), SafeTime(-86400 * 400));        // 1969-12-31 20:00 local
  });
  EXPECT_LT(fallback, 86400 * 40);
}

TEST(FileFind, RootIsAVolumeWithASerial) {
  VolumeInfo v;
  ASSERT_TRUE(GetVolumeInfo("/", v));
  EXPECT_FALSE(v.fileSystem.empty());
  ASSERT_EQ(v.serial.size(), 9u);
  EXPECT_EQ(v.serial[4], '-');
  EXPECT_EQ(MountPointOf("/no/such/place"), "/");
  VolumeInfo none;
  EXPECT_FALSE(GetVolumeInfo("/proc/self", none));
}

TEST(FileFind, OpensPathsLongerThanPathMax) {
  test::TempDir tmp;
  std::string path = tmp.path();
  DirHandle h = DirHandle::Open(path);
  const std::string name(200, 'n');
  for (int i = 0; i < 30; ++i) {  // about 6,000 characters
    ASSERT_EQ(mkdirat(h.Fd(), name.c_str(), 0755), 0);
    h = h.OpenChild(name);
    ASSERT_TRUE(h.IsOpen());
    path += "/" + name;
  }
  DirHandle again = DirHandle::Open(path);
  EXPECT_TRUE(again.IsOpen());
  FindData d;
  EXPECT_TRUE(StatPath(path, d));
  EXPECT_TRUE(d.attributes & kFindDirectory);
  test::Run("rm -rf '" + tmp.path() + "'/n*");
}

}  // namespace
}  // namespace orvane
