#include "writers/html_output.h"

#include <gtest/gtest.h>

#include <deque>

#include "column_table.h"
#include "platform/codepage.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ColumnTable;

struct HtmlFixture : ::testing::Test {
  WriterOptions options;
  OutputContext context;
  ColumnTable table{ColumnId::kSize, ColumnId::kLastWrite};
  const std::string dirPath = "/data/photos";
  OutputEntry dir;                // the row of /data/photos
  std::deque<std::string> texts;  // what the entries' names point at

  HtmlFixture() {
    options.m_nOutputType = kOutputHtml;
    options.m_nEncoding = kEncodingUtf8;
    context.m_tNow = 1204380300;  // 2008-03-01
    dir.number = 3;
  }
  OutputEntry File(const std::string& name, const std::string& ext) {
    OutputEntry f;
    f.name = texts.emplace_back(name);
    f.ext = texts.emplace_back(ext);
    f.hasDot = !ext.empty();
    f.inDir = true;
    f.dirPath = dirPath;
    return f;
  }
  // One item row for a file whose Name and Extension cells are given.
  std::string ItemRow(COvHtmlOutput& w, const OutputEntry& f, bool subdir = false) {
    table.Clear();
    table[ColumnId::kName] = std::string(f.name);
    table[ColumnId::kExtension] = std::string(f.ext);
    table[ColumnId::kPath] = dirPath + "/";
    table[ColumnId::kSize] = subdir ? "<DIR>" : "12";
    table.columns.m_bRowIsSubdir = subdir;
    std::string out;
    w.FormatItemRow(table.columns, out, f);
    return out;
  }
  std::string Header(COvHtmlOutput& w) {
    table.Titles();
    std::string out;
    w.FormatHeader(table.columns, out);
    return out;
  }
};

TEST_F(HtmlFixture, HeaderListsSelectorsColumnsAndSpansForShownColumns) {
  COvHtmlOutput w(options, context);
  const std::string h = Header(w);
  EXPECT_NE(h.find(".fc,.ff,.fh,.i,TD{background-color:#d0d0ff;"), std::string::npos);
  EXPECT_NE(h.find(".ac,.af,.ah,.i{background-color:#e8e8ff;"), std::string::npos);
  EXPECT_NE(h.find(".kc,.kf,.kh,.q{background-color:#404080;"), std::string::npos);
  EXPECT_NE(h.find(".af, .ff, .kf{text-align:right;}\n"), std::string::npos);
  EXPECT_NE(h.find("charset=UTF-8\">\n<TITLE>Orvane v1.0 listing</TITLE>"), std::string::npos);
  EXPECT_NE(h.find("<TABLE>\n<COL>\n<COL>\n<COL>\n<COL>\n<tr>\n<td colspan=4 class=\"header\">\n"
                   "Generated on 2008-0"),
            std::string::npos);
  EXPECT_NE(h.find("<th class=\"headerq\">Name</th><th class=\"headerkf\">Size</th>"
                   "<th class=\"headerkh\">Last write date</th>"),
            std::string::npos);
  EXPECT_EQ(w.ColumnCount(), 4);
  EXPECT_TRUE(h.starts_with("<HTML>\n<HEAD>\n<META HTTP-EQUIV=\"Content-Type\""));

  options.m_bColumnNamesInHeader = 0;
  options.m_bProgramInfoInHeader = 0;
  COvHtmlOutput bare(options, context);
  EXPECT_TRUE(Header(bare).ends_with("<TABLE>\n<COL>\n<COL>\n<COL>\n<COL>\n"));
}

TEST_F(HtmlFixture, TitlesSummaryAndCellsAreEscaped) {
  options.m_strHtmlTitle = "<script>alert(1)</script> & co";
  options.m_bSummary = 1;
  context.m_strSummary = "Files: <2> & \"more\"";
  table[ColumnId::kSize] = "S<i>ze";
  COvHtmlOutput w(options, context);
  table.Titles();
  table[ColumnId::kSize] = "S<i>ze";
  std::string h;
  w.FormatHeader(table.columns, h);
  EXPECT_EQ(h.find("<script>"), std::string::npos);
  EXPECT_NE(h.find("<TITLE>&lt;script&gt;alert(1)&lt;/script&gt; &amp; co</TITLE>"),
            std::string::npos);
  EXPECT_NE(h.find("<TD colspan=4 class=\"header\">\nFiles: &lt;2&gt; &amp; &quot;more&quot;</td>"),
            std::string::npos);
  EXPECT_NE(h.find(">S&lt;i&gt;ze</th>"), std::string::npos);

  OutputEntry f = File("x", "txt");
  table.Clear();
  table[ColumnId::kName] = "x";
  table[ColumnId::kLastWrite] = "</td><b>";
  std::string row;
  w.FormatItemRow(table.columns, row, f);
  EXPECT_NE(row.find("<td class=\"ah\">&lt;/td&gt;&lt;b&gt;</td>"), std::string::npos);
}

