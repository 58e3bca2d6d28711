#include "app/option_pages.h"

#include <gtest/gtest.h>

#include <set>

#include "app/option_controls.h"

namespace orvane {
namespace {

constexpr std::int64_t kNow = 1700000000;

CListingOptions Applied(COptionPages& pages, std::int64_t now = kNow) {
  CListingOptions o;
  CProgramOptions p;
  pages.Apply(o, p, now);
  return o;
}

TEST(OptionPages, EveryControlOnceWithItsKind) {
  COptionPages pages(kNow);
  std::set<int> ids;
  for (const COptionControl& c : pages.Controls()) {
    EXPECT_TRUE(ids.insert(c.m_nId).second) << "duplicate " << c.m_nId;
    if (c.m_kind == ControlKind::kCombo) {
      EXPECT_FALSE(c.m_choices.empty()) << c.m_nId;
      EXPECT_GE(c.m_nValue, 0) << c.m_nId;
    }
  }
  EXPECT_EQ(pages.Find(1442)->m_kind, ControlKind::kColumnOrder);
  EXPECT_EQ(pages.Find(1494)->m_kind, ControlKind::kDatePicker);
  EXPECT_EQ(pages.Find(1503)->m_kind, ControlKind::kThreeState);
  EXPECT_EQ(pages.Find(1413)->m_kind, ControlKind::kRadio);
  EXPECT_EQ(pages.Find(1490)->m_choices[2], "UTF-16");
  EXPECT_TRUE(pages.Find(1406)->m_bHidden);
  EXPECT_EQ(pages.Controls().front().m_nId, 1366);
  EXPECT_EQ(pages.Controls().back().m_nId, 1208);
  // Columns: 57 boxes, 43 widths, 5 hidden pairs; output 61; filter 18; program and tree 4.
  EXPECT_EQ(ids.size(), 110u + 61u + 18u + 4u);
}

TEST(OptionPages, DefaultsApplyAsTheRecordsDefaults) {
  COptionPages pages(kNow);
  const CListingOptions d;
  CListingOptions o = Applied(pages);
  EXPECT_EQ(o.m_bColumn, d.m_bColumn);
  EXPECT_EQ(o.m_nColumnWidth, d.m_nColumnWidth);
  EXPECT_EQ(o.m_columnOrder, d.m_columnOrder);
  EXPECT_EQ(o.m_nAlign, d.m_nAlign);
  EXPECT_EQ(o.m_nOutputType, kOutputText);
  EXPECT_EQ(o.m_nEncoding, kEncodingUtf8);
  EXPECT_EQ(o.m_bSubdirsFirst, 1);
  EXPECT_EQ(o.m_bFilesTogether, 0);
  EXPECT_EQ(o.m_strListingName, "_thisdir");
  EXPECT_EQ(o.m_chThousandSep, " ");
  EXPECT_EQ(o.m_chDecimalSep, ".");
  EXPECT_EQ(o.m_strCsvSeparator, ";");
  EXPECT_EQ(o.m_strHtmlTitle, "Orvane v1.0 listing");
  EXPECT_EQ(o.m_nFileSortKey[0], kNotSorted);
  EXPECT_EQ(o.m_nDirSortKey[2], kNotSorted);
  EXPECT_EQ(o.m_strMask, "*.*");
  EXPECT_EQ(o.m_nDateKind, 1);
  EXPECT_EQ(o.m_nSizeLess, 1);
  EXPECT_EQ(o.m_nAttrSystem, 2);
  EXPECT_EQ(o.m_tAfter, kNow);
  EXPECT_EQ(o.m_nTimeWidth, 5);
}

TEST(OptionPages, DisabledBoxesApplyAsZero) {
  COptionPages pages(kNow);
  pages.SetCheck(1402, 0);  // no directory rows: file count disabled, files together enabled
  pages.SetCheck(1425, 1);
  pages.SetCheck(1520, 1);  // auto widths ticked, but the type is HTML
  pages.SetCheck(1416, 1);
  pages.SetCheck(1418, 1);
  pages.SetCheck(1413, 1);
  CListingOptions o = Applied(pages);
  EXPECT_EQ(o.m_bFileCountInDirRow, 0);
  EXPECT_EQ(o.m_bFilesTogether, 1);
  EXPECT_EQ(o.m_bAutoColumnWidths, 0);
  EXPECT_EQ(o.m_bLinksToFiles, 1);
  EXPECT_EQ(o.m_bFileProtocolInLinks, 1);
  EXPECT_FALSE(pages.IsEnabled(1281));  // width boxes only for text
  pages.SetCheck(1411, 1);
  o = Applied(pages);
  EXPECT_EQ(o.m_bLinksToFiles, 0);
  EXPECT_EQ(o.m_bFileProtocolInLinks, 0);
  EXPECT_EQ(o.m_bAutoColumnWidths, 1);
  EXPECT_FALSE(pages.IsEnabled(1281));  // automatic widths
  EXPECT_FALSE(pages.IsEnabled(kKeyNameColumn));
  EXPECT_FALSE(pages.IsEnabled(kKeySizePrecision));
  pages.SetSelection(kKeySizeDisplay, 2);
  EXPECT_TRUE(pages.IsEnabled(kKeySizePrecision));
  EXPECT_FALSE(pages.IsEnabled(1253));
  pages.SetSelection(kKeySizePrecision, 2);
  EXPECT_TRUE(pages.IsEnabled(1253));
}

TEST(OptionPages, RadioButtonsOfAGroupExcludeEachOther) {
  COptionPages pages(kNow);
  pages.SetCheck(1414, 1);
  EXPECT_EQ(pages.Check(1411), 0);
  EXPECT_EQ(pages.OutputType(), kOutputCsv);
  pages.SetCheck(1414, 0);  // a radio button is not turned off by itself
  EXPECT_EQ(pages.OutputType(), kOutputCsv);
  pages.SetCheck(1516, 1);
  pages.SetCheck(1497, 1);
  CListingOptions o = Applied(pages);
  EXPECT_EQ(o.m_nSummaryPos, 1);
  EXPECT_EQ(o.m_nDateKind, 2);
  EXPECT_EQ(pages.Check(1411), 0);  // other groups untouched
}

TEST(OptionPages, CsvSeparatorAndTab) {
  COptionPages pages(kNow);
  pages.SetCheck(1414, 1);
  pages.SetText(kKeyCsvSeparator, "|x");
  EXPECT_EQ(Applied(pages).m_strCsvSeparator, "|");
  pages.SetText(kKeyCsvSeparator, "\xC3\xA4");
  EXPECT_EQ(Applied(pages).m_strCsvSeparator, "\xC3\xA4");
  pages.SetCheck(kKeyCsvTab, 1);
  EXPECT_EQ(Applied(pages).m_strCsvSeparator, "\t");
  EXPECT_FALSE(pages.IsEnabled(kKeyCsvSeparator));
  pages.SetCheck(kKeyCsvTab, 0);
  pages.SetText(kKeyCsvSeparator, "");
  EXPECT_EQ(Applied(pages).m_strCsvSeparator, ";");
}

TEST(OptionPages, CombosNumbersAndTexts) {
  COptionPages pages(kNow);
  // The sort lists hold "Not sorted" and the sortable columns; the value is the list index.
  const COptionControl* files = pages.Find(1246);
  const COptionControl* dirs = pages.Find(1240);
  EXPECT_EQ(files->m_choices.size(), 1u + 55u);
  EXPECT_EQ(dirs->m_choices.size(), 1u + 9u);
  pages.SetSelection(1246, 2);  // Extension
  pages.SetSelection(1240, 2);  // Size
  pages.SetSelection(1252, 0);
  pages.SetSelection(1236, 1);
  EXPECT_TRUE(pages.SetSelection(1490, 7));  // out of range: nothing selected
  EXPECT_EQ(pages.Selection(1490), -1);
  pages.SetText(1281, "5000");
  pages.SetText(1298, "30");
  pages.SetText(1282, "abc");
  pages.SetText(kKeyListingName, "../up/name");
  CListingOptions o = Applied(pages);
  EXPECT_EQ(o.m_nFileSortKey[0], 3);
  EXPECT_EQ(o.m_nDirSortKey[0], 5);
  EXPECT_EQ(o.m_chThousandSep, "");
  EXPECT_EQ(o.m_nTimeWidth, 8);
  EXPECT_EQ(o.m_strTimeFormat, "%H:%M:%S");
  EXPECT_EQ(o.m_nEncoding, kEncodingUtf8);
  EXPECT_EQ(o.m_nNameWidth, 2048);
  EXPECT_EQ(o.m_nColumnWidth[kColTrack], 3);
  EXPECT_EQ(o.m_nSizeWidth, 1);
  EXPECT_EQ(o.m_strListingName, ".._up_name");
  EXPECT_FALSE(pages.SetText(1391, "x"));  // a check box has no text
  EXPECT_FALSE(pages.SetSelection(1410, 0));
  EXPECT_FALSE(pages.SetCheck(9999, 1));
}

TEST(OptionPages, DatePickersFollowTheClockWhileTheirBoxIsOff) {
  COptionPages pages(kNow);
  pages.SetMoment(kKeyAfterPicker, 1000);
  EXPECT_EQ(Applied(pages, kNow + 60).m_tAfter, kNow + 60);
  pages.SetCheck(kKeyDateAfter, 1);
  pages.SetMoment(kKeyAfterPicker, 1000);
  CListingOptions o = Applied(pages, kNow + 120);
  EXPECT_EQ(o.m_bDateAfter, 1);
  EXPECT_EQ(o.m_tAfter, 1000);
  EXPECT_EQ(o.m_tBefore, kNow + 120);
}

TEST(OptionPages, SizeBoxFollowsTheSelectedElement) {
  COptionPages pages(kNow);
  pages.SetSelection(kKeyStyleElement, kStyleFrame);
  EXPECT_EQ(pages.Text(kKeyStyleSize), "1");
  pages.SetText(kKeyStyleSize, "3");
  EXPECT_EQ(pages.Styles()[kStyleFrame].nSize, 3);
  pages.SetText(kKeyStyleSize, "500");
  EXPECT_EQ(pages.Styles()[kStyleFrame].nSize, 100);
  pages.SetSelection(kKeyStyleElement, kStyleHeader);
  EXPECT_EQ(pages.Text(kKeyStyleSize), "8");
  EXPECT_EQ(Applied(pages).m_htmlStyle[kStyleFrame].nSize, 100);
}

}  // namespace
}  // namespace orvane
