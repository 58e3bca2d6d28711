// The language files that come with Orvane: complete, and safe to load into every page.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <regex>
#include <set>

#include "settings/commands.h"
#include "settings/language.h"
#include "settings/language_reference.h"
#include "settings/option_controls.h"
#include "settings/window_texts.h"

namespace orvane {
namespace {

const std::string kDataFolder = std::string(ORVANE_SOURCE_DIR) + "/data/";

// Every piece of every text Reference.ini holds.
std::set<std::string> ReferencePieces() {
  std::set<std::string> pieces;
  for (const ReferenceEntry& e : ReferenceEntries()) {
    for (std::string& p : SplitPieces(e.text)) pieces.insert(std::move(p));
  }
  return pieces;
}

// A piece a translator has to look at: it holds a letter and is no file pattern ("*.txt").
bool NeedsTranslation(const std::string& piece) {
  if (piece.rfind("*.", 0) == 0) return false;
  for (unsigned char c : piece) {
    if (std::isalpha(c)) return true;
  }
  return false;
}

// The printf-style conversions of a text ("%ov" is the program's name, not one of them).
std::multiset<std::string> FormatSpecifiers(std::string text) {
  for (std::size_t at; (at = text.find("%ov")) != std::string::npos;) text.erase(at, 3);
  static const std::regex conversion("%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z%]");
  std::multiset<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), conversion);
       it != std::sregex_iterator(); ++it)
    found.insert(it->str());
  return found;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

// The access key of a caption: the character after a single "&" (lower case), or 0.
char AccessKey(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

class ShippedLanguage : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ASSERT_EQ(m_language.Load(kDataFolder, GetParam()), TextReadStatus::kOk);
    ASSERT_TRUE(m_language.HasReference());
  }
  CLanguage m_language;
};

TEST_P(ShippedLanguage, TranslatesEveryTextAndOnlyTextsThatExist) {
  const std::set<std::string> pieces = ReferencePieces();
  const auto& entries = m_language.Map().Entries();
  for (const auto& [english, translated] : entries)
    EXPECT_TRUE(pieces.count(english)) << "\"" << english << "\" is no text of Reference.ini";
  if (GetParam() == kDefaultLanguage) {
    EXPECT_TRUE(entries.empty());  // English maps nothing, so switching back restores English
    return;
  }
  for (const std::string& piece : pieces) {
    if (NeedsTranslation(piece)) {
      EXPECT_TRUE(entries.count(piece)) << "untranslated: " << piece;
    }
  }
}

TEST_P(ShippedLanguage, KeepsPlaceholdersPiecesAndFormats) {
  for (const auto& [english, translated] : m_language.Map().Entries()) {
    EXPECT_FALSE(translated.empty()) << english;
    EXPECT_EQ(Count(translated, "%ov"), Count(english, "%ov")) << translated;
    EXPECT_EQ(Count(translated, "|"), Count(english, "|")) << translated;
    EXPECT_EQ(FormatSpecifiers(translated), FormatSpecifiers(english)) << translated;
    EXPECT_EQ(AccessKey(translated) != 0, AccessKey(english) != 0) << translated;
  }
}

TEST_P(ShippedLanguage, AccessKeysAreUniqueOnEachPage) {
  std::map<OptionPage, std::map<char, std::string>> keys;
  for (const COptionControl& c : BuildOptionControls(0)) {
    if (c.m_bHidden) continue;
    for (const char* field : {"Caption", "Label"}) {
      if (c.m_kind == ControlKind::kCombo && std::string(field) == "Caption") continue;
      if (c.m_kind == ControlKind::kColumnOrder && std::string(field) == "Caption") continue;
      const std::string text = m_language.Text(c.m_nId, field).value_or("");
      if (char key = AccessKey(text)) {
        auto [it, fresh] = keys[c.m_page].emplace(key, text);
        EXPECT_TRUE(fresh) << "\"" << text << "\" and \"" << it->second << "\"";
      }
    }
  }
  // The pages' own buttons share their page's keys.
  for (const WindowTextRow& row : WindowTextRows()) {
    if (!row.page) continue;
    const std::string text = m_language.Caption(row.id).value_or("");
    if (char key = AccessKey(text)) {
      auto [it, fresh] = keys[*row.page].emplace(key, text);
      EXPECT_TRUE(fresh) << "\"" << text << "\" and \"" << it->second << "\"";
    }
  }
  std::set<char> tabKeys;
  for (const std::string& tab : SplitPieces(m_language.Caption(kTabControlSection).value_or("")))
    if (char key = AccessKey(tab)) {
      EXPECT_TRUE(tabKeys.insert(key).second) << tab;
    }
}

// Access keys of the captions of sections, each in a set of its own; two captions sharing one
// are reported.
void ExpectUniqueKeys(const CLanguage& language, const std::vector<int>& sections,
                      const std::string& where) {
  std::map<char, std::string> keys;
  for (int section : sections) {
    const std::string text = language.Caption(section).value_or("");
    EXPECT_FALSE(text.empty()) << where << ": no caption for " << section;
    if (char key = AccessKey(text)) {
      auto [it, fresh] = keys.emplace(key, text);
      EXPECT_TRUE(fresh) << where << ": \"" << text << "\" and \"" << it->second << "\"";
    }
  }
}

TEST_P(ShippedLanguage, AccessKeysAreUniqueInEachMenu) {
  std::vector<int> bar = {kMenuTitleSection + kLanguageMenuPosition};
  for (CommandMenu menu :
       {CommandMenu::kFile, CommandMenu::kEdit, CommandMenu::kView, CommandMenu::kHelp}) {
    bar.push_back(kMenuTitleSection + CommandMenuPosition(menu));
    std::vector<int> items;
    if (menu == CommandMenu::kFile) items.push_back(kQuickConfigSection);
    for (const CommandRow& row : Commands())
      if (row.menu == menu) items.push_back(row.id);
    ExpectUniqueKeys(m_language, items, CommandMenuTitle(menu));
  }
  ExpectUniqueKeys(m_language, bar, "menu bar");
  std::vector<int> columnMenu;
  for (const ColumnMenuRow& row : ColumnMenuItems()) columnMenu.push_back(row.id);
  ExpectUniqueKeys(m_language, columnMenu, "column menu");
}

// Test names hold letters, digits and "_" only, whatever a language file is called.
INSTANTIATE_TEST_SUITE_P(Data, ShippedLanguage, ::testing::ValuesIn(ListLanguages(kDataFolder)),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name + "_" + std::to_string(info.index);
                         });

TEST(ShippedLanguages, EnglishGermanAndFrenchComeWithTheProgram) {
  std::vector<std::string> names = ListLanguages(kDataFolder);
  for (const char* name : {"English", "German", "French"})
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
}

}  // namespace
}  // namespace orvane
