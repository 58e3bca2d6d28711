// The six style elements of an HTML listing (page background, header, directory rows, even and
// odd item rows, frame), with their defaults. Plain values; edited on the user-interface thread,
// read by the HTML writer on the worker thread while no edit can happen.
#pragma once

#include <array>
#include <cstdint>
#include <string>

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

}  // namespace orvane