TEST_F(HtmlFixture, NamesKeepBlankPairsAndEscapeMarkup) {
  COvHtmlOutput w(options, context);
  Header(w);
  const std::string row = ItemRow(w, File("R&D  x <img src=\"y\">", ""));
  EXPECT_NE(row.find("<td class=\"i\">R&amp;D&nbsp;&nbsp;x &lt;img src=&quot;y&quot;&gt;</td>"),
            std::string::npos);
  std::string s;
  AppendHtmlEscaped(s, "a   b", true);
  EXPECT_EQ(s, "a&nbsp;&nbsp; b");
  s.clear();
  AppendHtmlEscaped(s, "a  b", false);
  EXPECT_EQ(s, "a  b");
}

TEST_F(HtmlFixture, RowsAlternateParityAfterEachDirectoryRow) {
  COvHtmlOutput w(options, context);
  Header(w);
  table.Clear();
  table[ColumnId::kName] = "/data/photos/";
  std::string d;
  w.FormatDirRow(table.columns, d, dir);
  EXPECT_EQ(d,
            "<tr><td class=\"q\">/data/photos/</td><td class=\"kf\"></td>"
            "<td class=\"kh\"></td></tr>");
  const std::string r1 = ItemRow(w, File("a", "txt"));
  const std::string r2 = ItemRow(w, File("b", "txt"));
  const std::string r3 = ItemRow(w, File("c", "txt"));
  EXPECT_EQ(r1, "<tr><td class=\"i\">a</td><td class=\"af\">12</td><td class=\"ah\"></td></tr>");
  EXPECT_EQ(r2, "<tr><td class=\"a\">b</td><td class=\"ff\">12</td><td class=\"fh\"></td></tr>");
  EXPECT_NE(r3.find("<td class=\"i\">c</td><td class=\"af\">"), std::string::npos);
  w.FormatDirRow(table.columns, d, dir);
  EXPECT_TRUE(w.OddRow());
}

TEST_F(HtmlFixture, SubdirectorySizeShowsDirOnceEscaped) {
  COvHtmlOutput w(options, context);
  Header(w);
  const std::string r = ItemRow(w, File("sub", ""), true);
  EXPECT_NE(r.find("<td class=\"i\">&lt;sub&gt;</td><td class=\"af\">&lt;DIR&gt;</td>"),
            std::string::npos);
  // A Size cell already in page form is not escaped twice.
  table[ColumnId::kSize] = "&lt;DIR&gt;";
  table.columns.m_bRowIsSubdir = true;
  std::string again;
  OutputEntry sub = File("sub", "");
  w.FormatItemRow(table.columns, again, sub);
  EXPECT_NE(again.find(">&lt;DIR&gt;</td>"), std::string::npos);
  EXPECT_EQ(again.find("&amp;lt;"), std::string::npos);
}

TEST_F(HtmlFixture, FileLinksArePercentEncodedAndNameTheRealFile) {
  options.m_bLinksToFiles = 1;
  options.m_bFileProtocolInLinks = 1;
  COvHtmlOutput w(options, context);
  Header(w);
  // The Extension column is not shown: the link still names the file with its extension.
  const std::string r = ItemRow(w, File("a b#?\"><x%", "txt"));
  EXPECT_NE(r.find("<a class=\"z\" href=\"file:///data/photos/a%20b%23%3F%22%3E%3Cx%25.txt\">"
                   "a b#?&quot;&gt;&lt;x%</a>"),
            std::string::npos);
  std::string u;
  AppendUrlEncoded(u, "/d/\xC3\xA9t\xC3\xA9 1:2/~a_b-c.d");
  EXPECT_EQ(u, "/d/%C3%A9t%C3%A9%201%3A2/~a_b-c.d");

  // From the top-checked directory the target is relative: the leading "/" goes.
  options.m_nPathForm = kPathFromTop;
  options.m_bFileProtocolInLinks = 0;
  COvHtmlOutput rel(options, context);
  Header(rel);
  table.Clear();
  table[ColumnId::kName] = "f";
  table[ColumnId::kPath] = "/photos/";
  OutputEntry f = File("f", "");
  std::string row;
  rel.FormatItemRow(table.columns, row, f);
  EXPECT_NE(row.find("href=\"photos/f\""), std::string::npos);
}

