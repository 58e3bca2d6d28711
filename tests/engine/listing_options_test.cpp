#include "engine/listing_options.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ListingOptions, DefaultsShowTheUsualColumnsUnsorted) {
  CListingOptions o;
  EXPECT_TRUE(o.IsShown(ColumnId::kName));
  o.m_bColumn.fill(0);
  EXPECT_TRUE(o.IsShown(ColumnId::kName));  // Name cannot be switched off
  CListingOptions d;
  for (ColumnId id : {ColumnId::kExtension, ColumnId::kSize, ColumnId::kLastWrite,
                      ColumnId::kAttributes, ColumnId::kCount})
    EXPECT_TRUE(d.IsShown(id)) << ColumnNumber(id);
  EXPECT_FALSE(d.IsShown(ColumnId::kMd5));
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(d.m_nFileSortKey[static_cast<std::size_t>(k)], kNotSorted);
    EXPECT_EQ(d.m_nDirSortKey[static_cast<std::size_t>(k)], kNotSorted);
  }
  EXPECT_EQ(d.m_nEncoding, kEncodingUtf8);
  EXPECT_EQ(d.DateWidth(), 16);
}

TEST(ListingOptions, DisabledControlsStoreZero) {
  CListingOptions o;
  o.m_bDirRows = 0;
  o.m_bFilesTogether = 1;
  o.m_bSubdirs = 0;
  o.m_bAutoColumnWidths = 1;
  o.m_bLinksToFiles = 1;
  o.m_bCsvTab = 1;
  o.m_nOutputType = kOutputText;
  o.ApplyEffectiveValues();
  EXPECT_EQ(o.m_bFileCountInDirRow, 0);
  EXPECT_EQ(o.m_bFilesTogether, 1);
  EXPECT_EQ(o.m_bSubdirsFirst, 0);
  EXPECT_EQ(o.m_bSurroundSubdirs, 0);
  EXPECT_EQ(o.m_bAutoColumnWidths, 1);
  EXPECT_EQ(o.m_bLinksToFiles, 0);
  EXPECT_EQ(o.m_bCsvTab, 0);
  EXPECT_EQ(o.m_strCsvSeparator, ";");

  CListingOptions c;
  c.m_nOutputType = kOutputCsv;
  c.m_bCsvTab = 1;
  c.m_bAutoColumnWidths = 1;
  c.ApplyEffectiveValues();
  EXPECT_EQ(c.m_strCsvSeparator, "\t");
  EXPECT_EQ(c.m_bAutoColumnWidths, 0);
  EXPECT_EQ(c.m_bFilesTogether, 0);  // directory rows are on

  CListingOptions h;
  h.m_nOutputType = kOutputHtml;
  h.m_bLinksToDirs = 1;
  h.m_bFileProtocolInLinks = 1;
  h.m_bLinksToSubdirsInside = 1;
  h.ApplyEffectiveValues();
  EXPECT_EQ(h.m_bFileProtocolInLinks, 1);
  EXPECT_EQ(h.m_bLinksToSubdirsInside, 0);  // needs links to files
}

TEST(ListingOptions, FormatsFollowTheChoices) {
  CListingOptions o;
  o.m_nDateFormat = 3;
  o.m_nTimeFormat = 1;
  o.DeriveFormats();
  EXPECT_EQ(o.m_strDateFormat, "%m-%d-%Y");
  EXPECT_EQ(o.m_strTimeFormat, "%H:%M:%S");
  EXPECT_EQ(o.DateWidth(), 19);
  o.m_nDateFormat = 17;
  o.DeriveFormats();
  EXPECT_EQ(o.m_strDateFormat, "%Y-%m-%d");
}

}  // namespace
}  // namespace orvane
