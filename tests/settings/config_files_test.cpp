#include "settings/config_files.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::int64_t kNow = 1700000000;

struct Loaded {
  COptionPages pages{kNow};
  CNamedSettings named;
  TextReadStatus status = TextReadStatus::kOk;
  CListingOptions options;
};

Loaded Load(const std::string& path, bool batch = false) {
  Loaded l;
  CLoadContext context;
  context.m_bBatchMode = batch;
  l.status = LoadOptions(path, l.pages, l.named, context);
  CProgramOptions program;
  l.pages.Apply(l.options, program, kNow);
  return l;
}

// Changes controls of every kind away from their defaults.
void ChangeEverything(COptionPages& p, CNamedSettings& n) {
  p.SetCheck(1391, 0);
  p.SetCheck(1221, 1);
  p.SetText(1290, "44");
  p.SetCheck(1413, 1);
  p.SetCheck(1416, 1);
  p.SetText(kKeyHtmlTitle, " Photos | 2024 ");
  p.SetText(kKeyCssPath, "");
  p.SetSelection(1246, 4);
  p.SetCheck(1213, 1);
  p.SetSelection(1252, 4);
  p.SetCheck(1504, 0);
  p.SetCheck(1505, 1);
  p.SetCheck(kKeyDateBefore, 1);
  p.SetMoment(kKeyBeforePicker, 1234567890);
  p.ColumnOrder().Move(12, 0);
  p.ColumnOrder().SetAlign(0, 2);
  p.Styles()[kStyleHeader].lfFont.lfFaceName = "DejaVu Sans";
  p.Styles()[kStyleEvenRow].crColor = 0x123456;
  p.Styles()[kStyleFrame].nSize = 3;
  p.SetCheck(kKeyRemember, 0);
  n.m_window = std::array<int, 9>{1, -1, -1, -8, -8, 10, 20, 810, 620};
  n.m_splitters = std::array<int, 4>{200, 10, 180, 10};
  n.m_strLanguage = "Deutsch";
  n.m_bOpenAfterSave = 1;
}

