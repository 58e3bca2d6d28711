// The table behind COptionPages: every control of the option pages with its identifier, kind,
// label, choices and default, and the key tables of the "Displayed columns" page.
// Pure data and lookups; safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/option_pages.h"

namespace orvane {

// The controls of the four pages and the tree pane with their defaults, in walk order.
std::vector<COptionControl> BuildOptionControls(std::int64_t now);

// The five hidden tag boxes ("Composer", ...) with their width boxes.
struct HiddenTagKeys {
  int check, width;
  const char* label;
};
inline constexpr HiddenTagKeys kHiddenTagKeys[kHiddenTagCount] = {
    {1263, 1302, "Composer"}, {1264, 1303, "Orig. artist"}, {1265, 1304, "Copyright"},
    {1266, 1305, "URL"},      {1267, 1306, "Encoded by"},
};

// The "Thousand separator:" choice of a separator text (unknown texts give "(space)").
int ThousandSeparatorChoice(const std::string& sep);

}  // namespace orvane
