// Entry names kept in the record itself up to 23 bytes and in a block of their own beyond:
// every length, split into name and extension, moved and reassigned, reads back unchanged.
#include "engine/records.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orvane {
namespace {

TEST(Records, NamesOfEveryLengthSplitAtTheLastDotAndSurviveMoves) {
  std::vector<CFileRecord> recs;
  for (std::size_t n = 0; n <= 40; ++n) {
    CFileRecord r;
    std::string name(n, 'a');
    if (n >= 5) name[n - 4] = '.';                      // "aaa.aaa": an extension of three
    if (n == 30) name = std::string(29, '\xFF') + ".";  // bytes that are not UTF-8, a last dot
    r.SetName(name);
    recs.push_back(std::move(r));  // the vector moves them again as it grows
  }
  for (std::size_t n = 0; n <= 40; ++n) {
    const CFileRecord& r = recs[n];
    const std::string full = r.FullName();
    ASSERT_EQ(full.size(), n);
    if (n == 30) {
      EXPECT_EQ(r.Name(), std::string(29, '\xFF'));
      EXPECT_EQ(r.Ext(), "");
      EXPECT_TRUE(r.HasDot());
    } else if (n >= 5) {
      EXPECT_EQ(r.Name(), std::string(n - 4, 'a'));
      EXPECT_EQ(r.Ext(), "aaa");
    } else {
      EXPECT_EQ(r.Name(), full);
      EXPECT_FALSE(r.HasDot());
    }
  }
}

TEST(Records, DirectoriesKeepTheirDotsAndANameMayBeSetFromItself) {
  CFileRecord r;
  r.m_bIsDir = true;
  r.SetName("photos.2024.and.a.very.long.folder.name");
  EXPECT_EQ(r.Name(), "photos.2024.and.a.very.long.folder.name");
  EXPECT_EQ(r.Ext(), "");
  EXPECT_FALSE(r.HasDot());
  r.SetName(r.Name().substr(7));  // a view of its own long name
  EXPECT_EQ(r.FullName(), "2024.and.a.very.long.folder.name");
  r.SetName(r.Name().substr(0, 4));  // from its block back into the record
  EXPECT_EQ(r.FullName(), "2024");
  CFileRecord moved = std::move(r);
  EXPECT_EQ(moved.FullName(), "2024");
  EXPECT_EQ(r.FullName(), "");  // NOLINT(bugprone-use-after-move): a moved-from name is empty
  r = std::move(moved);
  EXPECT_EQ(r.FullName(), "2024");
}

}  // namespace
}  // namespace orvane
