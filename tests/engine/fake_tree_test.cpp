// Listings of trees from an in-memory file system: odd names and moments, folders that cannot
// be read or are gone, files that vanish before their contents are read, very deep trees.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

#include "done_receiver.h"
#include "engine/listing_engine.h"
#include "fake_folders.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::DoneReceiver;

// A listing of the fake folder `top` (a path in a temporary folder, where a test may put a real
// file for the readers of contents to find): the Name cell (120 characters) and the columns a
// test switches on.
struct FakeListing {
  test::TempDir tmp;
  test::FakeFolders folders;
  test::FakeFolderServices services{folders};
  DoneReceiver receiver;
  CListingEngine engine{&receiver, &services};
  ListingJob job;
  const std::string top = tmp / "top";
  FakeListing() {
    test::NamesOnly(job.options);
    job.options.m_nFileSortKey[0] = ColumnNumber(ColumnId::kName);
    job.checkedDirs[top] = DirCheck::kWithSubdirs;
  }
  std::vector<std::string> Generate() {
    return test::SaveAndReadLines(engine, receiver, job, tmp / "listing.txt");
  }
  // The text after the Name cell of the row that starts with `name`, without padding.
  static std::string Rest(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& l : lines)
      if (l.compare(0, name.size(), name) == 0 && l.find_first_not_of(' ', name.size()) >= 120) {
        std::string rest = l.size() > 121 ? l.substr(121) : std::string();
        rest.erase(rest.find_last_not_of(' ') + 1);
        return rest;
      }
    return "<no row " + name + ">";
  }
};

TEST(FakeTree, NamesThatAreNotUtf8AndMomentsOutsideTheShownYears) {
  FakeListing l;
  const std::int64_t year3000 = 32503680000 + 200 * 86400;  // in the middle of the year 3000
  l.folders.File(l.top + "/bad\xFFname.txt", 1, year3000);
  l.folders.File(l.top + "/far.txt", 2, 48000000000);  // the year 3491
  l.folders.File(l.top + "/last.txt", 3, std::numeric_limits<std::int64_t>::max());
  l.folders.File(l.top + "/old.txt", 4, -5000000000);  // the year 1811
  l.job.options.m_bColumn[ColumnId::kLastWrite] = 1;
  const auto lines = l.Generate();
  // The name keeps its bytes in the records; the listing shows U+FFFD for the bad byte.
  EXPECT_NE(FakeListing::Rest(lines, "bad\xEF\xBF\xBDname.txt").find("3000"), std::string::npos);
  for (const char* name : {"far.txt", "last.txt", "old.txt"})
    EXPECT_EQ(FakeListing::Rest(lines, name), "") << name;
  EXPECT_EQ(l.engine.Files(), 4);
  EXPECT_EQ(l.engine.TotalSize(), 10u);
}

TEST(FakeTree, FoldersThatCannotBeReadOrAreGoneListEmptyAndTheListingGoesOn) {
  FakeListing l;
  l.folders.File(l.top + "/locked/secret.txt", 5).parent->unreadable = true;
  l.folders.File(l.top + "/gone/old.txt", 6).parent->unopenable = true;
  l.folders.File(l.top + "/ok/x.txt", 3);
  test::WriteFile(l.top + "/ok/x.txt", "abc");
  // Listed, but not on the disk when its checksums are read: the unreadable digests.
  l.folders.File(l.top + "/vanished.bin", 8);
  l.job.options.m_bColumn[ColumnId::kMd5] = 1;
  const auto lines = l.Generate();
  EXPECT_FALSE(l.engine.LastWriteFailed());
  EXPECT_TRUE(l.receiver.messages.empty());
  EXPECT_EQ(l.engine.Files(), 2);  // x.txt and vanished.bin
  EXPECT_EQ(l.engine.Dirs(), 4);
  EXPECT_EQ(FakeListing::Rest(lines, "vanished.bin"), "");
  EXPECT_EQ(FakeListing::Rest(lines, "x.txt"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(FakeListing::Rest(lines, "secret.txt"), "<no row secret.txt>");
  EXPECT_EQ(FakeListing::Rest(lines, "old.txt"), "<no row old.txt>");
  // Both still have their directory rows.
  EXPECT_EQ(FakeListing::Rest(lines, l.top + "/locked/"), "");
  EXPECT_EQ(FakeListing::Rest(lines, l.top + "/gone/"), "");
  EXPECT_EQ(l.folders.OpenNow(), 0);
}

TEST(FakeTree, TenThousandLevelsKeepAtMost256FoldersOpen) {
  FakeListing l;
  const int depth = 10000;
  test::FakeFolders::Node& bottom = l.folders.Chain(l.top, depth, "d");
  bottom.children["end.txt"] = std::make_unique<test::FakeFolders::Node>();
  test::FakeFolders::Node& end = *bottom.children["end.txt"];
  end.parent = &bottom;
  end.data.name = "end.txt";
  end.data.size = 3;
  l.job.options.m_bDirRows = 0;
  l.Generate();
  EXPECT_EQ(l.engine.Dirs(), depth + 1);
  EXPECT_EQ(l.engine.Files(), 1);
  EXPECT_EQ(l.engine.Directories().front()->m_nSize, 3u);
  EXPECT_LE(l.folders.MostOpen(), 256);
  EXPECT_GE(l.folders.MostOpen(), 200);  // the bound, not the tree, kept the count down
  EXPECT_EQ(l.folders.OpenNow(), 0);
}

}  // namespace
}  // namespace orvane
