// Number conversions shared by the writers and the settings: decimal text as the configuration
// and style files hold it, and the rounded multiply-divide that turns font heights into points.
//
// Pure functions; safe from any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// Screen resolution assumed when none is known (pixels per logical inch).
inline constexpr int kDefaultDisplayDpi = 96;

// Decimal conversion as the files use it, for 64-bit values (moments): leading blanks, a sign,
// then digits up to the first other character; text that does not start like a number gives 0.
// Saturates at the 64-bit range. (32-bit values and style records: writers/html_style.h.)
std::int64_t ParseDecimal64(std::string_view text);

// round(a * b / c) with halves away from zero, as a 64-bit computation; -1 when c is 0 or the
// result does not fit an int.
int MulDiv(int a, int b, int c);

}  // namespace orvane
