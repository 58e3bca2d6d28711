#include "settings/language_reference.h"

#include <map>
#include <utility>

#include "base/column_ids.h"
#include "base/strings.h"
#include "base/unicode.h"
#include "engine/columns.h"
#include "settings/commands.h"
#include "settings/language.h"
#include "settings/option_controls.h"
#include "settings/window_texts.h"

namespace orvane {
namespace {

std::string Join(const std::vector<std::string>& pieces) {
  std::string out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i) out += '|';
    out += pieces[i];
  }
  return out;
}

std::string BuiltInHint(int id) {
  for (const BuiltInText& t : BuiltInTexts()) {
    if (t.id == id) return t.text;
  }
  return {};
}

// A width box of the "Displayed columns" page shows no text of its own beside it.
bool IsWidthBox(const COptionControl& c) {
  return c.m_kind == ControlKind::kEdit && c.m_column.has_value();
}

std::vector<std::string> ColumnHeaders() {
  std::vector<std::string> names;
  for (ColumnId id : kAllColumns) names.emplace_back(ColumnSpecOf(id).header);
  return names;
}

}  // namespace

std::vector<ReferenceEntry> OptionControlEntries() {
  std::vector<ReferenceEntry> out;
  std::vector<std::string> tabs(std::begin(kOptionTabTitles), std::end(kOptionTabTitles));
  out.push_back({kTabControlSection, "Caption", Join(tabs)});
  for (const COptionControl& c : BuildOptionControls(0)) {
    bool labelled = false;
    switch (c.m_kind) {
      case ControlKind::kCheckBox:
      case ControlKind::kThreeState:
      case ControlKind::kRadio:
        out.push_back({c.m_nId, "Caption", c.m_strLabel});
        break;
      case ControlKind::kCombo:
        out.push_back({c.m_nId, "Caption", Join(c.m_choices)});
        labelled = true;
        break;
      case ControlKind::kColumnOrder:
        out.push_back({c.m_nId, "Caption", Join(ColumnHeaders())});
        labelled = true;
        break;
      case ControlKind::kEdit:
      case ControlKind::kDatePicker:
        labelled = !IsWidthBox(c);
        break;
    }
    if (labelled && !c.m_bHidden) out.push_back({c.m_nId, "Label", c.m_strLabel});
    out.push_back({c.m_nId, "Hint", BuiltInHint(c.m_nId)});
  }
  return out;
}

std::vector<ReferenceEntry> ColumnEntries() {
  return {{kColumnOrderSection, "Caption", Join(ColumnHeaders())}};
}

std::vector<ReferenceEntry> StringTableEntries() {
  std::vector<ReferenceEntry> out;
  for (const BuiltInText& t : BuiltInTexts()) out.push_back({t.id, "Hint", t.text});
  return out;
}

std::vector<ReferenceEntry> WindowTextEntries() {
  std::vector<ReferenceEntry> out;
  for (const WindowTextRow& row : WindowTextRows()) out.push_back({row.id, "Caption", row.text});
  return out;
}

std::vector<MenuText> WindowMenuTexts() {
  std::vector<MenuText> out;
  for (CommandMenu menu :
       {CommandMenu::kFile, CommandMenu::kEdit, CommandMenu::kView, CommandMenu::kHelp}) {
    out.push_back({kMenuTitleSection + CommandMenuPosition(menu), CommandMenuTitle(menu), {}});
    if (menu == CommandMenu::kFile) {
      out.push_back({kMenuTitleSection + kLanguageMenuPosition, kLanguageMenuTitle, {}});
      out.push_back({kQuickConfigSection, kQuickConfigurationTitle, ""});
    }
    for (const CommandRow& row : Commands()) {
      if (row.menu == menu) out.push_back({row.id, row.caption, CommandStatusText(row, "%ov")});
    }
  }
  for (const ColumnMenuRow& row : ColumnMenuItems()) out.push_back({row.id, row.caption, ""});
  return out;
}

std::vector<ReferenceEntry> MenuEntries(const std::vector<MenuText>& menus) {
  std::vector<ReferenceEntry> out;
  for (const MenuText& m : menus) {
    out.push_back({m.section, "Caption", m.caption});
    if (m.hint) out.push_back({m.section, "Hint", *m.hint});
  }
  return out;
}

std::vector<ReferenceEntry> ReferenceEntries(const std::vector<MenuText>& menus) {
  std::vector<ReferenceEntry> all = OptionControlEntries();
  for (const auto& more :
       {ColumnEntries(), StringTableEntries(), WindowTextEntries(), MenuEntries(menus)})
    all.insert(all.end(), more.begin(), more.end());
  return all;
}

std::string ReferenceFileText(const std::vector<ReferenceEntry>& entries,
                              std::vector<std::string>& errors) {
  std::map<std::pair<int, std::string>, std::string> seen;
  CProfile profile;
  for (const ReferenceEntry& e : entries) {
    const std::string where = "[" + std::to_string(e.section) + "] " + e.key;
    auto [it, inserted] = seen.emplace(std::make_pair(e.section, e.key), e.text);
    if (!inserted) {
      if (it->second != e.text)
        errors.push_back(where + ": \"" + it->second + "\" and \"" + e.text + "\"");
      continue;
    }
    if (CountCodePoints(e.text) > kMaxProfileValue)
      errors.push_back(where + ": longer than " + std::to_string(kMaxProfileValue) + " characters");
    profile.Set(std::to_string(e.section), e.key, e.text);
  }
  return "; The English texts of Orvane by identifier, for the language files (*.lng).\n"
         "; Made by make_reference from the program's own tables: do not edit by hand.\n" +
         profile.ToBytes();
}

}  // namespace orvane