TEST_F(HtmlFixture, SubdirectoryLinksPointAtTheirAnchors) {
  options.m_bLinksToFiles = 1;
  options.m_bLinksToSubdirsInside = 1;
  OutputEntry target;
  target.number = 7;
  COvHtmlOutput w(options, context);
  w.SetDirLookup(
      [&](const std::string& key) { return key == "/data/photos/2008 & co" ? target.number : -1; });
  Header(w);
  EXPECT_NE(ItemRow(w, File("2008 & co", ""), true).find("<a class=\"z\" href=\"#7\">&lt;2008"),
            std::string::npos);
  // Not listed: an anchor with a class and no target.
  EXPECT_NE(ItemRow(w, File("other", ""), true).find("<a class=\"y\">&lt;other&gt;</a>"),
            std::string::npos);
  table.Clear();
  table[ColumnId::kName] = "/data/photos/2008 & co/";
  std::string d;
  w.FormatDirRow(table.columns, d, target);
  EXPECT_TRUE(d.starts_with("<tr><td class=\"q\" id=\"7\">/data/photos/2008 &amp; co/</td>"));
}

TEST_F(HtmlFixture, DirectoryRowsLinkAndShowTheCount) {
  options.m_bLinksToDirs = 1;
  table.columns[ColumnId::kCount].m_bShown = true;
  COvHtmlOutput w(options, context);
  Header(w);
  table.Clear();
  table[ColumnId::kName] = "/data/a  b/";
  table[ColumnId::kCount] = "(1 234)";
  std::string d;
  w.FormatDirRow(table.columns, d, dir);
  EXPECT_NE(d.find("<td class=\"q\"><a class=\"a1\" href=\"/data/a%20%20b/\">"
                   "/data/a&nbsp;&nbsp;b/ (1 234)</a></td>"),
            std::string::npos);
}

TEST_F(HtmlFixture, AnsiWritesReferencesForCharactersTheCodePageLacks) {
  options.m_nEncoding = kEncodingAnsi;
  COvHtmlOutput w(options, context);
  Header(w);
  const std::string r = ItemRow(w, File("\xF0\x9F\x98\x80 x\xFF", ""));
  EXPECT_NE(r.find(">&#128512; x&#65533;</td>"), std::string::npos);
  // A character the code page holds stays a character.
  const std::string e = "\xC3\xA9";
  const bool holds = Utf8ToCodePage(e, AnsiCodePage()) != "?";
  const std::string r2 = ItemRow(w, File(e, ""));
  EXPECT_NE(r2.find(holds ? ">" + e + "</td>" : ">&#233;</td>"), std::string::npos);
}

TEST_F(HtmlFixture, FooterCarriesTheBottomSummary) {
  options.m_bSummary = 1;
  options.m_nSummaryPos = 1;
  context.m_strSummary = "Files: 3";
  COvHtmlOutput w(options, context);
  Header(w);
  std::string f;
  w.FormatFooter(f);
  EXPECT_EQ(f,
            "<tr><TD colspan=4 class=\"header\">\nFiles: 3</td></tr>\n</TABLE>\n</BODY>\n</HTML>");
  options.m_bSummary = 0;
  w.FormatFooter(f);
  EXPECT_EQ(f, "</TABLE>\n</BODY>\n</HTML>");
}

TEST_F(HtmlFixture, ExternalStyleSheetIsCopiedWhenReadable) {
  test::TempDir tmp;
  test::WriteFile(tmp / "x.css", "\xEF\xBB\xBF.q{color:red;}\r\nTD{x:y}");
  options.m_bExternalCss = 1;
  options.m_strCssPath = tmp / "x.css";
  COvHtmlOutput w(options, context);
  EXPECT_NE(Header(w).find(".i, .a, .q{white-space:normal;}\n.q{color:red;}\nTD{x:y}\n-->\n"),
            std::string::npos);
  options.m_strCssPath = tmp / "missing.css";
  COvHtmlOutput missing(options, context);
  EXPECT_NE(Header(missing).find(".i, .a, .q{white-space:normal;}\n-->\n"), std::string::npos);
}

}  // namespace
}  // namespace orvane
