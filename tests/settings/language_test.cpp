#include "settings/language.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/strings.h"
#include "engine/columns.h"
#include "platform/codepage.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::TempDir;
using test::WriteFile;

std::vector<std::uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

CTranslationMap MapOf(std::string_view text) {
  CTranslationMap map;
  EXPECT_EQ(map.LoadBytes(Bytes(text)), TextReadStatus::kOk);
  return map;
}

// Puts the built-in English texts and column names back after a test that loads a language.
class Languages : public ::testing::Test {
 protected:
  ~Languages() override {
    RestoreBuiltInTexts();
    for (ColumnId id : kAllColumns) SetColumnName(id, ColumnSpecOf(id).header);
  }
  void WriteReference(const std::string& text) { WriteFile(m_dir / kReferenceFileName, text); }
  TempDir m_dir;
};

TEST(TranslationMap, PiecesAreTranslatedWholeAndExactly) {
  CTranslationMap map = MapOf("Files=Dateien\nAll files (*.*)=Alle Dateien (*.*)\n");
  EXPECT_EQ(map.Translate("Files"), "Dateien");
  EXPECT_EQ(map.Translate("Files|x|Files"), "Dateien|x|Dateien");
  EXPECT_EQ(map.Translate("Text files (*.txt)|*.txt|All files (*.*)|*.*"),
            "Text files (*.txt)|*.txt|Alle Dateien (*.*)|*.*");
  // A longer piece holding the word, or the word in another case, stays as it is.
  EXPECT_EQ(map.Translate("Files here|files"), "Files here|files");
  EXPECT_EQ(map.Translate(""), "");
  EXPECT_EQ(map.Translate("||"), "||");
}

TEST(TranslationMap, LinesSplitAtTheFirstEqualsSignAndNothingIsTrimmed) {
  CTranslationMap map = MapOf(
      "a=b=c\r\n"
      " Size = Größe \n"
      "no equals sign here\n"
      "\n"
      "Empty=\n"
      "=nothing\n"
      "Twice=first\n"
      "Twice=second");
  EXPECT_EQ(map.Translate("a"), "b=c");
  EXPECT_EQ(map.Translate(" Size "), " Größe ");
  EXPECT_EQ(map.Translate("Size"), "Size");
  EXPECT_EQ(map.Translate("no equals sign here"), "no equals sign here");
  EXPECT_EQ(map.Translate("Empty|x"), "|x");
  EXPECT_EQ(map.Translate(""), "nothing");  // the empty English text is a key like any other
  EXPECT_EQ(map.Translate("Twice"), "second");
  EXPECT_EQ(map.Size(), 5u);
}

TEST(TranslationMap, ProgramNameReplacesThePlaceholderAfterTranslation) {
  CTranslationMap map = MapOf("%ov selection files (*.ovs)=%ov-Auswahldateien (*.ovs)\n");
  EXPECT_EQ(map.Translate("%ov selection files (*.ovs)|*.ovs"),
            "Orvane-Auswahldateien (*.ovs)|*.ovs");
  EXPECT_EQ(map.Translate("About %ov"), "About Orvane");
}

TEST(TranslationMap, EncodingsOfTheFile) {
  const std::string utf8 = "Size=Größe\n";
  EXPECT_EQ(MapOf(utf8).Translate("Size"), "Größe");
  EXPECT_EQ(MapOf("\xEF\xBB\xBF" + utf8).Translate("Size"), "Größe");
  // Without a mark, bytes that are not UTF-8 are text of the ANSI code page.
  const std::string ansi =
      "Size=Gr\xF6\xDF"
      "e\n";
  EXPECT_EQ(MapOf(ansi).Translate("Size"), AnsiToUtf8(std::string("Gr\xF6\xDF") + "e"));
  if (AnsiCodePage() == 1252) {
    EXPECT_EQ(MapOf(ansi).Translate("Size"), "Größe");
  }
  // After a UTF-8 mark a stray byte is one bad character, not a reason to change the code page.
  EXPECT_EQ(MapOf("\xEF\xBB\xBFSize=Gr\xF6ße\n").Translate("Size"), "Gr\xEF\xBF\xBDße");
  std::u16string wide = u"Files=Fichiers\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : wide) utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  EXPECT_EQ(MapOf(utf16).Translate("Files"), "Fichiers");
}