TEST(ConfigFiles, FullRoundTripGivesIdenticalFiles) {
  TempDir dir;
  COptionPages pages(kNow);
  CNamedSettings named;
  ChangeEverything(pages, named);
  ASSERT_TRUE(SaveOptions(dir / "a.ovc", true, pages, named));
  Loaded l = Load(dir / "a.ovc");
  ASSERT_EQ(l.status, TextReadStatus::kOk);
  ASSERT_TRUE(SaveOptions(dir / "b.ovc", true, l.pages, l.named));
  EXPECT_EQ(ReadFile(dir / "a.ovc"), ReadFile(dir / "b.ovc"));
  EXPECT_EQ(l.options.m_bColumn[5], 0);
  EXPECT_EQ(l.options.m_nColumnWidth[15], 44);
  EXPECT_EQ(l.options.m_nOutputType, kOutputHtml);
  EXPECT_EQ(l.options.m_strHtmlTitle, " Photos | 2024 ");
  EXPECT_EQ(l.options.m_chThousandSep, "'");
  EXPECT_EQ(l.options.m_bFileSortDesc[1], 1);
  EXPECT_EQ(l.options.m_nAttrReadOnly, 1);
  EXPECT_EQ(l.options.m_tBefore, 1234567890);
  EXPECT_EQ(l.options.m_columnOrder[0], ColumnId::kCopyright);  // list entry 12 moved to the front
  EXPECT_EQ(l.options.m_nAlign[16], 2);
  EXPECT_EQ(l.options.m_htmlStyle[kStyleHeader].lfFont.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(l.options.m_htmlStyle[kStyleEvenRow].crColor, 0x123456u);
  EXPECT_EQ(l.options.m_htmlStyle[kStyleFrame].nSize, 3);
  EXPECT_EQ(l.pages.Check(kKeyRemember), 0);
  EXPECT_EQ(l.named.m_window, named.m_window);
  EXPECT_EQ(l.named.m_strLanguage, "Deutsch");
  EXPECT_EQ(l.named.m_bOpenAfterSave, 1);
  // Layout of a new file: one section, the style keys where the output page begins.
  const std::string text = ReadFile(dir / "a.ovc");
  EXPECT_EQ(text.rfind("[Settings]\n1366=0\n1388=0\n1389=1\n1281=60\n", 0), 0u);
  EXPECT_NE(text.find("1267=0\n1306=30\n105=0\n1204=16777215\n1205=3\n1200="), std::string::npos);
  EXPECT_NE(text.find("1422=\n"), std::string::npos);  // an empty edit is written
  EXPECT_NE(text.find("\nLanguage=Deutsch\n1517=1\n"), std::string::npos);
}

TEST(ConfigFiles, SavingKeepsUnknownKeysAndSections) {
  TempDir dir;
  WriteFile(dir / "s.ini", "[Settings]\r\n9999=old\r\n1391=1\r\n[Extra]\r\nk=v\r\n");
  COptionPages pages(kNow);
  pages.SetCheck(1391, 0);
  ASSERT_TRUE(SaveOptions(dir / "s.ini", true, pages, CNamedSettings{}));
  const std::string text = ReadFile(dir / "s.ini");
  EXPECT_EQ(text.rfind("[Settings]\n9999=old\n1391=0\n", 0), 0u);
  EXPECT_NE(text.find("[Extra]\nk=v\n"), std::string::npos);
  EXPECT_EQ(text.find("Window="), std::string::npos);  // never known, never written
}

TEST(ConfigFiles, OnlyTheKeysPresentChangeControls) {
  TempDir dir;
  WriteFile(dir / "only.ovc", "[Settings]\n1391=0\n");
  Loaded l = Load(dir / "only.ovc");
  CListingOptions d;
  EXPECT_EQ(l.options.m_bColumn[5], 0);
  EXPECT_EQ(l.options.m_bColumn[7], 1);
  EXPECT_EQ(l.options.m_strHtmlTitle, d.m_strHtmlTitle);
  EXPECT_EQ(l.named.m_strLanguage, "English");
  EXPECT_FALSE(l.named.m_window.has_value());
}

TEST(ConfigFiles, ReusingKeptChecksumsIsOffUntilAConfigurationTurnsItOn) {
  TempDir dir;
  WriteFile(dir / "none.ovc", "[Settings]\n");
  WriteFile(dir / "reuse.ovc", "[Settings]\n1600=1\n");
  EXPECT_EQ(Load(dir / "none.ovc").options.m_bReuseChecksums, 0);
  Loaded l = Load(dir / "reuse.ovc");
  EXPECT_EQ(l.options.m_bReuseChecksums, 1);
  EXPECT_EQ(l.pages.Find(1600)->m_page, OptionPage::kProgram);
}

TEST(ConfigFiles, EmptyValuesRestoreNothingAndNonNumbersReadAsZero) {
  TempDir dir;
  WriteFile(dir / "odd.ovc",
            "[settings]\n1420=\n1410=\n1402=abc\n1490=\n1250=x\n1281=wide\n1442=\n"
            "1494=soon\n1512=1\n1200=\nLanguage=\n1517=\nWindow=3|1\n");
  Loaded l = Load(dir / "odd.ovc");
  EXPECT_EQ(l.options.m_strHtmlTitle, "Orvane v1.0 listing");
  EXPECT_EQ(l.options.m_strMask, "*.*");
  EXPECT_EQ(l.options.m_bDirRows, 0);
  EXPECT_EQ(l.options.m_nEncoding, kEncodingUtf8);
  EXPECT_EQ(l.options.m_nSizePrecision, 0);
  EXPECT_EQ(l.options.m_nNameWidth, 1);
  EXPECT_EQ(l.options.m_tAfter, 0);
  EXPECT_EQ(l.options.m_columnOrder, CListingOptions().m_columnOrder);
  EXPECT_EQ(l.options.m_htmlStyle[kStyleHeader].crColor, 0x804040u);
  EXPECT_EQ(l.named.m_strLanguage, "English");
  ASSERT_TRUE(l.named.m_window.has_value());
  EXPECT_EQ((*l.named.m_window)[0], 3);
  EXPECT_EQ((*l.named.m_window)[8], 0);
}

TEST(ConfigFiles, Utf16FileWithCrLf) {
  TempDir dir;
  std::u16string text = u"[Settings]\r\n1420=Fotos \u00e4\u00f6\r\n1413=1\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  WriteFile(dir / "u16.ovc", bytes);
  Loaded l = Load(dir / "u16.ovc");
  EXPECT_EQ(l.options.m_strHtmlTitle, "Fotos \xC3\xA4\xC3\xB6");
  EXPECT_EQ(l.options.m_nOutputType, kOutputHtml);
}

TEST(ConfigFiles, StyleFileHoldsOnlyTheAppearance) {
  TempDir dir;
  COptionPages pages(kNow);
  pages.SetCheck(kKeyExternalCss, 1);
  pages.SetText(kKeyCssPath, "/srv/style.css");
  pages.Styles()[kStyleOddRow].lfFont.lfFaceName = std::string(40, 'L');
  ASSERT_TRUE(SaveOptions(dir / "s.ovh", false, pages, CNamedSettings{}));
  const std::string text = ReadFile(dir / "s.ovh");
  EXPECT_EQ(text.rfind("[Settings]\n105=0\n1204=16777215\n1205=1\n1200=", 0), 0u);
  EXPECT_NE(text.find("\n1202=16771304|0|-11|"), std::string::npos);
  EXPECT_NE(text.find("\n1421=1\n1422=/srv/style.css\n"), std::string::npos);
  EXPECT_EQ(text.find("1391"), std::string::npos);
  EXPECT_EQ(text.find("Language"), std::string::npos);
  // Loading it over changed pages touches only the style and the style sheet.
  COptionPages other(kNow);
  other.SetCheck(1391, 0);
  other.SetCheck(1413, 1);
  CNamedSettings named;
  named.m_strLanguage = "Deutsch";
  ASSERT_EQ(LoadOptions(dir / "s.ovh", other, named, {}), TextReadStatus::kOk);
  EXPECT_EQ(other.Check(1391), 0);
  EXPECT_EQ(other.Check(kKeyExternalCss), 1);
  EXPECT_EQ(other.Text(kKeyCssPath), "/srv/style.css");
  EXPECT_EQ(other.Styles()[kStyleOddRow].lfFont.lfFaceName, std::string(31, 'L'));
  EXPECT_EQ(named.m_strLanguage, "Deutsch");
}

TEST(ConfigFiles, StyleKeysAreReadAtTheOutputPage) {
  TempDir dir;
  // The Size box (1436) is read after the style keys and sets the selected element's size.
  WriteFile(dir / "a.ovc", "[Settings]\n1251=5\n1436=4\n1205=2\n1201=255|0|20\n");
  Loaded l = Load(dir / "a.ovc");
  EXPECT_EQ(l.options.m_htmlStyle[kStyleFrame].nSize, 4);
  EXPECT_EQ(l.options.m_htmlStyle[kStyleDirectory].crColor, 255u);
  EXPECT_EQ(l.options.m_htmlStyle[kStyleDirectory].nSize, -15);
  EXPECT_EQ(l.options.m_htmlStyle[kStyleDirectory].lfFont.lfFaceName, "Tahoma");
}

TEST(ConfigFiles, WindowStateIsHiddenInBatchMode) {
  TempDir dir;
  WriteFile(dir / "w.ini", "[Settings]\nWindow=3|-1|-1|-8|-8|10|20|810|620\nSplitters=1|2|3\n");
  EXPECT_EQ((*Load(dir / "w.ini").named.m_window)[0], 3);
  Loaded batch = Load(dir / "w.ini", true);
  EXPECT_EQ((*batch.named.m_window)[0], 0);
  EXPECT_EQ((*batch.named.m_window)[8], 620);
  EXPECT_EQ(*batch.named.m_splitters, (std::array<int, 4>{1, 2, 3, 0}));
}

TEST(ConfigFiles, UnreadableFilesChangeNothing) {
  TempDir dir;
  WriteFile(dir / "bin.ovc", std::string("\x7f"
                                         "ELF\0\0\0[Settings]\n1391=0\n",
                                         24));
  EXPECT_EQ(Load(dir / "bin.ovc").status, TextReadStatus::kNotText);
  EXPECT_EQ(Load(dir / "bin.ovc").options.m_bColumn[5], 1);
  EXPECT_EQ(Load(dir / "none.ovc").status, TextReadStatus::kMissing);
  EXPECT_EQ(Load(dir.path()).status, TextReadStatus::kUnreadable);
  WriteFile(dir / "big.ovc", "[Settings]\n1391=0\n" + std::string(kMaxProfileFileSize, ';'));
  Loaded big = Load(dir / "big.ovc");
  EXPECT_EQ(big.status, TextReadStatus::kTooLarge);
  EXPECT_EQ(big.options.m_bColumn[5], 1);
  // Saving over a folder fails and leaves it.
  COptionPages pages(kNow);
  EXPECT_FALSE(SaveOptions(dir.path(), true, pages, CNamedSettings{}));
}

TEST(ConfigFiles, QuickConfigurations) {
  TempDir dir;
  for (int i = 0; i < 70; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "conf%02d.ovc", i);
    WriteFile(dir / name, "[Settings]\n1391=0\n");
  }
  WriteFile(dir / "upper.OVC", "");
  WriteFile(dir / "notes.txt", "");
  std::vector<std::string> names = ListQuickConfigurations(dir.path());
  ASSERT_EQ(names.size(), 70u);
  EXPECT_EQ(names[0], "conf00");
  EXPECT_EQ(QuickConfigurationPath(dir.path(), names, 64), dir / "conf64.ovc");
  EXPECT_EQ(QuickConfigurationPath(dir.path(), names, 65), "");
  EXPECT_EQ(QuickConfigurationPath(dir.path(), names, -1), "");
  EXPECT_EQ(FindQuickConfiguration(dir.path(), "conf03"), dir / "conf03.ovc");
  EXPECT_EQ(FindQuickConfiguration(dir.path(), "nope"), "");
  EXPECT_TRUE(ListQuickConfigurations(dir / "missing").empty());
}

