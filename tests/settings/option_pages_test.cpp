#include "settings/option_pages.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "settings/option_controls.h"

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
  // Columns: 57 boxes, 43 widths, 5 hidden pairs; output 61; filter 18; program and tree 5.
  EXPECT_EQ(ids.size(), 110u + 61u + 18u + 5u);
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
  EXPECT_EQ(o.m_nColumnWidth[ColumnId::kTrack], 3);
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

// Keeps every report of the pages, for the tests of change reporting.
class RecordingListener : public COptionPagesListener {
 public:
  void ControlsChanged(const std::vector<ControlChange>& changes) override {
    reports.push_back(changes);
  }
  // The changes of the last report, keyed by control.
  std::map<int, ControlChange> Last() const {
    std::map<int, ControlChange> byId;
    if (!reports.empty())
      for (const ControlChange& c : reports.back()) byId[c.id] = c;
    return byId;
  }
  std::vector<std::vector<ControlChange>> reports;
};

TEST(OptionPages, UntickingDirectoryRowsReportsTheBoxAndTheTwoThatDependOnIt) {
  COptionPages pages(kNow);
  RecordingListener listener;
  pages.SetListener(&listener);
  ASSERT_TRUE(pages.SetCheck(kKeyDirRows, 0));
  ASSERT_EQ(listener.reports.size(), 1u);
  EXPECT_EQ(listener.reports[0], (std::vector<ControlChange>{
                                     {kKeyDirRows, true, false},
                                     {kKeyFileCountInDirRow, false, true},
                                     {kKeyFilesTogether, false, true},
                                 }));
  pages.SetCheck(kKeyDirRows, 0);  // no change, no report
  EXPECT_EQ(listener.reports.size(), 1u);
}

TEST(OptionPages, ChoosingHtmlReportsTheRadioGroupAndEveryControlItEnablesOrDisables) {
  COptionPages pages(kNow);
  RecordingListener listener;
  pages.SetListener(&listener);
  pages.SetCheck(kKeyHtmlOutput, 1);
  const auto last = listener.Last();
  for (int id : {kKeyTextOutput, kKeyHtmlOutput}) {
    ASSERT_TRUE(last.count(id)) << id;
    EXPECT_TRUE(last.at(id).value) << id;
  }
  EXPECT_FALSE(last.count(kKeyCsvOutput));  // it was off and stays off
  for (int id :
       std::initializer_list<int>{kKeyLinksToFiles, kKeyLinksToDirs, kKeyHtmlTitle, kKeyExternalCss,
                                  kKeyStyleElement, kKeyAutoWidths, kKeyWrapColumns, 1281, 1302}) {
    ASSERT_TRUE(last.count(id)) << id;
    EXPECT_EQ(last.at(id), (ControlChange{id, false, true})) << id;
  }
  // Needing more than HTML, they stay disabled and go unreported.
  for (int id : std::initializer_list<int>{kKeyFileProtocol, kKeyLinksInside, kKeyCssPath,
                                           kKeyStyleSize, kKeyCsvTab})
    EXPECT_FALSE(last.count(id)) << id;
}

TEST(OptionPages, ChoosingAStyleElementReportsTheSizeBoxTextAndState) {
  COptionPages pages(kNow);
  pages.SetCheck(kKeyHtmlOutput, 1);
  RecordingListener listener;
  pages.SetListener(&listener);
  pages.SetSelection(kKeyStyleElement, kStyleFrame);
  EXPECT_EQ(listener.reports.back(), (std::vector<ControlChange>{
                                         {kKeyStyleElement, true, false},
                                         {kKeyStyleSize, true, true},
                                     }));
  pages.SetText(kKeyStyleSize, "4");  // the frame's width changes with the box
  EXPECT_EQ(listener.reports.back(), (std::vector<ControlChange>{{kKeyStyleElement, true, false},
                                                                 {kKeyStyleSize, true, false}}));
  // Styles changed from outside: the box follows and says so.
  pages.Styles()[kStyleFrame].nSize = 9;
  pages.StylesChanged();
  EXPECT_EQ(listener.reports.back(), (std::vector<ControlChange>{{kKeyStyleSize, true, false}}));
  EXPECT_EQ(pages.Text(kKeyStyleSize), "9");
  const std::size_t count = listener.reports.size();
  pages.SetListener(nullptr);
  pages.SetSelection(kKeyStyleElement, kStyleHeader);
  EXPECT_EQ(listener.reports.size(), count);
}

