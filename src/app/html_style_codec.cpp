#include "app/html_style_codec.h"

#include <limits>
#include <vector>

#include "engine/unicode.h"

namespace orvane {
namespace {

std::vector<std::string_view> Split(std::string_view s, char sep, std::size_t maxParts) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < maxParts) {
    std::size_t bar = s.find(sep);
    if (bar == std::string_view::npos) break;
    parts.push_back(s.substr(0, bar));
    s.remove_prefix(bar + 1);
  }
  parts.push_back(s);
  return parts;
}

}  // namespace

std::int64_t ParseDecimal64(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (value > (kMax - digit) / 10)
      return negative ? std::numeric_limits<std::int64_t>::min() : kMax;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

int ParseDecimal(std::string_view text) {
  std::int64_t v = ParseDecimal64(text);
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  std::int64_t num = static_cast<std::int64_t>(a) * b;
  bool negative = (num < 0) != (c < 0);
  std::int64_t n = num < 0 ? -num : num;
  std::int64_t d = c < 0 ? -static_cast<std::int64_t>(c) : c;
  std::int64_t q = (n + d / 2) / d;
  std::int64_t r = negative ? -q : q;
  if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(r);
}

std::string EncodeStyleRecord(const CHtmlStyle& style) {
  const LogFont& f = style.lfFont;
  std::string out;
  auto add = [&out](std::int64_t v) {
    out += std::to_string(v);
    out += '|';
  };
  add(static_cast<std::int32_t>(style.crColor));
  add(static_cast<std::int32_t>(style.crTextColor));
  for (std::int32_t v : {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight})
    add(v);
  for (std::uint8_t v : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                         f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
    add(v);
  out += f.lfFaceName;
  return out;
}

bool DecodeStyleRecord(std::string_view value, int dpi, CHtmlStyle& style) {
  if (value.empty()) return false;
  std::vector<std::string_view> parts = Split(value, '|', 16);
  LogFont& f = style.lfFont;
  std::int32_t* ints[] = {&f.lfHeight, &f.lfWidth, &f.lfEscapement, &f.lfOrientation, &f.lfWeight};
  std::uint8_t* bytes[] = {&f.lfItalic,  &f.lfUnderline,     &f.lfStrikeOut,
                           &f.lfCharSet, &f.lfOutPrecision,  &f.lfClipPrecision,
                           &f.lfQuality, &f.lfPitchAndFamily};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const int v = ParseDecimal(parts[i]);
    if (i == 0)
      style.crColor = static_cast<std::uint32_t>(v);
    else if (i == 1)
      style.crTextColor = static_cast<std::uint32_t>(v);
    else if (i < 7)
      *ints[i - 2] = v;
    else if (i < 15)
      *bytes[i - 7] = static_cast<std::uint8_t>(v);
    else
      f.lfFaceName = TruncateCodePoints(parts[i], kMaxFaceName);
  }
  const std::int64_t size =
      -static_cast<std::int64_t>(MulDiv(f.lfHeight, 72, dpi > 0 ? dpi : kDefaultDisplayDpi));
  style.nSize = static_cast<std::int32_t>(size > std::numeric_limits<std::int32_t>::max()
                                              ? std::numeric_limits<std::int32_t>::max()
                                              : size);
  return true;
}

}  // namespace orvane
