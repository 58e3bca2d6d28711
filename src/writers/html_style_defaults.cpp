#include "writers/html_style.h"

namespace orvane {

CHtmlStyleSet::CHtmlStyleSet() {
  struct Default {
    std::uint32_t color, text;
    std::int32_t size;
  };
  constexpr Default kDefaults[kHtmlElementCount] = {
      {0xFFFFFF, 0x808080, 8}, {0x804040, 0xFFFFFF, 8}, {0x804040, 0xFFFFFF, 8},
      {0xFFD0D0, 0x000000, 8}, {0xFFE8E8, 0x000000, 8}, {0x000000, 0x808080, 1},
  };
  for (int i = 0; i < kHtmlElementCount; ++i) {
    auto& e = elements[static_cast<std::size_t>(i)];
    e.crColor = kDefaults[i].color;
    e.crTextColor = kDefaults[i].text;
    e.nSize = kDefaults[i].size;
  }
}

}  // namespace orvane