TEST(OptionPages, ColumnOrderAndStyleEditsAreReportedAndTheButtonsFollowTheElement) {
  COptionPages pages(kNow);
  RecordingListener listener;
  pages.SetListener(&listener);
  pages.EditColumnOrder([](CColumnOrderList& order) { order.Move(3, 0); });
  EXPECT_EQ(listener.reports.back(), (std::vector<ControlChange>{{kKeyColumnOrder, true, false}}));
  const std::size_t count = listener.reports.size();
  pages.EditColumnOrder([](CColumnOrderList& order) { order.SetAlign(0, 7); });  // ignored code
  EXPECT_EQ(listener.reports.size(), count);

  pages.SetSelection(kKeyStyleElement, kStyleHeader);
  pages.EditStyles([](CHtmlStyleSet& styles) { styles[kStyleHeader].nSize = 12; });
  EXPECT_EQ(listener.reports.back(), (std::vector<ControlChange>{{kKeyStyleElement, true, false},
                                                                 {kKeyStyleSize, true, false}}));
  EXPECT_EQ(pages.Text(kKeyStyleSize), "12");

  // The colour and font buttons: HTML only, and the font only for elements with text.
  EXPECT_FALSE(pages.IsEnabled(kKeyStyleColor));
  pages.SetCheck(kKeyHtmlOutput, 1);
  EXPECT_TRUE(pages.IsEnabled(kKeyStyleColor));
  EXPECT_TRUE(pages.IsEnabled(kKeyStyleFont));
  for (int element : {kStyleBackground, kStyleFrame}) {
    pages.SetSelection(kKeyStyleElement, element);
    EXPECT_TRUE(pages.IsEnabled(kKeyStyleColor)) << element;
    EXPECT_FALSE(pages.IsEnabled(kKeyStyleFont)) << element;
  }
}

TEST(OptionPages, NumberBoxesApplyWithinTheirRanges) {
  COptionPages pages(kNow);
  EXPECT_EQ(pages.Find(1281)->m_range, std::pair(1, 2048));
  EXPECT_EQ(pages.Find(1298)->m_range, std::pair(1, 3));  // Track
  EXPECT_FALSE(pages.Find(kKeyHtmlTitle)->m_range);
  pages.SetText(1281, "5000");
  pages.SetText(1298, "30");
  pages.SetText(kKeySizeLessValue, "-4");
  const CListingOptions o = Applied(pages);
  EXPECT_EQ(o.m_nNameWidth, 2048);
  EXPECT_EQ(o.m_nColumnWidth[ColumnId::kTrack], 3);
  EXPECT_EQ(o.m_nSizeLess, 0);
}

// The options' own rules and the enabled state of the pages agree: whatever the boxes say, a
// flag applies as set exactly when its box is enabled, and applying the rules again to the
// applied options changes nothing.
TEST(OptionPages, EnabledBoxesAndEffectiveValuesComeFromTheSameRules) {
  const int types[] = {kKeyTextOutput, kKeyHtmlOutput, kKeyCsvOutput};
  const int boxes[] = {kKeyDirRows,      kKeySubdirs,           kKeyLinksToFiles,
                       kKeyLinksToDirs,  kKeyFileCountInDirRow, kKeyFilesTogether,
                       kKeySubdirsFirst, kKeyAutoWidths,        kKeyCsvTab,
                       kKeyExternalCss,  kKeyFileProtocol,      kKeyLinksInside};
  for (int type : types) {
    for (unsigned mask = 0; mask < 16; ++mask) {
      COptionPages pages(kNow);
      pages.SetCheck(type, 1);
      for (int i = 0; i < 4; ++i) pages.SetCheck(boxes[i], (mask >> i) & 1);
      for (std::size_t i = 4; i < std::size(boxes); ++i) pages.SetCheck(boxes[i], 1);
      const CListingOptions o = Applied(pages);
      for (const COptionControl& c : pages.Controls()) {
        if (!c.m_field || c.m_kind != ControlKind::kCheckBox) continue;
        EXPECT_EQ(o.*c.m_field, pages.IsEnabled(c.m_nId) && c.m_nValue ? 1 : 0)
            << c.m_nId << " type " << type << " mask " << mask;
      }
      CListingOptions again = o;
      again.ApplyEffectiveValues();
      EXPECT_EQ(again.m_bFileProtocolInLinks, o.m_bFileProtocolInLinks);
      EXPECT_EQ(again.m_bLinksToSubdirsInside, o.m_bLinksToSubdirsInside);
      EXPECT_EQ(again.m_bFilesTogether, o.m_bFilesTogether);
    }
  }
}

TEST(ListingOptions, EffectiveValuesClearFlagsTheirRulesExclude) {
  CListingOptions o;  // as the batch options leave them: flags set regardless of the type
  o.m_nOutputType = kOutputCsv;
  o.m_bCsvTab = 1;
  o.m_bLinksToFiles = 1;
  o.m_bFileProtocolInLinks = 1;
  o.m_bAutoColumnWidths = 1;
  o.m_bDirRows = 0;
  o.m_bFilesTogether = 1;
  o.ApplyEffectiveValues();
  EXPECT_EQ(o.m_strCsvSeparator, "\t");
  EXPECT_EQ(o.m_bLinksToFiles, 0);
  EXPECT_EQ(o.m_bFileProtocolInLinks, 0);
  EXPECT_EQ(o.m_bAutoColumnWidths, 0);
  EXPECT_EQ(o.m_bFileCountInDirRow, 0);
  EXPECT_EQ(o.m_bFilesTogether, 1);
  EXPECT_EQ(o.m_bSubdirsFirst, 1);
  // A type that does not exist keeps the flags that apply to every type.
  CListingOptions odd;
  odd.m_nOutputType = 7;
  odd.m_bWrapColumns = 1;
  odd.ApplyEffectiveValues();
  EXPECT_EQ(odd.m_bWrapColumns, 0);
  EXPECT_EQ(odd.m_bFileCountInDirRow, 1);
}

}  // namespace
}  // namespace orvane