TEST(ConfigFiles, SampleQuickConfigurationsLoad) {
  const std::string data = std::string(ORVANE_SOURCE_DIR) + "/data/";
  std::vector<std::string> names = ListQuickConfigurations(data);
  ASSERT_GE(names.size(), 3u);
  Loaded html = Load(FindQuickConfiguration(data, "HTML catalogue"));
  ASSERT_EQ(html.status, TextReadStatus::kOk);
  EXPECT_EQ(html.options.m_nOutputType, kOutputHtml);
  EXPECT_EQ(html.options.m_bLinksToFiles, 1);
  EXPECT_EQ(html.options.m_bLinksToDirs, 1);
  Loaded csv = Load(FindQuickConfiguration(data, "CSV inventory"));
  ASSERT_EQ(csv.status, TextReadStatus::kOk);
  EXPECT_EQ(csv.options.m_nOutputType, kOutputCsv);
  EXPECT_EQ(csv.options.m_bColumn[ColumnId::kSize], 1);
  EXPECT_EQ(csv.options.m_bColumn[ColumnId::kLastWrite], 1);
  EXPECT_EQ(csv.options.m_bColumn[ColumnId::kPath], 1);
  Loaded hashes = Load(FindQuickConfiguration(data, "Text with hashes"));
  ASSERT_EQ(hashes.status, TextReadStatus::kOk);
  EXPECT_EQ(hashes.options.m_nOutputType, kOutputText);
  EXPECT_EQ(hashes.options.m_bColumn[ColumnId::kMd5], 1);
  EXPECT_EQ(hashes.options.m_bColumn[ColumnId::kSha1], 1);
}

}  // namespace
}  // namespace orvane
