#include "fileinfo/doc_properties.h"

#include <gtest/gtest.h>

#include "compound_builder.h"
#include "test_util.h"

namespace orvane {
namespace {

using B = test::PropertySetBuilder;

// FILETIME of a moment given in seconds since 1970.
std::uint64_t FileTimeOf(std::int64_t unixSeconds) {
  return static_cast<std::uint64_t>(unixSeconds + 11644473600) * 10000000;
}

TEST(DocProperties, ReadsWordProcessorDocumentFromLibreOffice) {
  DocProperties p;
  ASSERT_TRUE(ReadDocumentProperties(test::DataPath("docs/writer.doc"), p));
  EXPECT_EQ(p.title, "Quarterly Report");
  EXPECT_EQ(p.subject, "Sales in the north");
  EXPECT_EQ(p.author, "Ada Lovelace");
  EXPECT_EQ(p.keywords, "sales, north");
  // Stored as VT_LPSTR in code page 65001, whatever the user's ANSI code page is.
  EXPECT_EQ(p.comments,
            "Draft for the board, \xC3\xBC"
            "berarbeitet");
  EXPECT_EQ(p.lastAuthor, "Charles Babbage");
  EXPECT_EQ(p.revisionNumber, "7");
  EXPECT_EQ(p.created, 1614834367);      // 2021-03-04 05:06:07 UTC
  EXPECT_EQ(p.lastSaved, 1660039872);    // 2022-08-09 10:11:12 UTC
  EXPECT_EQ(p.lastPrinted, 1660122000);  // 2022-08-10 09:00:00 UTC
  EXPECT_TRUE(p.templateName.empty());
  EXPECT_FALSE(p.hasPageCount);  // LibreOffice writes no statistics
  EXPECT_FALSE(p.hasSecurity);
  EXPECT_TRUE(p.category.empty());
}

TEST(DocProperties, ReadsSpreadsheetAndPresentationFromLibreOffice) {
  DocProperties p;
  ASSERT_TRUE(ReadDocumentProperties(test::DataPath("docs/calc.xls"), p));
  EXPECT_EQ(p.title, "Budget 2023");
  EXPECT_EQ(p.author, "Grace Hopper");
  EXPECT_EQ(p.comments, "Monthly costs");
  EXPECT_EQ(p.lastPrinted, 0);  // never printed
  EXPECT_EQ(p.created, 1672628645);
  EXPECT_FALSE(p.hasPageCount || p.hasWordCount || p.hasCharCount);

  // The presentation's summary stream carries a preview picture and lives in ordinary sectors.
  ASSERT_TRUE(ReadDocumentProperties(test::DataPath("docs/impress.ppt"), p));
  EXPECT_EQ(p.title, "Launch Plan");
  EXPECT_EQ(p.subject, "Product launch");
  EXPECT_EQ(p.keywords, "launch");
  EXPECT_EQ(p.comments, "Slides for Monday");
}

TEST(DocProperties, OtherFilesGiveNothing) {
  DocProperties p;
  p.title = "left over";
  p.hasPageCount = true;
  EXPECT_FALSE(ReadDocumentProperties(test::DataPath("docs/plain-text.doc"), p));
  EXPECT_TRUE(p.title.empty());
  EXPECT_FALSE(p.hasPageCount);
  EXPECT_FALSE(ReadDocumentProperties(test::DataPath("docs/does-not-exist.doc"), p));
  EXPECT_FALSE(ReadDocumentProperties(test::DataPath("docs"), p));  // a directory
}

std::vector<std::uint8_t> FullDocument() {
  B summary;
  summary.AddSection(kSummaryInformationId);
  summary.AddProperty(1, B::I2(1252));
  summary.AddProperty(2, B::Wide("Wide title"));
  summary.AddProperty(3, B::Bytes(kVtBstr, "B-string subject"));
  summary.AddProperty(4, B::Bytes(kVtLpstr, "Ren\xE9"));
  summary.AddProperty(5, B::Bytes(kVtLpstr, "k1; k2"));
  summary.AddProperty(6, B::Wide("Line one\nline two"));
  summary.AddProperty(7, B::Bytes(kVtLpstr, "Normal.dotm"));
  summary.AddProperty(8, B::Wide("Editor"));
  summary.AddProperty(9, B::Bytes(kVtLpstr, "42"));
  summary.AddProperty(11, B::FileTime(FileTimeOf(-2300000000)));  // 1897: before 1900
  summary.AddProperty(12, B::FileTime(FileTimeOf(1000000000)));
  summary.AddProperty(13, B::FileTime(0));
  summary.AddProperty(14, B::I2(-3));
  summary.AddProperty(15, B::I4(123456));
  summary.AddProperty(16, B::Bytes(kVtLpstr, "99"));  // a count stored as text is no count
  summary.AddProperty(18, B::Wide("Writer"));
  summary.AddProperty(19, B::I4(0));
  B docSummary;
  docSummary.AddSection({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
  docSummary.AddProperty(2, B::Wide("not this one"));
  docSummary.AddSection(kDocSummaryInformationId);
  docSummary.AddProperty(2, B::Bytes(kVtLpstr, "Reports"));
  test::CompoundBuilder cf;
  cf.AddStream("WordDocument", std::vector<std::uint8_t>(6000, 0));
  cf.AddStream("\005SummaryInformation", summary.Build());
  cf.AddStream("\005DocumentSummaryInformation", docSummary.Build());
  return cf.Build();
}

TEST(DocProperties, FillsAllSeventeenFieldsFromEveryValueType) {
  DocProperties p;
  ASSERT_TRUE(ReadDocumentProperties(FullDocument(), p));
  EXPECT_EQ(p.title, "Wide title");
  EXPECT_EQ(p.subject, "B-string subject");
  EXPECT_EQ(p.author, "Ren\xC3\xA9");
  EXPECT_EQ(p.keywords, "k1; k2");
  EXPECT_EQ(p.comments, "Line one\nline two");
  EXPECT_EQ(p.templateName, "Normal.dotm");
  EXPECT_EQ(p.lastAuthor, "Editor");
  EXPECT_EQ(p.revisionNumber, "42");
  EXPECT_EQ(p.lastPrinted, 0);
  EXPECT_EQ(p.created, 1000000000);
  EXPECT_EQ(p.lastSaved, 0);
  EXPECT_TRUE(p.hasPageCount);
  EXPECT_EQ(p.pageCount, -3);
  EXPECT_TRUE(p.hasWordCount);
  EXPECT_EQ(p.wordCount, 123456);
  EXPECT_FALSE(p.hasCharCount);
  EXPECT_EQ(p.appName, "Writer");
  EXPECT_TRUE(p.hasSecurity);
  EXPECT_EQ(p.security, 0);
  EXPECT_EQ(p.category, "Reports");
}

TEST(DocProperties, AMissingPropertySetLeavesOnlyItsFieldsEmpty) {
  B docSummary;
  docSummary.AddSection(kDocSummaryInformationId);
  docSummary.AddProperty(2, B::Wide("Only a category"));
  test::CompoundBuilder cf;
  cf.AddStream("\005DocumentSummaryInformation", docSummary.Build());
  cf.AddStream("\005SummaryInformation", std::vector<std::uint8_t>(100, 0xAB));  // no property set
  DocProperties p;
  ASSERT_TRUE(ReadDocumentProperties(cf.Build(), p));
  EXPECT_TRUE(p.title.empty());
  EXPECT_EQ(p.category, "Only a category");

  test::CompoundBuilder bare;
  bare.AddStream("Contents", {1, 2, 3});
  ASSERT_TRUE(ReadDocumentProperties(bare.Build(), p));
  EXPECT_TRUE(p.category.empty());
}

}  // namespace
}  // namespace orvane
