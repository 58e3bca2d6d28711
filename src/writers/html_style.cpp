#include "writers/html_style.h"

#include <cstdio>
#include <limits>

#include "base/column_ids.h"
#include "base/unicode.h"
#include "writers/output.h"
#include "writers/writer_options.h"

namespace orvane {
namespace {

constexpr std::size_t kMaxValueLength = 1024;  // characters read of one key's value

// Text safe inside a double-quoted CSS string within a STYLE element: quotes, backslashes and
// control characters become CSS escapes, and "<" too, so no face name can close the element.
void AppendCssString(std::string& out, std::string_view text) {
  char buf[8];
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F || c == '<' || c == '>') {
      std::snprintf(buf, sizeof buf, "\\%x ", c);
      out += buf;
    } else {
      out += ch;
    }
  }
}

const char* AlignRule(int align) {
  switch (align) {
    case 1:
      return "{text-align:right;}\n";
    case 2:
      return "{text-align:center;}\n";
    default:
      return "{text-align:left;}\n";
  }
}

}  // namespace

std::int32_t ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{1} << 32) break;  // far past the range; clamped below
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int32_t SizeFromHeight(std::int32_t height, int dpi) {
  if (dpi <= 0) dpi = 96;
  // Multiply and divide in 64 bits, halves rounded away from zero.
  const std::int64_t product = static_cast<std::int64_t>(height) * 72;
  const std::int64_t half = dpi / 2;
  const std::int64_t rounded = product >= 0 ? (product + half) / dpi : -((-product + half) / dpi);
  return static_cast<std::int32_t>(-rounded);
}

std::string StyleToValue(const CHtmlStyle& style) {
  const LogFont& f = style.lfFont;
  const std::int64_t fields[] = {static_cast<std::int32_t>(style.crColor),
                                 static_cast<std::int32_t>(style.crTextColor),
                                 f.lfHeight,
                                 f.lfWidth,
                                 f.lfEscapement,
                                 f.lfOrientation,
                                 f.lfWeight,
                                 f.lfItalic,
                                 f.lfUnderline,
                                 f.lfStrikeOut,
                                 f.lfCharSet,
                                 f.lfOutPrecision,
                                 f.lfClipPrecision,
                                 f.lfQuality,
                                 f.lfPitchAndFamily};
  std::string out;
  for (std::int64_t v : fields) {
    out += std::to_string(v);
    out += '|';
  }
  out += f.lfFaceName;
  return out;
}

bool StyleFromValue(std::string_view value, CHtmlStyle& style, int dpi) {
  std::string capped = TruncateCodePoints(value, kMaxValueLength);
  std::string_view rest = capped;
  if (rest.empty()) return false;
  // Fields present are set; a shortened record keeps the fields it does not name.
  LogFont& f = style.lfFont;
  std::int32_t* ints[] = {&f.lfHeight, &f.lfWidth, &f.lfEscapement, &f.lfOrientation, &f.lfWeight};
  std::uint8_t* bytes[] = {&f.lfItalic,  &f.lfUnderline,     &f.lfStrikeOut,
                           &f.lfCharSet, &f.lfOutPrecision,  &f.lfClipPrecision,
                           &f.lfQuality, &f.lfPitchAndFamily};
  for (int field = 0; field < 15; ++field) {
    const std::size_t bar = rest.find('|');
    const std::int32_t n = ParseDecimal(rest.substr(0, bar));
    if (field == 0)
      style.crColor = static_cast<std::uint32_t>(n);
    else if (field == 1)
      style.crTextColor = static_cast<std::uint32_t>(n);
    else if (field < 7)
      *ints[field - 2] = n;
    else
      *bytes[field - 7] = static_cast<std::uint8_t>(n & 0xFF);
    if (bar == std::string_view::npos) {
      rest = std::string_view();
      break;
    }
    rest = rest.substr(bar + 1);
    if (field == 14) f.lfFaceName = TruncateCodePoints(rest, kFaceNameMax);
  }
  style.nSize = SizeFromHeight(f.lfHeight, dpi);
  return true;
}

std::string CssColor(std::uint32_t colorRef) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02x%02x%02x", colorRef & 0xFF, (colorRef >> 8) & 0xFF,
                (colorRef >> 16) & 0xFF);
  return buf;
}

const char* CssTextDecoration(const CHtmlStyle& style) {
  return style.lfFont.lfUnderline ? "underline" : "none";
}

std::string CssFontDeclarations(const CHtmlStyle& style) {
  const LogFont& f = style.lfFont;
  std::string out = "font-size:" + std::to_string(style.nSize) + "pt;font-family:\"";
  AppendCssString(out, f.lfFaceName);
  out += "\";";
  out += f.lfItalic ? "font-style:italic;" : "font-style:normal;";
  out += f.lfWeight > 500 ? "font-weight:bold;" : "font-weight:normal;";
  if (f.lfStrikeOut) out += "text-decoration:line-through;";
  out += f.lfUnderline ? "text-decoration:underline;" : "text-decoration:none;";
  return out;
}

std::string ColumnClass(std::string_view base, ColumnId id) {
  if (base.size() < 2) return std::string(base);
  const int second = (base[1] - 'a') + ColumnNumber(id);  // class names carry the number
  std::string out;
  out += static_cast<char>(base[0] + second / 26);
  out += static_cast<char>('a' + second % 26);
  return out;
}

