// The text form of the HTML style elements in settings, configuration and style files:
// sixteen fields joined by "|" (element colour, text colour, the thirteen font numbers, the face
// name), and the plain decimal keys of the Background and Frame elements.
//
// Pure functions; safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "writers/html_style.h"

namespace orvane {

// Longest face name kept, in characters.
inline constexpr std::size_t kMaxFaceName = 31;
// Screen resolution assumed when none is known (pixels per logical inch).
inline constexpr int kDefaultDisplayDpi = 96;

// Keys of the style elements, in the order they are written.
inline constexpr int kKeyFrameColor = 105;
inline constexpr int kKeyBackgroundColor = 1204;
inline constexpr int kKeyFrameSize = 1205;
inline constexpr int kKeyHeaderStyle = 1200;
inline constexpr int kKeyDirectoryStyle = 1201;
inline constexpr int kKeyOddRowStyle = 1202;
inline constexpr int kKeyEvenRowStyle = 1203;

// Decimal conversion as the files use it: leading blanks, a sign, then digits up to the first
// other character; text that does not start like a number gives 0. Saturates at the int range.
int ParseDecimal(std::string_view text);
std::int64_t ParseDecimal64(std::string_view text);

// round(a * b / c) with halves away from zero, as a 64-bit computation; -1 when c is 0.
int MulDiv(int a, int b, int c);

// "color|textColor|height|...|pitchAndFamily|face".
std::string EncodeStyleRecord(const CHtmlStyle& style);
// Applies a style record to an element: the fields present are set, the face name is cut to
// 31 characters, and nSize becomes -height * 72 / dpi (nearest integer). An empty value leaves
// the element unchanged. Returns whether anything was applied.
bool DecodeStyleRecord(std::string_view value, int dpi, CHtmlStyle& style);

}  // namespace orvane
