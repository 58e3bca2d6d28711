// The six style elements of an HTML listing (page background, header, directory rows, even and
// odd item rows, frame), with their defaults; their text form in style and configuration files,
// and the style sheet and character set the HTML writer derives from them.
//
// Plain values; edited on the user-interface thread, read by the HTML writer on the worker
// thread while no edit can happen. The functions are pure and safe from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/column_ids.h"

namespace orvane {

enum HtmlElement : int {
  kStyleBackground = 0,
  kStyleHeader = 1,
  kStyleDirectory = 2,
  kStyleEvenRow = 3,
  kStyleOddRow = 4,
  kStyleFrame = 5,
};
inline constexpr int kHtmlElementCount = 6;

// The font fields of an element, in the order a Windows LOGFONT keeps them.
struct LogFont {
  std::int32_t lfHeight = -11;  // negative pixel height of 8 points at 96 dpi
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 400;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 1;  // DEFAULT_CHARSET
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  std::string lfFaceName = "Tahoma";  // at most 31 characters
};

// Colours are COLORREF values: 0x00BBGGRR.
struct CHtmlStyle {
  LogFont lfFont;
  std::uint32_t crColor = 0xFFFFFF;
  std::uint32_t crTextColor = 0;
  std::int32_t nSize = 8;
};

struct CHtmlStyleSet {
  CHtmlStyleSet();
  std::array<CHtmlStyle, kHtmlElementCount> elements;
  CHtmlStyle& operator[](int i) { return elements[static_cast<std::size_t>(i)]; }
  const CHtmlStyle& operator[](int i) const { return elements[static_cast<std::size_t>(i)]; }
};

struct WriterOptions;
struct COutputColumns;

// ---- Style file ("Settings" keys of an .ovh file, in the order they are written) ----

inline constexpr int kKeyFrameColor = 105;
inline constexpr int kKeyBackgroundColor = 1204;
inline constexpr int kKeyFrameSize = 1205;
inline constexpr int kKeyHeaderStyle = 1200;
inline constexpr int kKeyDirectoryStyle = 1201;
inline constexpr int kKeyOddRowStyle = 1202;
inline constexpr int kKeyEvenRowStyle = 1203;
inline constexpr int kKeyExternalCss = 1421;
inline constexpr int kKeyCssPath = 1422;
inline constexpr int kFaceNameMax = 31;  // characters kept of a face name

// The "|"-joined value of a font element: colour, text colour, the thirteen numeric font fields
// and the face name ("%d|...|%d|%s"). The size is not part of it.
std::string StyleToValue(const CHtmlStyle& style);
// Reads such a value into style. Empty text leaves style unchanged and returns false. Fields
// that are not numbers read as 0, missing fields as 0 (an empty face name); the face name is
// everything after the fifteenth "|", cut to 31 characters. The size is recomputed from the
// height for a display of dpi pixels per inch.
bool StyleFromValue(std::string_view value, CHtmlStyle& style, int dpi = 96);
// Points of a font height: -(height * 72 / dpi), rounded to the nearest integer.
std::int32_t SizeFromHeight(std::int32_t height, int dpi);
// Decimal conversion that yields 0 for text that is not a number (leading blanks and a sign
// allowed, stops at the first non-digit, clamped to the 32-bit range).
std::int32_t ParseDecimal(std::string_view text);

// ---- Style sheet of an HTML listing ----

// A COLORREF (0x00BBGGRR) as six lowercase hexadecimal digits red, green, blue (no "#").
std::string CssColor(std::uint32_t colorRef);
// "underline" or "none" by the element's font.
const char* CssTextDecoration(const CHtmlStyle& style);
// The font declarations of an element: size, family, style, weight, decoration (no blanks).
std::string CssFontDeclarations(const CHtmlStyle& style);
// The class of column id for a row-kind base ("fa" even, "aa" odd, "ka" directory rows): the
// base's second letter advanced id times, carrying into the first letter after "z".
std::string ColumnClass(std::string_view base, ColumnId id);
// The style sheet rules of the listing (everything between "<!--" and the external sheet).
void AppendStyleSheet(const WriterOptions& options, const COutputColumns& columns,
                      std::string& out);

// ---- Character sets ----

// The font character set of a Windows ANSI code page (1252 gives 0, 1251 gives 204...), or -1
// when the code page has none.
int CharSetForCodePage(int codePage);
// The META name of a font character set ("iso-8859-1", "windows-1251"...; "" when unknown).
const char* CharsetNameForCharSet(int charSet);
// The charset the page announces: "UTF-8" or "UTF-16" for those encodings; for ANSI the Odd
// row font's character set, where default, symbol and OEM stand for ansiCodePage's own set.
std::string MetaCharsetName(int encoding, const CHtmlStyleSet& styles, int ansiCodePage);

}  // namespace orvane
