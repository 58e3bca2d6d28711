// Showing a loaded language in the window: the option pages' captions, labels, combo items and
// tabs, the window's own texts, the menus with their status-bar prompts, the preview's column
// menu and the check mark of the language menu. The texts that need no widget (the string
// table, the window texts table, the column names) are applied before, by LoadLanguage.
// User-interface thread only.
#pragma once

#include <string>

#include "settings/language.h"

class QMenu;
class QMenuBar;
class QWidget;

namespace orvane::ui {

class PreviewView;

// The property that names a menu item's section of Reference.ini (its command identifier).
inline constexpr const char* kSectionProperty = "orvaneSection";

// Every widget below root: a control ("control<id>") takes its translated hint into the string
// table and its caption (a box's text, a combo box's items by position keeping their data and
// the selection, the options pane's tab texts); a control's caption label takes its "Label";
// a widget marked with a window text shows that text again. Empty captions change nothing;
// the directory tree and spin boxes are left alone.
void TranslateWidgets(QWidget* root, const CLanguage& language);

// The menu bar: each menu's title by its position, and in every menu but the language menu
// each item's text and status-bar prompt from its section (the "Quick configuration" popup from
// its own). A title or text Reference.ini lacks stays as it is.
void TranslateMenus(QMenuBar* bar, const CLanguage& language);

// The texts of the preview's column menu.
void TranslateColumnMenu(PreviewView* preview, const CLanguage& language);

// Checks the language menu's item of the language name (held as the item's data) and unchecks
// the others.
void CheckLanguageItem(QMenu* menu, const std::string& name);

}  // namespace orvane::ui