void AppendStyleSheet(const WriterOptions& options, const COutputColumns& columns,
                      std::string& out) {
  const CHtmlStyleSet& s = options.m_htmlStyle;
  const CHtmlStyle& header = s[kStyleHeader];
  const CHtmlStyle& dir = s[kStyleDirectory];
  const CHtmlStyle& even = s[kStyleEvenRow];
  const CHtmlStyle& odd = s[kStyleOddRow];
  const std::string frame = CssColor(s[kStyleFrame].crColor);
  const std::string n = std::to_string(s[kStyleFrame].nSize);

  std::vector<ColumnId> ids;  // shown, not folded, ascending
  for (ColumnId id : kAllColumns)
    if (columns[id].m_bShown && !columns[id].m_bFolded) ids.push_back(id);
  auto selectors = [&](std::string_view base) {
    for (ColumnId id : ids) out += "." + ColumnClass(base, id) + ",";
  };

  out += "BODY{background:#" + CssColor(s[kStyleBackground].crColor) + ";}\n";
  out += "TABLE{border-collapse:collapse;border:" + n + "px solid #" + frame + ";}\n";
  out += std::string("A{text-decoration:") + CssTextDecoration(header) + ";color:#" +
         CssColor(header.crColor) + ";}\n";
  selectors("fa");
  out += ".i,TD{background-color:#" + CssColor(even.crColor) + ";color:#" +
         CssColor(even.crTextColor) + ";" + CssFontDeclarations(even) +
         "padding-left:3px;padding-right:3px;white-space:nowrap;border:solid #" + frame +
         ";border-top-width:0px;border-right-width:" + n +
         "px;border-bottom-width:0px;border-left-width:" + n + "px;}\n";
  selectors("aa");
  out += ".i{background-color:#" + CssColor(odd.crColor) + ";color:#" + CssColor(odd.crTextColor) +
         ";padding-left:3px;padding-right:3px;" + CssFontDeclarations(odd) + "}\n";
  out += ".z{color:#" + CssColor(odd.crTextColor) + ";text-decoration:" + CssTextDecoration(odd) +
         ";}\n";
  out += ".y{color:#" + CssColor(even.crTextColor) + ";text-decoration:" + CssTextDecoration(even) +
         ";}\n";
  out += ".a, .i, .q";
  out += AlignRule(columns[ColumnId::kName].m_nAlign);
  for (ColumnId id : ids) {
    out +=
        "." + ColumnClass("aa", id) + ", ." + ColumnClass("fa", id) + ", ." + ColumnClass("ka", id);
    out += AlignRule(columns[id].m_nAlign);
  }
  out += "TH,.header,.ahead{background-color:#" + CssColor(header.crColor) + ";color:#" +
         CssColor(header.crTextColor) + ";text-align:center;" + CssFontDeclarations(header) + "}\n";
  out += "TH{border:" + n + "px solid #" + frame + ";}\n";
  selectors("ka");
  out += ".q{background-color:#" + CssColor(dir.crColor) + ";color:#" + CssColor(dir.crTextColor) +
         ";border:" + n + "px solid #" + frame + ";" + CssFontDeclarations(dir) + "}\n";
  out += ".a1{color:#" + CssColor(dir.crTextColor) + ";text-decoration:" + CssTextDecoration(dir) +
         ";}\n";
  out += ".i, .a, .q{white-space:normal;}\n";
}

int CharSetForCodePage(int codePage) {
  switch (codePage) {
    case 1252:
      return 0;
    case 932:
      return 128;
    case 949:
      return 129;
    case 936:
      return 134;
    case 950:
      return 136;
    case 1253:
      return 161;
    case 1254:
      return 162;
    case 1258:
      return 163;
    case 1255:
      return 177;
    case 1256:
      return 178;
    case 1257:
      return 186;
    case 1251:
      return 204;
    case 874:
      return 222;
    case 1250:
      return 238;
    default:
      return -1;
  }
}

const char* CharsetNameForCharSet(int charSet) {
  switch (charSet) {
    case 0:
    case 1:
    case 2:
    case 255:
      return "iso-8859-1";
    case 128:
      return "shift-jis";
    case 129:
      return "ks_c_5601";
    case 134:
      return "gb2312";
    case 136:
      return "big5";
    case 161:
      return "windows-1253";
    case 162:
      return "windows-1254";
    case 163:
      return "windows-1258";
    case 177:
      return "windows-1255";
    case 178:
      return "windows-1256";
    case 186:
      return "windows-1257";
    case 204:
      return "windows-1251";
    case 222:
      return "windows-874";
    case 238:
      return "windows-1250";
    default:
      return "";
  }
}

std::string MetaCharsetName(int encoding, const CHtmlStyleSet& styles, int ansiCodePage) {
  if (encoding == kEncodingUtf8) return "UTF-8";
  if (encoding == kEncodingUtf16) return "UTF-16";
  int charSet = styles[kStyleOddRow].lfFont.lfCharSet;
  if (charSet == 1 || charSet == 2 || charSet == 255) {
    if (ansiCodePage == 65001) return "UTF-8";  // a UTF-8 "ANSI" page set by the user
    const int system = CharSetForCodePage(ansiCodePage);
    if (system >= 0) charSet = system;
  }
  return CharsetNameForCharSet(charSet);
}

}  // namespace orvane
