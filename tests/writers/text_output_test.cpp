#include "writers/text_output.h"

#include <gtest/gtest.h>

#include "engine/columns.h"
#include "test_util.h"

namespace orvane {
namespace {

// A column table with Name (width 10) and a right-aligned Size (width 5).
struct Table {
  COutputColumns cols;
  ColumnArray<std::string> text;
  Table() {
    for (ColumnId i : kAllColumns) {
      cols[i].m_nOrder = i;
      cols[i].m_pText = &text[i];
      cols[i].m_nWidth = 1;
    }
    for (ColumnId f : {ColumnId::kNumber, ColumnId::kPath, ColumnId::kExtension, ColumnId::kCount})
      cols[f].m_bFolded = true;
    Show(ColumnId::kName, 10, kAlignLeft);
    Show(ColumnId::kSize, 5, kAlignRight);
  }
  void Show(ColumnId id, int width, int align) {
    cols[id].m_bShown = true;
    cols[id].m_nWidth = width;
    cols[id].m_nAlign = align;
  }
};

struct Writer {
  WriterOptions o;
  OutputContext ctx;
  std::string Item(Table& t) {
    COvTxtOutput w(o, ctx);
    std::string out;
    OutputEntry rec;
    w.FormatItemRow(t.cols, out, rec);
    return out;
  }
};

TEST(TextOutput, PadsCutsAndAligns) {
  Table t;
  Writer w;
  w.o.m_bWrapColumns = 0;
  t.text[ColumnId::kName] = "a";
  t.text[ColumnId::kExtension] = "txt";
  t.cols[ColumnId::kExtension].m_bShown = true;
  t.text[ColumnId::kSize] = "12";
  // "a.txt", 5 blanks of padding, the separating blank, 3 blanks and "12".
  EXPECT_EQ(w.Item(t), "a.txt         12");
  t.text[ColumnId::kName] = "averyveryverylongname";
  EXPECT_EQ(w.Item(t), "averyveryv    12");
  t.cols[ColumnId::kSize].m_nAlign = kAlignCenter;
  t.text[ColumnId::kName] = "x";
  t.cols[ColumnId::kExtension].m_bShown = false;
  EXPECT_EQ(w.Item(t), "x           12  ");
}

TEST(TextOutput, WrapsOverSeveralLines) {
  Table t;
  Writer w;
  w.o.m_bWrapColumns = 1;
  t.text[ColumnId::kName] = "abcdefghijklmnopqrstuvwxy";  // 25 characters in a width of 10
  t.text[ColumnId::kSize] = "7";
  EXPECT_EQ(w.Item(t), "abcdefghij     7\nklmnopqrst      \nuvwxy           ");
}

TEST(TextOutput, SubdirsInAngleBracketsAndDirRowCount) {
  Table t;
  Writer w;
  t.cols.m_bRowIsSubdir = true;
  t.text[ColumnId::kName] = "sub";
  t.text[ColumnId::kSize] = "<DIR>";
  EXPECT_EQ(w.Item(t), "<sub>      <DIR>");
  COvTxtOutput writer(w.o, w.ctx);
  t.cols[ColumnId::kCount].m_bShown = true;
  t.text[ColumnId::kName] = "/data/";
  t.text[ColumnId::kCount] = "(3)";
  t.text[ColumnId::kSize] = "";
  std::string out;
  writer.FormatDirRow(t.cols, out, OutputEntry());
  EXPECT_EQ(out, "/data/ (3)      ");
}

TEST(TextOutput, ControlCharactersKeepOneRowOneLine) {
  Table t;
  Writer w;
  t.text[ColumnId::kName] = "a\tb\nc\rd";
  t.text[ColumnId::kSize] = "1";
  EXPECT_EQ(w.Item(t), "a?b?c?d        1");
}

TEST(TextOutput, WidthsCountCharactersNotBytes) {
  Table t;
  Writer w;
  t.text[ColumnId::kName] = "\xC3\xA9t\xC3\xA9";  // été
  t.text[ColumnId::kSize] = "1";
  EXPECT_EQ(w.Item(t), "\xC3\xA9t\xC3\xA9            1");
}

TEST(TextOutput, HeaderSummaryAndMeasuring) {
  Table t;
  Writer w;
  w.o.m_bProgramInfoInHeader = 0;
  w.o.m_bColumnNamesInHeader = 0;
  w.o.m_bSummary = 1;
  w.ctx.m_strSummary = "Directories: 1";
  COvTxtOutput writer(w.o, w.ctx);
  std::string out;
  writer.FormatHeader(t.cols, out);
  EXPECT_EQ(out, "# Directories: 1\n");
  w.o.m_nSummaryPos = 1;
  writer.FormatHeader(t.cols, out);
  EXPECT_EQ(out, "");
  writer.FormatFooter(out);
  EXPECT_EQ(out, "\n# Directories: 1\n");

  w.o.m_bAutoColumnWidths = 1;
  w.ctx.m_bMeasuring = true;
  t.cols[ColumnId::kName].m_nWidth = 1;
  t.text[ColumnId::kName] = std::string(37, 'n');
  w.Item(t);
  EXPECT_EQ(t.cols[ColumnId::kName].m_nWidth, 37);
}

TEST(Output, EncodingsMarksAndLineEnds) {
  test::TempDir dir;
  for (int enc : {kEncodingAnsi, kEncodingUtf8, kEncodingUtf16}) {
    WriterOptions o;
    o.m_nEncoding = enc;
    o.m_bProgramInfoInHeader = 0;
    o.m_bColumnNamesInHeader = 0;
    OutputContext ctx;
    Table t;
    COvTxtOutput w(o, ctx);
    const std::string path = dir / ("out" + std::to_string(enc));
    ASSERT_TRUE(w.Open(path, true, t.cols));
    w.WriteLine("caf\xC3\xA9 \xE4\xB8\xAD\n");
    ASSERT_TRUE(w.Close());
    const std::string bytes = test::ReadFile(path + ".txt");
    std::string want;
    if (enc == kEncodingUtf8)
      want =
          "\xEF\xBB\xBF"
          "caf\xC3\xA9 \xE4\xB8\xAD\r\n";
    if (enc == kEncodingAnsi) want = "caf\xE9 ?\r\n";
    if (enc == kEncodingUtf16)
      want = std::string(
          "\xFF\xFE"
          "c\0a\0f\0\xE9\0 \0\x2D\x4E\r\0\n\0",
          18);
    EXPECT_EQ(bytes, want) << "encoding " << enc;
  }
}

TEST(Output, OpenFailsForAnUnwritablePath) {
  WriterOptions o;
  OutputContext ctx;
  Table t;
  COvTxtOutput w(o, ctx);
  EXPECT_FALSE(w.Open("/nonexistent-dir/x/listing.txt", false, t.cols));
}

}  // namespace
}  // namespace orvane
