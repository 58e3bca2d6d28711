#include "engine/filter.h"

#include <gtest/gtest.h>

#include <clocale>

namespace orvane {
namespace {

FindData File(const std::string& name, std::uint64_t size, std::uint32_t attrs = kFindArchive) {
  FindData d;
  d.name = name;
  d.size = size;
  d.attributes = attrs;
  d.lastWrite = 1000;
  return d;
}

TEST(NameMask, PatternsWildcardsAndCase) {
  setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_TRUE(NameMask("*.*").Matches("Makefile"));
  EXPECT_TRUE(NameMask("  *.txt ; *.DOC ").Matches("report.doc"));
  EXPECT_TRUE(NameMask("*.txt;*.doc").Matches("A.TXT"));
  EXPECT_FALSE(NameMask("*.txt;*.doc").Matches("a.txt.bak"));
  EXPECT_TRUE(NameMask("a?c*").Matches("abcdef"));
  EXPECT_FALSE(NameMask("a?c").Matches("ac"));
  EXPECT_TRUE(NameMask("\xC3\x84*").Matches("\xC3\xA4pfel"));  // Ä matches ä
  EXPECT_FALSE(NameMask("").Matches("x"));
  // Many stars against a long name stay fast (no exponential backtracking).
  EXPECT_FALSE(NameMask("*a*a*a*a*a*a*a*a*b").Matches(std::string(5000, 'a')));
}

TEST(FileFilter, SizeBoundsSpareDirectories) {
  CListingOptions o;
  o.m_bSizeMore = 1;  // more than 0 bytes
  FileFilter more(o);
  EXPECT_FALSE(more.Passes(File("empty", 0)));
  EXPECT_TRUE(more.Passes(File("one", 1)));
  EXPECT_TRUE(more.Passes(File("dir", 0, kFindDirectory)));
  CListingOptions l;
  l.m_bSizeLess = 1, l.m_nSizeLess = 1, l.m_nSizeFilterUnit = 1;  // less than 1 KB
  FileFilter less(l);
  EXPECT_TRUE(less.Passes(File("a", 1023)));
  EXPECT_FALSE(less.Passes(File("b", 1024)));
  CListingOptions g;
  g.m_bSizeMore = 1, g.m_nSizeMore = 3, g.m_nSizeFilterUnit = 3;
  FileFilter big(g);
  EXPECT_FALSE(big.Passes(File("c", 3221225472ull)));
  EXPECT_TRUE(big.Passes(File("d", 3221225473ull)));
}

TEST(FileFilter, DatesInclusiveAttributesThreeState) {
  CListingOptions o;
  o.m_bDateAfter = o.m_bDateBefore = 1;
  o.m_tAfter = o.m_tBefore = 1000;
  FileFilter exact(o);
  EXPECT_TRUE(exact.Passes(File("x", 1)));
  FindData later = File("y", 1);
  later.lastWrite = 1001;
  EXPECT_FALSE(exact.Passes(later));

  CListingOptions h;
  h.m_nAttrHidden = 1;
  FileFilter hidden(h);
  EXPECT_TRUE(hidden.Passes(File(".dot", 1, kFindArchive | kFindHidden)));
  EXPECT_FALSE(hidden.Passes(File("plain", 1)));
  EXPECT_FALSE(hidden.Passes(File("dir", 0, kFindDirectory)));
  h.m_nAttrHidden = 0;
  h.m_nAttrReadOnly = 1;
  FileFilter ro(h);
  EXPECT_TRUE(ro.Passes(File("r", 1, kFindArchive | kFindReadOnly)));
  EXPECT_FALSE(ro.Passes(File(".r", 1, kFindArchive | kFindReadOnly | kFindHidden)));
}

TEST(FileFilter, MaskIsStoredStripped) {
  CListingOptions o;
  o.m_strMask = "  *.txt  ";
  FileFilter f(o);
  EXPECT_EQ(o.m_strMask, "*.txt");
  EXPECT_TRUE(f.Passes(File("a.txt", 1)));
  EXPECT_FALSE(f.Passes(File("sub", 0, kFindDirectory)));
}

}  // namespace
}  // namespace orvane
