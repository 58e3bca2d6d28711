#include "engine/sorting.h"

#include <gtest/gtest.h>

#include <clocale>

#include "engine/file_info_groups.h"

namespace orvane {
namespace {

struct Items {
  std::vector<CFileRecord> recs;
  CDirRecord dir;
  void Add(const std::string& name, std::uint64_t size, bool isDir = false) {
    CFileRecord r;
    r.SetName(name);
    r.m_nSize = size;
    r.m_bIsDir = isDir;
    r.m_nSeq = static_cast<int>(recs.size());
    r.m_pDir = &dir;
    recs.push_back(std::move(r));
  }
  std::vector<std::string> Sorted(const SortSettings& s) {
    std::vector<CFileRecord*> p;
    for (auto& r : recs) p.push_back(&r);
    SortItems(p, s);
    std::vector<std::string> names;
    for (auto* r : p) names.push_back(std::string(r->Name()));
    return names;
  }
};

TEST(SortItems, NotSortedKeepsScanOrderSubdirsFirstAlways) {
  Items it;
  it.Add("b", 1);
  it.Add("Sub", 0, true);
  it.Add("a", 2);
  SortSettings s;
  s.m_bSubdirsFirst = 0;
  EXPECT_EQ(it.Sorted(s), (std::vector<std::string>{"b", "Sub", "a"}));
  s.m_bSubdirsFirst = 1;
  s.m_nFileSortKey[0] = ColumnNumber(ColumnId::kName);
  s.m_bFileSortDesc[0] = 1;
  EXPECT_EQ(it.Sorted(s), (std::vector<std::string>{"Sub", "b", "a"}));
}

TEST(SortItems, EqualKeysFallBackToNextKeyThenScanOrder) {
  Items it;
  it.Add("c", 5);
  it.Add("A", 5);
  it.Add("b", 9);
  SortSettings s;
  s.m_bSubdirsFirst = 0;
  s.m_nFileSortKey = {ColumnNumber(ColumnId::kSize), kNotSorted, kNotSorted};
  s.m_bFileSortDesc = {1, 0, 0};
  EXPECT_EQ(it.Sorted(s), (std::vector<std::string>{"b", "c", "A"}));  // scan order decides
  s.m_nFileSortKey = {ColumnNumber(ColumnId::kSize), ColumnNumber(ColumnId::kExtension),
                      ColumnNumber(ColumnId::kExtension)};
  EXPECT_EQ(it.Sorted(s), (std::vector<std::string>{"b", "A", "c"}));  // name tie-break
}

TEST(SortItems, TextFoldsCaseComparingCodePoints) {
  Items it;
  it.Add("\xC3\x84rger", 1);  // Ärger
  it.Add("apfel", 1);
  it.Add("Zebra", 1);
  SortSettings s;
  s.m_nFileSortKey[0] = ColumnNumber(ColumnId::kName);
  setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_EQ(it.Sorted(s), (std::vector<std::string>{"apfel", "Zebra", "\xC3\x84rger"}));
}

TEST(SortDirs, ByPathWithTieBreak) {
  std::vector<CDirRecord> d(3);
  d[0].m_strPath = "/b", d[0].m_nSeq = 0, d[0].m_nSize = 1;
  d[1].m_strPath = "/A", d[1].m_nSeq = 1, d[1].m_nSize = 1;
  d[2].m_strPath = "/c", d[2].m_nSeq = 2, d[2].m_nSize = 0;
  std::vector<CDirRecord*> p{&d[0], &d[1], &d[2]};
  SortSettings s;
  s.m_nDirSortKey = {ColumnNumber(ColumnId::kSize), ColumnNumber(ColumnId::kSize),
                     ColumnNumber(ColumnId::kSize)};
  SortDirs(p, s);
  EXPECT_EQ(p[0]->m_strPath, "/c");
  EXPECT_EQ(p[1]->m_strPath, "/A");
  EXPECT_EQ(p[2]->m_strPath, "/b");
}

}  // namespace
}  // namespace orvane
