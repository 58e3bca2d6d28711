// The string table: user-interface texts by numeric identifier.
//
// Filled with the built-in English texts on first use ("%ov" already replaced by the program's
// name); a language file may later overwrite entries. GetText is safe from any thread; SetText
// is meant for start-up and language loads, while no generation runs.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

inline constexpr const char* kProgramName = "Orvane";
inline constexpr const char* kProgramVersionText = "v1.0";

// The text of identifier id; empty when the table has none.
std::string GetText(int id);
void SetText(int id, std::string text);
// Replaces every "%ov" by the program's name.
std::string ReplaceProgramName(std::string_view text);

}  // namespace orvane
