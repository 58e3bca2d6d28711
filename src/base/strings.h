// The string table: user-interface texts by numeric identifier.
//
// Filled with the built-in English texts on first use ("%ov" already replaced by the program's
// name); a language load later overwrites entries. GetText is safe from any thread; SetText
// is meant for start-up and language loads, while no generation runs.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

inline constexpr const char* kProgramName = "Orvane";
inline constexpr const char* kProgramVersionText = "v1.0";

// The text of identifier id; empty when the table has none.
std::string GetText(int id);
void SetText(int id, std::string text);
// The identifiers the table holds, ascending.
std::vector<int> TextIds();
// Replaces every "%ov" by the program's name.
std::string ReplaceProgramName(std::string_view text);

// One built-in English text as written, "%ov" still in it: the numbered texts code looks up
// (messages, file-dialog filters, listing words) and the hints of the option controls.
struct BuiltInText {
  int id;
  const char* text;
};
std::span<const BuiltInText> BuiltInTexts();
// Puts every built-in text back ("%ov" replaced), as at start-up.
void RestoreBuiltInTexts();

}  // namespace orvane
