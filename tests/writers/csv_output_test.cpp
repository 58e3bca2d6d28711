#include "writers/csv_output.h"

#include <gtest/gtest.h>

#include "column_table.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ColumnTable;

struct CsvFixture : ::testing::Test {
  WriterOptions options;
  OutputContext context;
  ColumnTable table{ColumnId::kExtension, ColumnId::kSize};
  OutputEntry file;
  OutputEntry dir;

  CsvFixture() { options.m_nOutputType = kOutputCsv; }
  std::string Item(COvCsvOutput& w, const std::string& name, const std::string& ext,
                   bool subdir = false) {
    table.Clear();
    table[ColumnId::kName] = name;
    table[ColumnId::kExtension] = ext;
    table[ColumnId::kSize] = subdir ? "<DIR>" : "1 500";
    table.columns.m_bRowIsSubdir = subdir;
    std::string out;
    w.FormatItemRow(table.columns, out, file);
    return out;
  }
};

TEST_F(CsvFixture, FieldsWithSeparatorQuotesOrLineEndsAreQuoted) {
  COvCsvOutput w(options, context);
  EXPECT_EQ(Item(w, "a;b", "txt"), "\"a;b\";txt;1 500");
  EXPECT_EQ(Item(w, "plain name", "txt"), "plain name;txt;1 500");
  EXPECT_EQ(Item(w, "say \"hi\"", ""), "\"say \"\"hi\"\"\";;1 500");
  EXPECT_EQ(Item(w, "two\nlines\r", "x"), "\"two\nlines\r\";x;1 500");
  // The brackets of a subdirectory go inside the quotes.
  EXPECT_EQ(Item(w, "x;y", "", true), "\"<x;y>\";;<DIR>");
  options.m_bSurroundSubdirs = 0;
  COvCsvOutput bare(options, context);
  EXPECT_EQ(Item(bare, "sub", "", true), "sub;;<DIR>");
}

TEST_F(CsvFixture, TabAndMultiByteSeparators) {
  options.m_strCsvSeparator = "\t";
  COvCsvOutput tab(options, context);
  EXPECT_EQ(Item(tab, "a\tb", "c;d"), "\"a\tb\"\tc;d\t1 500");
  options.m_strCsvSeparator = "\xC2\xA7";  // a section sign
  COvCsvOutput sect(options, context);
  EXPECT_EQ(Item(sect,
                 "a\xC2\xA7"
                 "b",
                 "t"),
            "\"a\xC2\xA7"
            "b\"\xC2\xA7t\xC2\xA7"
            "1 500");
  // Only the first character of a longer text separates; an empty text falls back to ";".
  EXPECT_EQ(CsvSeparator(", "), ",");
  EXPECT_EQ(CsvSeparator(""), ";");
  EXPECT_EQ(CsvSeparator("\xC3"), "\xC3");
}

TEST_F(CsvFixture, NameGroupColumnsAreSeparateFieldsInColumnOrder) {
  table.columns[ColumnId::kNumber].m_bShown = true;
  table.columns[ColumnId::kPath].m_bShown = true;
  // Size before the name group.
  for (int k = 0; k < 6; ++k)
    table.columns.slots[static_cast<std::size_t>(k)].m_nOrder =
        k == 0 ? ColumnId::kSize : ColumnFromNumber(k - 1);
  COvCsvOutput w(options, context);
  table.Clear();
  table[ColumnId::kNumber] = "1. ";
  table[ColumnId::kPath] = "/a;b/";
  table[ColumnId::kName] = "f";
  table[ColumnId::kExtension] = "txt";
  table[ColumnId::kSize] = "9";
  std::string out;
  w.FormatItemRow(table.columns, out, file);
  EXPECT_EQ(out, "9;1. ;\"/a;b/\";f;txt");
}

TEST_F(CsvFixture, DirectoryRowHoldsTheBareCount) {
  table.columns[ColumnId::kCount].m_bShown = true;
  COvCsvOutput w(options, context);
  table.Clear();
  table[ColumnId::kName] = "/data/x;y/";
  table[ColumnId::kCount] = "(1 234)";
  table[ColumnId::kSize] = "5";
  std::string out;
  w.FormatDirRow(table.columns, out, dir);
  EXPECT_EQ(out, "\"/data/x;y/\";;1 234;5");
  table[ColumnId::kCount] = "";
  w.FormatDirRow(table.columns, out, dir);
  EXPECT_EQ(out, "\"/data/x;y/\";;;5");
}

TEST_F(CsvFixture, HeaderTitlesSummaryAndFooter) {
  COvCsvOutput w(options, context);
  std::string h;
  table.Titles();
  table[ColumnId::kSize] = "Size; bytes";  // a renamed title holding the separator
  w.FormatHeader(table.columns, h);
  EXPECT_EQ(h, "Name;Extension;\"Size; bytes\"");

  options.m_bSummary = 1;
  context.m_strSummary = "Files: 2";
  COvCsvOutput top(options, context);
  top.FormatHeader(table.columns, h);
  EXPECT_TRUE(h.starts_with("Files: 2\nName;"));
  std::string f;
  top.FormatFooter(f);
  EXPECT_EQ(f, "");
  options.m_nSummaryPos = 1;
  options.m_bColumnNamesInHeader = 0;
  COvCsvOutput bottom(options, context);
  bottom.FormatHeader(table.columns, h);
  EXPECT_EQ(h, "");
  bottom.FormatFooter(f);
  EXPECT_EQ(f, "Files: 2\n");
}

// The bytes that reach the file: rows end in CR LF, a line feed inside a name stays a bare line
// feed inside its quoted field, in every encoding, and the summary line ends in CR LF too.
TEST_F(CsvFixture, LineFeedInsideAFieldStaysBareInTheFile) {
  test::TempDir dir;
  options.m_bSummary = 1;
  context.m_strSummary = "Files: 3";
  for (int enc : {kEncodingAnsi, kEncodingUtf8, kEncodingUtf16}) {
    options.m_nEncoding = enc;
    COvCsvOutput w(options, context);
    const std::string path = dir / ("out" + std::to_string(enc));
    table.Titles();
    ASSERT_TRUE(w.Open(path, true, table.columns));
    for (const char* name : {"a\nb", "say \"x\nyes\";\n", "\n", "plain"}) {
      std::string row = Item(w, name, "t\nx");
      row += '\n';
      w.WriteLine(row);
    }
    ASSERT_TRUE(w.Close());
    std::string want =
        "Files: 3\r\nName;Extension;Size\r\n"
        "\"a\nb\";\"t\nx\";1 500\r\n"
        "\"say \"\"x\nyes\"\";\n\";\"t\nx\";1 500\r\n"
        "\"\n\";\"t\nx\";1 500\r\n"
        "plain;\"t\nx\";1 500\r\n";
    if (enc == kEncodingUtf8) want = "\xEF\xBB\xBF" + want;
    if (enc == kEncodingUtf16) {
      std::string wide = "\xFF\xFE";
      for (char c : want) wide += {c, '\0'};
      want = wide;
    }
    EXPECT_EQ(test::ReadFile(path + ".csv"), want) << "encoding " << enc;
  }
}

}  // namespace
}  // namespace orvane
