#include "app/batch_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "engine/columns.h"

namespace orvane {
namespace {

// Applies one option as the command line would and returns the error ("" when accepted).
std::string Apply(std::vector<std::string> args, CListingOptions& o) {
  std::string error;
  std::size_t i = 0;
  BatchEdit edit;
  if (!ParseBatchOption(args, i, edit, error)) return error.empty() ? "(no message)" : error;
  edit(o);
  EXPECT_EQ(i + 1, args.size()) << "the value was not taken";
  return {};
}

TEST(ColumnNames, EveryNameAndNumberFindsItsColumn) {
  std::set<std::string> seen;
  for (ColumnId id : kAllColumns) {
    const std::string name = ColumnName(id);
    EXPECT_TRUE(seen.insert(name).second) << "two columns are called " << name;
    std::string error;
    EXPECT_EQ(FindColumn(name, error), id) << name << ": " << error;
    EXPECT_EQ(FindColumn(std::to_string(ColumnNumber(id)), error), id);
  }
}

TEST(ColumnNames, HeadersMatchWithoutCaseAndWithAnyBlank) {
  std::string error;
  EXPECT_EQ(FindColumn("Last write date", error), ColumnId::kLastWrite);
  EXPECT_EQ(FindColumn("LAST_WRITE_DATE", error), ColumnId::kLastWrite);
  EXPECT_EQ(FindColumn("last-Write_date", error), ColumnId::kLastWrite);
  EXPECT_EQ(FindColumn("SHA-1", error), ColumnId::kSha1);  // the check box's text
  EXPECT_EQ(FindColumn("sha1", error), ColumnId::kSha1);   // the header's
  EXPECT_EQ(FindColumn("Bits per pixel", error), ColumnFromNumber(43));
}

TEST(ColumnNames, ARepeatedHeaderAsksForTheGroup) {
  std::string error;
  EXPECT_EQ(FindColumn("comments", error), std::nullopt);
  EXPECT_EQ(error,
            "the column name \"comments\" is ambiguous: exe-comments, doc-comments or "
            "tag-comments");
  EXPECT_EQ(FindColumn("doc-comments", error), ColumnFromNumber(27));
  EXPECT_EQ(FindColumn("Tag_Title", error), ColumnFromNumber(52));
}

TEST(ColumnNames, UnknownNamesAndNumbersNameTheNearest) {
  std::string error;
  EXPECT_EQ(FindColumn("last-writ-date", error), std::nullopt);
  EXPECT_EQ(error, "unknown column \"last-writ-date\"; did you mean \"last-write-date\"?");
  EXPECT_EQ(FindColumn("58", error), std::nullopt);
  EXPECT_EQ(error, "no column has the number 58 (they go from 0 to 57)");
}

TEST(BatchOptions, ColumnsMixNamesNumbersAndRanges) {
  CListingOptions o;
  ASSERT_EQ(Apply({"--columns", "name,Size,last-write-date,md5,41-42,count"}, o), "");
  std::vector<ColumnId> shown;
  for (ColumnId id : kAllColumns)
    if (o.m_bColumn[id]) shown.push_back(id);
  EXPECT_EQ(shown, (std::vector<ColumnId>{ColumnId::kName, ColumnId::kSize, ColumnId::kLastWrite,
                                          ColumnId::kMd5, ColumnId::kWidth, ColumnId::kHeight}));
  EXPECT_EQ(o.m_bFileCountInDirRow, 1);
}

TEST(BatchOptions, BadColumnListsAreRefusedWithTheOptionNamed) {
  CListingOptions o;
  EXPECT_EQ(Apply({"--columns=name,siez"}, o),
            "--columns: unknown column \"siez\"; did you mean \"size\"?");
  EXPECT_EQ(Apply({"--columns=name,,size"}, o), "--columns: empty column name in \"name,,size\"");
  EXPECT_EQ(Apply({"--columns=7-5"}, o), "--columns: bad column range 7-5");
  EXPECT_EQ(Apply({"--columns="}, o), "--columns: empty column name in \"\"");
}

TEST(BatchOptions, SortKeysTakeNamesWithDirection) {
  CListingOptions o;
  ASSERT_EQ(Apply({"--sort", "-last-write-date,Name"}, o), "");
  EXPECT_EQ(o.m_nFileSortKey, (std::array<int, 3>{ColumnNumber(ColumnId::kLastWrite),
                                                  ColumnNumber(ColumnId::kName), kNotSorted}));
  EXPECT_EQ(o.m_bFileSortDesc, (std::array<int, 3>{1, 0, 0}));
  ASSERT_EQ(Apply({"--dir-sort=none,-5"}, o), "");
  EXPECT_EQ(o.m_nDirSortKey,
            (std::array<int, 3>{kNotSorted, ColumnNumber(ColumnId::kSize), kNotSorted}));
  EXPECT_EQ(o.m_bDirSortDesc, (std::array<int, 3>{0, 1, 0}));
  EXPECT_EQ(Apply({"--dir-sort=md5"}, o), "--dir-sort: the column md5 cannot sort directories");
  EXPECT_EQ(Apply({"--sort=path"}, o), "--sort: the column path cannot sort files");
  EXPECT_EQ(Apply({"--sort=name,size,type,owner"}, o), "--sort: at most three sort keys");
}

TEST(BatchOptions, UnknownOptionsNameTheNearestOne) {
  CListingOptions o;
  EXPECT_EQ(Apply({"--colums", "name"}, o), "unknown option --colums; did you mean --columns?");
  EXPECT_EQ(Apply({"--no-subdir"}, o), "unknown option --no-subdir; did you mean --no-subdirs?");
  EXPECT_EQ(Apply({"--wrap=yes"}, o), "--wrap takes no value");
  EXPECT_EQ(Apply({"--type", "pdf"}, o),
            "bad value for --type: \"pdf\" (expected text, html or csv)");
  EXPECT_EQ(Apply({"--type"}, o), "--type needs a value");
}

TEST(BatchOptions, ColumnListShowsIdNameAndContents) {
  const std::string text = ColumnListText();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kColumnCount);
  EXPECT_NE(text.find("\n 7  last-write-date     time of the last change of the contents\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n21  md5                 MD5 checksum of the contents\n"),
            std::string::npos);
}

// The help and the parser come from the same rows: every option the help shows is taken with a
// value of the kind it shows, and continued lines stay under the text column.
TEST(BatchOptions, EveryOptionOfTheHelpParses) {
  const std::map<std::string, std::string> samples = {
      {"LIST", "name,size"}, {"KEYS", "-size"}, {"MASKS", "*.txt"}, {"TEXT", "t"}, {"N", "1"}};
  std::istringstream help(BatchOptionsHelp());
  int options = 0;
  for (std::string line; std::getline(help, line);) {
    if (line.rfind("  --", 0) != 0) {
      EXPECT_EQ(line.find_first_not_of(' '), 31u) << line;
      continue;
    }
    std::istringstream words(line);
    std::string name, value;
    words >> name >> value;
    if (name == "--list-columns") continue;  // the command line's own
    std::vector<std::string> args{name};
    const bool takesValue = value.find('|') != std::string::npos || samples.count(value) != 0;
    if (takesValue)
      args.push_back(samples.count(value) ? samples.at(value) : value.substr(0, value.find('|')));
    CListingOptions o;
    EXPECT_EQ(Apply(args, o), "") << line;
    ++options;
  }
  EXPECT_EQ(options, 27);
}

}  // namespace
}  // namespace orvane