TEST(TranslationMap, FilesThatAreNoLanguageFilesLeaveTheMapEmpty) {
  CTranslationMap map = MapOf("Files=Dateien\n");
  EXPECT_EQ(map.LoadBytes(Bytes(std::string("Files=Da\0teien\n", 15))), TextReadStatus::kNotText);
  EXPECT_EQ(map.Size(), 0u);
  std::string huge(kMaxLanguageFileSize + 1, 'x');
  EXPECT_EQ(map.LoadBytes(Bytes(huge)), TextReadStatus::kTooLarge);
  TempDir dir;
  EXPECT_EQ(map.Load(dir / "none.lng"), TextReadStatus::kMissing);
  std::filesystem::create_directories(dir / "folder.lng");
  EXPECT_EQ(map.Load(dir / "folder.lng"), TextReadStatus::kUnreadable);
}

TEST_F(Languages, LoadingAppliesTheStringTableAndTheColumnNames) {
  WriteReference(
      "[5001]\nHint=Files\n"
      "[5002]\nHint=Directories\n"
      "[5017]\nHint=\n"
      "[5003]\nHint=%ov selection files (*.ovs)|*.ovs\n"
      "[1442]\nCaption=Number|Path|Name\n");
  WriteFile(m_dir / "Deutsch.lng",
            "Files=Dateien\nName=Dateiname\nSize=Größe\n"
            "%ov selection files (*.ovs)=%ov-Auswahldateien (*.ovs)\n");
  CLanguage language;
  ASSERT_EQ(LoadLanguage(m_dir.path(), "Deutsch", language), TextReadStatus::kOk);
  EXPECT_EQ(language.Name(), "Deutsch");
  EXPECT_EQ(GetText(5001), "Dateien");
  EXPECT_EQ(GetText(5002), "Directories");  // no translation: stays English
  EXPECT_EQ(GetText(5017), "Size");         // an empty reference text keeps the table's text
  EXPECT_EQ(GetText(5003), "Orvane-Auswahldateien (*.ovs)|*.ovs");
  EXPECT_EQ(GetText(5008), "Generated on");  // not in Reference.ini: unchanged
  EXPECT_EQ(ColumnInfo(ColumnId::kName).m_strName, "Dateiname");
  // A column list caption with fewer pieces than columns leaves the later names as they were.
  EXPECT_EQ(ColumnInfo(ColumnId::kExtension).m_strName, "Extension");
  EXPECT_EQ(ColumnInfo(ColumnId::kSize).m_strName, "Size");
}

TEST_F(Languages, SwitchingBackToEnglishRestoresTheEnglishTexts) {
  WriteReference("[5001]\nHint=Files\n[1442]\nCaption=Number|Path|Name\n");
  WriteFile(m_dir / "Deutsch.lng", "Files=Dateien\nName=Dateiname\n");
  WriteFile(m_dir / "English.lng", "; English: the texts of Reference.ini as they are\n");
  CLanguage language;
  ASSERT_EQ(LoadLanguage(m_dir.path(), "Deutsch", language), TextReadStatus::kOk);
  ASSERT_EQ(GetText(5001), "Dateien");
  ASSERT_EQ(LoadLanguage(m_dir.path(), "English", language), TextReadStatus::kOk);
  EXPECT_EQ(language.Map().Size(), 0u);
  EXPECT_EQ(GetText(5001), "Files");
  EXPECT_EQ(ColumnInfo(ColumnId::kName).m_strName, "Name");
}

