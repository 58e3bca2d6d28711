// Language files: every text the user sees in another language.
//
// The program's folder holds "Reference.ini", the English text of every translatable item
// keyed by its identifier, and one ".lng" file per language whose lines map an English text to
// its translation ("English=Translation"; split at the first "=", nothing trimmed, lines
// without "=" ignored). A text is translated piece by piece: it is split at "|", each piece
// found in the map is replaced, the pieces are joined again and "%ov" becomes the program's
// name.
//
// Sections of Reference.ini, by identifier:
//   control identifier  "Caption" (a check box's text; a combo box's items, the tabs or the
//                       58 column names joined by "|"), "Label" (the text beside an edit box,
//                       combo box or date picker), "Hint" (its hint, may be empty)
//   600 + position      "Caption": the title of a top-level menu
//   command identifier  "Caption", "Hint": a menu item and its status-bar prompt (699 the
//                       "Quick configuration" popup)
//   string table id     "Hint": the English text
//   window text id      "Caption": a group title, label or message of the window (2101 and up)
//
// CLanguage holds one loaded language; LoadLanguage applies the parts that need no window (the
// string table and the column names). The window walks its widgets with the same CLanguage.
// Used on the user-interface thread (or the batch start-up) while no generation runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/profile_file.h"
#include "settings/text_file.h"

namespace orvane {

inline constexpr const char* kReferenceFileName = "Reference.ini";
inline constexpr const char* kLanguageExtension = ".lng";
inline constexpr const char* kDefaultLanguage = "English";
inline constexpr std::size_t kMaxLanguageFileSize = 4u << 20;

// Sections with a meaning of their own.
inline constexpr int kTabControlSection = 1206;   // the four tabs of the options pane
inline constexpr int kColumnOrderSection = 1442;  // the column order list: the 58 names
inline constexpr int kMenuTitleSection = 600;     // + position of a top-level menu
inline constexpr int kQuickConfigSection = 699;   // the "Quick configuration" popup
inline constexpr int kLanguageCommand = 400;      // the language menu: 400 + index
inline constexpr int kLanguageCommandCount = 65;  // commands 400 to 464 do something

// The pieces of a text split at "|" (one empty piece for an empty text).
std::vector<std::string> SplitPieces(std::string_view text);

// The items of a combo box (or the tabs) after a translated caption: item i takes piece i
// while both remain; items past the last piece keep their text, and pieces past the last item
// are dropped, since the program alone decides which choices a list offers. An item keeps its
// position, so the widget keeps each item's data and the selection. An empty caption changes
// nothing.
std::vector<std::string> ItemsFromCaption(const std::vector<std::string>& items,
                                          std::string_view caption);

// Decodes the bytes of a language file into UTF-8: UTF-8 after a UTF-8 byte-order mark,
// UTF-16LE after its mark, UTF-8 when the bytes are valid UTF-8, else the ANSI code page.
// kTooLarge past kMaxLanguageFileSize, kNotText when the text holds a NUL character.
TextReadStatus DecodeLanguageText(std::span<const std::uint8_t> bytes, std::string& text);

// The map of one language file: English text to translated text, compared exactly.
class CTranslationMap {
 public:
  // Replaces the map with the lines of a file; any status but kOk leaves it empty.
  TextReadStatus Load(const std::string& path);
  TextReadStatus LoadBytes(std::span<const std::uint8_t> bytes);
  // Adds one line (a later line for the same English text wins); false when it has no "=".
  bool AddLine(std::string_view line);
  // The translation of one piece, or nullptr.
  const std::string* Find(std::string_view english) const;
  // Splits at "|", replaces the pieces the map knows, joins them and replaces "%ov".
  std::string Translate(std::string_view text) const;
  std::size_t Size() const { return m_map.size(); }
  const std::unordered_map<std::string, std::string>& Entries() const { return m_map; }

 private:
  std::unordered_map<std::string, std::string> m_map;
};

// One language: its map and the reference texts, with lookups that return translated texts.
class CLanguage {
 public:
  // Reads programFolder + name + ".lng" and programFolder + "Reference.ini". Anything but kOk
  // leaves the language as it was (kMissing also without a folder, or for a name that cannot
  // be a file of the folder: empty, or with "/"). A missing or unreadable Reference.ini still
  // loads the map; every lookup then finds nothing.
  TextReadStatus Load(const std::string& programFolder, const std::string& name);
  // The same from texts already in memory.
  void Set(std::string name, CTranslationMap map, CProfile reference);

  const std::string& Name() const { return m_strName; }
  bool HasReference() const { return m_bHasReference; }
  const CTranslationMap& Map() const { return m_map; }
  std::string Translate(std::string_view text) const { return m_map.Translate(text); }

  // The English value of a key of a section as Reference.ini has it; nullopt when it lacks it.
  std::optional<std::string> English(int section, std::string_view key) const;
  // The translated value of a key of a section; nullopt when Reference.ini lacks it.
  std::optional<std::string> Text(int section, std::string_view key) const;
  std::optional<std::string> Caption(int id) const { return Text(id, "Caption"); }
  std::optional<std::string> Label(int id) const { return Text(id, "Label"); }
  std::optional<std::string> Hint(int id) const { return Text(id, "Hint"); }
  // The title of the top-level menu at a position; nullopt when Reference.ini has none (the
  // menu then keeps its title: a blank menu bar could not be used).
  std::optional<std::string> MenuTitle(int position) const;
  // The translated names of the columns in catalogue order (the pieces of the column order
  // list's caption); empty when Reference.ini has none.
  std::vector<std::string> ColumnNames() const;

 private:
  std::string m_strName = kDefaultLanguage;
  CTranslationMap m_map;
  CProfile m_reference;
  bool m_bHasReference = false;
};

// The parts of a language that need no window: every string-table text whose reference is not
// empty, the window's own texts (settings/window_texts.h) and the column names (a column
// without a piece of its own keeps its name).
void ApplyLanguageTexts(const CLanguage& language);

// Loads name from programFolder into language and applies its texts. Anything but kOk
// changes nothing.
TextReadStatus LoadLanguage(const std::string& programFolder, const std::string& name,
                            CLanguage& language);

// The languages of the program's folder: the ".lng" files' names without extension, sorted.
// Entry i is command kLanguageCommand + i.
std::vector<std::string> ListLanguages(const std::string& programFolder);

}  // namespace orvane
