#include "settings/language_reference.h"

#include <gtest/gtest.h>

#include <set>

#include "base/strings.h"
#include "settings/commands.h"
#include "settings/language.h"
#include "settings/option_controls.h"
#include "settings/window_texts.h"
#include "test_util.h"

namespace orvane {
namespace {

const std::string kShippedReference = std::string(ORVANE_SOURCE_DIR) + "/data/Reference.ini";

// The sections of an INI image, in order.
std::vector<int> SectionsOf(const std::string& text) {
  std::vector<int> sections;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    if (line.size() > 2 && line.front() == '[' && line.back() == ']')
      sections.push_back(std::stoi(line.substr(1, line.size() - 2)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return sections;
}

TEST(Reference, TheShippedFileIsTheOneTheTablesMake) {
  std::vector<std::string> errors;
  const std::string made = ReferenceFileText(ReferenceEntries(), errors);
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(test::ReadFile(kShippedReference), made)
      << "data/Reference.ini is stale: cmake --build build --target update_reference";
}

TEST(Reference, EveryControlAndNumberedTextHasAnEntryAndEveryEntryNamesOne) {
  CProfile reference;
  ASSERT_EQ(reference.Load(kShippedReference), TextReadStatus::kOk);
  std::set<int> named = {kTabControlSection};
  for (const COptionControl& c : BuildOptionControls(0)) {
    named.insert(c.m_nId);
    EXPECT_TRUE(reference.Get(std::to_string(c.m_nId), "Hint")) << c.m_nId;
    if (c.m_kind != ControlKind::kEdit && c.m_kind != ControlKind::kDatePicker) {
      EXPECT_TRUE(reference.Get(std::to_string(c.m_nId), "Caption")) << c.m_nId;
    }
  }
  for (const BuiltInText& t : BuiltInTexts()) {
    named.insert(t.id);
    EXPECT_EQ(reference.Get(std::to_string(t.id), "Hint"), t.text) << t.id;
  }
  // The window's own texts, the menus (titles by position, items by command) and the preview's
  // column menu.
  for (const WindowTextRow& row : WindowTextRows()) {
    named.insert(row.id);
    EXPECT_EQ(reference.Get(std::to_string(row.id), "Caption"), row.text) << row.id;
  }
  for (int position : {0, 1, 2, 3, 4}) named.insert(kMenuTitleSection + position);
  named.insert(kQuickConfigSection);
  for (const CommandRow& row : Commands()) {
    named.insert(row.id);
    EXPECT_EQ(reference.Get(std::to_string(row.id), "Caption"), row.caption) << row.id;
    EXPECT_TRUE(reference.Get(std::to_string(row.id), "Hint")) << row.id;
  }
  for (const ColumnMenuRow& row : ColumnMenuItems()) named.insert(row.id);
  EXPECT_EQ(reference.Get("601", "Caption"), "&Language");
  EXPECT_EQ(reference.Get("699", "Caption"), "&Quick configuration");
  EXPECT_EQ(reference.Get("32801", "Hint"), "Visit %ov home page");
  std::vector<int> sections = SectionsOf(test::ReadFile(kShippedReference));
  EXPECT_EQ(std::set<int>(sections.begin(), sections.end()), named);
  EXPECT_EQ(std::set<int>(sections.begin(), sections.end()).size(), sections.size());
  // The column order list names the 58 columns, the tabs the four pages.
  EXPECT_EQ(SplitPieces(reference.Get("1442", "Caption").value_or("")).size(), 58u);
  EXPECT_EQ(reference.Get("1206", "Caption"),
            "Displayed columns|Output options|Filter options|Program options");
  // An edit box never gets a caption: the language walk would overwrite what the user typed.
  EXPECT_EQ(reference.Get("1451", "Caption"), std::nullopt);
  EXPECT_EQ(reference.Get("1451", "Label"), "Listing name:");
  EXPECT_EQ(reference.Get("1490", "Caption"), "ANSI|UTF-8|UTF-16");
  EXPECT_EQ(reference.Get("5003", "Hint"), "%ov selection files (*.ovs)|*.ovs|All files (*.*)|*.*");
}

TEST(Reference, MenusJoinAsOneMoreSource) {
  std::vector<MenuText> menus = {{600, "&File", std::nullopt},
                                 {57604, "&Save listing...\tCtrl+S", "Generate and save listing"},
                                 {kQuickConfigSection, "&Quick configuration", ""}};
  std::vector<ReferenceEntry> all = ReferenceEntries(menus);
  std::vector<ReferenceEntry> tail(all.end() - 5, all.end());
  EXPECT_EQ(tail, (std::vector<ReferenceEntry>{{600, "Caption", "&File"},
                                               {57604, "Caption", "&Save listing...\tCtrl+S"},
                                               {57604, "Hint", "Generate and save listing"},
                                               {699, "Caption", "&Quick configuration"},
                                               {699, "Hint", ""}}));
  std::vector<std::string> errors;
  std::string text = ReferenceFileText(all, errors);
  EXPECT_TRUE(errors.empty());
  EXPECT_NE(text.find("[600]\nCaption=&File\n[57604]\n"), std::string::npos);
}

TEST(Reference, DisagreeingSourcesAndOverlongTextsAreReported) {
  std::vector<std::string> errors;
  std::string text = ReferenceFileText({{5001, "Hint", "Files"},
                                        {5001, "Hint", "Files"},
                                        {5001, "Hint", "Documents"},
                                        {700, "Caption", std::string(1024, 'x')},
                                        {700, "Hint", ""}},
                                       errors);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find("[5001] Hint"), std::string::npos);
  EXPECT_NE(errors[1].find("[700] Caption"), std::string::npos);
  EXPECT_NE(text.find("[5001]\nHint=Files\n[700]\n"), std::string::npos);
}

}  // namespace
}  // namespace orvane
