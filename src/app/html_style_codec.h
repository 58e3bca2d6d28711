// Number conversions of the settings, configuration and style files. The style records
// themselves are read and written by writers/html_style.h.
//
// Pure functions; safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "writers/html_style.h"

namespace orvane {

// Screen resolution assumed when none is known (pixels per logical inch).
inline constexpr int kDefaultDisplayDpi = 96;

// Decimal conversion as the files use it, for 64-bit values (moments): leading blanks, a sign,
// then digits up to the first other character; text that does not start like a number gives 0.
// Saturates at the 64-bit range. (32-bit values and style records: writers/html_style.h.)
std::int64_t ParseDecimal64(std::string_view text);

// round(a * b / c) with halves away from zero, as a 64-bit computation; -1 when c is 0.
int MulDiv(int a, int b, int c);

}  // namespace orvane
