// English display names of Windows language identifiers, for the language of a version resource:
// 0x0409 "English (United States)", 0x0407 "German (Germany)", 0 "Language Neutral". Pure
// function over a constant table, safe from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// The name of a language identifier; an identifier of a primary language alone (sublanguage 0)
// gives the language without a region. Empty for identifiers the table does not know.
std::string LanguageName(std::uint16_t languageId);

}  // namespace orvane
