// The contents of Reference.ini, made from the program's own tables: the option controls
// (captions, combo items, labels, hints), the tabs of the options pane, the 58 column names and
// the string table. tools/make_reference writes data/Reference.ini from ReferenceEntries(); a
// test compares the shipped file with it. The window's menus join as one more source, given to
// ReferenceEntries as MenuTexts. Pure functions; safe from any thread once the column catalogue
// is no longer renamed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/profile_file.h"

namespace orvane {

// The tabs of the options pane, in order.
inline constexpr const char* kOptionTabTitles[] = {"Displayed columns", "Output options",
                                                   "Filter options", "Program options"};

struct ReferenceEntry {
  int section = 0;
  std::string key;  // "Caption", "Label" or "Hint"
  std::string text;
  bool operator==(const ReferenceEntry&) const = default;
};

// One source of entries each.
std::vector<ReferenceEntry> OptionControlEntries();  // every control, and the tabs
std::vector<ReferenceEntry> ColumnEntries();         // the column order list: the 58 names
std::vector<ReferenceEntry> StringTableEntries();    // every built-in text as a "Hint"
std::vector<ReferenceEntry> WindowTextEntries();     // the window's own texts as "Caption"

// One text of the window's menus as the menus table gives it: a top-level menu (section
// kMenuTitleSection + its position, no hint) or an item (its command identifier, or
// kQuickConfigSection for the "Quick configuration" popup) with its status-bar prompt.
struct MenuText {
  int section = 0;
  std::string caption;
  std::optional<std::string> hint;
};
std::vector<ReferenceEntry> MenuEntries(const std::vector<MenuText>& menus);
// The window's menus from the command table: each menu's title, its items with their
// status-bar prompts ("%ov" for the program's name; an item without one has an empty hint),
// the "Quick configuration" popup, the language menu's title and the preview's column menu.
std::vector<MenuText> WindowMenuTexts();

// The entries of all sources above, in the order they are written; the menus come last.
std::vector<ReferenceEntry> ReferenceEntries(
    const std::vector<MenuText>& menus = WindowMenuTexts());

// The Reference.ini image of entries (sections in order of first appearance). Two entries
// with the same section and key must agree; each disagreement, and each value longer than a
// profile value can be, is added to errors and the first text is kept.
std::string ReferenceFileText(const std::vector<ReferenceEntry>& entries,
                              std::vector<std::string>& errors);

}  // namespace orvane