TEST_F(Languages, AMissingOrStrangeLanguageChangesNothing) {
  WriteReference("[5001]\nHint=Files\n");
  WriteFile(m_dir / "Deutsch.lng", "Files=Dateien\n");
  WriteFile(m_dir / "sub/Other.lng", "Files=Andere\n");
  CLanguage language;
  ASSERT_EQ(LoadLanguage(m_dir.path(), "Deutsch", language), TextReadStatus::kOk);
  EXPECT_EQ(LoadLanguage(m_dir.path(), "Klingon", language), TextReadStatus::kMissing);
  EXPECT_EQ(LoadLanguage(m_dir.path(), "sub/Other", language), TextReadStatus::kMissing);
  EXPECT_EQ(LoadLanguage(m_dir.path(), "", language), TextReadStatus::kMissing);
  EXPECT_EQ(LoadLanguage("", "Deutsch", language), TextReadStatus::kMissing);
  WriteFile(m_dir / "Binary.lng", std::string("Files=\0\0", 8));
  EXPECT_EQ(LoadLanguage(m_dir.path(), "Binary", language), TextReadStatus::kNotText);
  EXPECT_EQ(language.Name(), "Deutsch");
  EXPECT_EQ(GetText(5001), "Dateien");
}

TEST_F(Languages, WithoutReferenceTheMapLoadsButNoTextChanges) {
  WriteFile(m_dir / "Deutsch.lng", "Files=Dateien\n");
  CLanguage language;
  ASSERT_EQ(LoadLanguage(m_dir.path(), "Deutsch", language), TextReadStatus::kOk);
  EXPECT_FALSE(language.HasReference());
  EXPECT_EQ(language.Caption(1391), std::nullopt);
  EXPECT_EQ(language.MenuTitle(0), std::nullopt);
  EXPECT_TRUE(language.ColumnNames().empty());
  EXPECT_EQ(GetText(5001), "Files");
  EXPECT_EQ(ColumnInfo(ColumnId::kName).m_strName, "Name");
}

TEST_F(Languages, LookupsForControlsMenusAndLists) {
  WriteReference(
      "[1391]\nCaption=Size\nHint=Display file size\n"
      "[1490]\nCaption=ANSI|UTF-8|UTF-16\nLabel=Encoding:\nHint=\n"
      "[600]\nCaption=&File\n"
      "[699]\nCaption=&Quick configuration\nHint=\n");
  WriteFile(m_dir / "Deutsch.lng",
            "Size=Größe\nEncoding:=Kodierung:\n&File=&Datei\n"
            "Display file size=Dateigröße anzeigen\n");
  CLanguage language;
  ASSERT_EQ(language.Load(m_dir.path(), "Deutsch"), TextReadStatus::kOk);
  EXPECT_EQ(language.Caption(1391), "Größe");
  EXPECT_EQ(language.Hint(1391), "Dateigröße anzeigen");
  EXPECT_EQ(language.Caption(1490), "ANSI|UTF-8|UTF-16");
  EXPECT_EQ(language.Label(1490), "Kodierung:");
  EXPECT_EQ(language.Hint(1490), "");
  EXPECT_EQ(language.Label(1391), std::nullopt);
  EXPECT_EQ(language.MenuTitle(0), "&Datei");
  EXPECT_EQ(language.MenuTitle(2), std::nullopt);
  EXPECT_EQ(language.Caption(kQuickConfigSection), "&Quick configuration");
  EXPECT_EQ(language.English(1391, "Caption"), "Size");
}

TEST(ComboItems, ACaptionReplacesItemsByPositionAndNoMore) {
  const std::vector<std::string> items = {"Bytes", "Kilobytes", "Megabytes", "Gigabytes"};
  EXPECT_EQ(ItemsFromCaption(items, "Octets|Kilooctets"),
            (std::vector<std::string>{"Octets", "Kilooctets", "Megabytes", "Gigabytes"}));
  EXPECT_EQ(ItemsFromCaption(items, "a|b|c|d|e|f"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(ItemsFromCaption(items, ""), items);
  EXPECT_EQ(ItemsFromCaption(items, "|x"),
            (std::vector<std::string>{"", "x", "Megabytes", "Gigabytes"}));
}

TEST(LanguageList, LanguagesOfTheProgramFolder) {
  TempDir dir;
  for (const char* name : {"Franç"
                           "ais.lng",
                           "Deutsch.lng", "Upper.LNG", "x.lng.bak"})
    WriteFile(dir / name, "");
  std::filesystem::create_directories(dir / "Folder.lng");
  EXPECT_EQ(ListLanguages(dir.path()), (std::vector<std::string>{"Deutsch",
                                                                 "Franç"
                                                                 "ais"}));
  EXPECT_TRUE(ListLanguages("").empty());
}

}  // namespace
}  // namespace orvane
