#include "writers/html_output.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <fstream>

#include "base/strings.h"
#include "base/unicode.h"
#include "platform/codepage.h"
#include "writers/html_style.h"

#ifndef ORVANE_WEB_ADDRESS
#define ORVANE_WEB_ADDRESS "https://www.brenmoor.com/orvane/"
#endif

namespace orvane {
namespace {

enum RowKind { kOddRow = 0, kEvenRow = 1, kDirRow = 2 };

// The class of a column's cells in each row kind, made once.
const std::string& CellClass(RowKind kind, ColumnId id) {
  static const auto* table = [] {
    auto* t = new std::array<std::array<std::string, kColumnCount>, 3>;
    const char* bases[] = {"aa", "fa", "ka"};
    for (int k = 0; k < 3; ++k)
      for (ColumnId c : kAllColumns)
        (*t)[static_cast<std::size_t>(k)][ColumnIndex(c)] = ColumnClass(bases[k], c);
    return t;
  }();
  return (*table)[static_cast<std::size_t>(kind)][ColumnIndex(id)];
}

bool Visible(const COutputColumns& columns, ColumnId id) {
  return columns[id].m_bShown && !columns[id].m_bFolded;
}

// The current local date and time with the listing's date and time patterns.
std::string LocalNowText(const WriterOptions& options, std::int64_t now) {
  const std::time_t t = now != 0 ? static_cast<std::time_t>(now) : std::time(nullptr);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return {};
  const std::string pattern = options.m_strDateFormat + " " + options.m_strTimeFormat;
  char buf[128];
  const std::size_t n = std::strftime(buf, sizeof buf, pattern.c_str(), &tm);
  return std::string(buf, n);
}

// Appends the external style sheet line by line; a missing or unreadable file adds nothing.
void AppendExternalCss(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (first && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    first = false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += line;
    out += '\n';
  }
}

// The name the entry has in its directory: name, and "." plus extension where it had one.
std::string EntryName(const OutputEntry& entry) {
  std::string name(entry.name);
  if (!entry.hasDot && entry.ext.empty()) return name;
  name += '.';
  name += entry.ext;
  return name;
}

// The key of the directory an entry names: its directory's key, "/", its name.
std::string SubdirKey(const OutputEntry& entry) {
  std::string key(entry.dirPath);
  if (!key.empty() && key.back() != '/') key += '/';
  return key + EntryName(entry);
}

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text, bool blankPairs) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    std::size_t skip = 1;
    switch (text[i]) {
      case '&':
        entity = "&amp;";
        break;
      case '<':
        entity = "&lt;";
        break;
      case '>':
        entity = "&gt;";
        break;
      case '"':
        entity = "&quot;";
        break;
      case ' ':
        if (blankPairs && i + 1 < text.size() && text[i + 1] == ' ') {
          entity = "&nbsp;&nbsp;";
          skip = 2;
        }
        break;
      default:
        break;
    }
    if (!entity) continue;
    out.append(text.data() + start, i - start);
    out += entity;
    i += skip - 1;
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}

void AppendUrlEncoded(std::string& out, std::string_view target) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char ch : target) {
    const auto c = static_cast<unsigned char>(ch);
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (keep) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
}

COvHtmlOutput::COvHtmlOutput(const WriterOptions& options, OutputContext& context)
    : COvOutput(options, context, ".html") {
  m_bAnsi = options.m_nEncoding == kEncodingAnsi;
  if (m_bAnsi) m_nCodePage = AnsiCodePage();
}

bool COvHtmlOutput::Representable(char32_t c) {
  if (m_nCodePage == 65001) return true;
  auto it = m_representable.find(c);
  if (it != m_representable.end()) return it->second;
  std::string one;
  AppendUtf8(one, c);
  const bool ok = Utf8ToCodePage(one, m_nCodePage) != "?";
  m_representable.emplace(c, ok);
  return ok;
}

void COvHtmlOutput::AppendText(std::string& out, std::string_view text, bool blankPairs) {
  if (!m_bAnsi) return AppendHtmlEscaped(out, text, blankPairs);
  // ANSI: runs of ASCII are escaped as usual; every other character is kept when the code page
  // holds it and written as a character reference otherwise.
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && static_cast<unsigned char>(text[j]) < 0x80) ++j;
    AppendHtmlEscaped(out, text.substr(i, j - i), blankPairs);
    if (j == text.size()) break;
    const auto lead = static_cast<unsigned char>(text[j]);
    std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::u32string decoded = DecodeUtf8(text.substr(j, len));
    char32_t c = U'\xFFFD';
    if (decoded.size() == 1 && decoded[0] != U'\xFFFD') {
      c = decoded[0];
    } else {
      len = 1;  // an invalid byte stands for one replacement character
    }
    if (c != U'\xFFFD' && Representable(c)) {
      out.append(text.substr(j, len));
    } else {
      out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
    }
    i = j + len;
  }
}

void COvHtmlOutput::AppendSummaryRow(std::string& out) {
  out += "<tr><TD colspan=" + std::to_string(m_nColumnCount) + " class=\"header\">\n";
  AppendText(out, m_context.m_strSummary, false);
  out += "</td></tr>\n";
}

void COvHtmlOutput::FormatHeader(COutputColumns& columns, std::string& out) {
  out.clear();
  m_nColumnCount = 0;
  const WriterOptions& o = m_options;
  out += "<HTML>\n<HEAD>\n";
  out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=" +
         MetaCharsetName(o.m_nEncoding, o.m_htmlStyle, AnsiCodePage()) + "\">\n";
  out += "<TITLE>";
  if (!o.m_strHtmlTitle.empty()) {
    AppendText(out, o.m_strHtmlTitle, false);
  } else {
    out += std::string(kProgramName) + " " + kProgramVersionText + " listing";
  }
  out += "</TITLE>\n<STYLE TYPE=\"text/css\">\n<!--\n";
  AppendStyleSheet(o, columns, out);
  if (o.m_bExternalCss && !o.m_strCssPath.empty()) AppendExternalCss(o.m_strCssPath, out);
  out += "-->\n</STYLE>\n</HEAD>\n<BODY>\n<TABLE>\n<COL>\n";
  m_nColumnCount = 1;
  for (ColumnId id : kAllColumns) {
    if (!Visible(columns, id)) continue;
    out += "<COL>\n";
    ++m_nColumnCount;
  }
  const std::string span = std::to_string(m_nColumnCount);
  if (o.m_bProgramInfoInHeader) {
    out += "<tr>\n<td colspan=" + span + " class=\"header\">\n";
    AppendText(out, GetText(5008), false);
    out += ' ';
    AppendText(out, LocalNowText(o, m_context.m_tNow), false);
    out += ' ';
    AppendText(out, GetText(5009), false);
    out += " <A class=\"ahead\" HREF=\"" ORVANE_WEB_ADDRESS "\">";
    out += std::string(kProgramName) + "</a> " + kProgramVersionText + "\n</td>\n</tr>\n";
  }
  if (o.m_bSummary && o.m_nSummaryPos == 0) AppendSummaryRow(out);
  if (o.m_bColumnNamesInHeader) {
    for (ColumnId id : kAllColumns) {
      std::string& cell = m_cells[id];
      cell.clear();
      if (!Visible(columns, id)) continue;
      cell += id == ColumnId::kName ? std::string("<th class=\"headerq\">")
                                    : "<th class=\"header" + CellClass(kDirRow, id) + "\">";
      AppendText(cell, columns[id].Text(), false);
      cell += "</th>";
    }
    JoinCells(columns, out);
  }
  m_bOddRow = true;
}

void COvHtmlOutput::AppendItemLinkTarget(const COutputColumns& columns, const OutputEntry& entry,
                                         std::string& out) {
  const WriterOptions& o = m_options;
  if (o.m_bLinksToSubdirsInside && columns.m_bRowIsSubdir) {
    const DirLookup& find = m_findDir ? m_findDir : m_context.m_findDir;
    if (!find || !entry.inDir) return;
    if (const int number = find(SubdirKey(entry)); number >= 0)
      out += "\" href=\"#" + std::to_string(number);
    return;
  }
  out += "\" href=\"";
  if (o.m_bFileProtocolInLinks) out += "file://";
  std::string path = columns[ColumnId::kPath].Text();
  if (path.empty() && entry.inDir) {
    // The engine left the folded Path cell empty: the full path of the entry's directory.
    path = entry.dirPath;
    if (path.empty() || path.back() != '/') path += '/';
    if (o.m_nPathForm == kPathFromTop || o.m_nPathForm == kPathTopIsRoot) {
      const auto base = static_cast<std::size_t>(std::max(entry.dirBaseLength, 0));
      path.erase(0, std::min(base, path.size()));
    }
  }
  std::string_view shown = path;
  if ((o.m_nPathForm == kPathFromTop || o.m_nPathForm == kPathTopIsRoot) && !shown.empty())
    shown.remove_prefix(1);
  AppendUrlEncoded(out, shown);
  AppendUrlEncoded(out, EntryName(entry));
}

void COvHtmlOutput::AppendItemName(const COutputColumns& columns, const OutputEntry& entry,
                                   std::string& out) {
  const WriterOptions& o = m_options;
  const bool links = o.m_bLinksToFiles != 0;
  out += m_bOddRow ? "<td class=\"i\">" : "<td class=\"a\">";
  if (links) {
    out += m_bOddRow ? "<a class=\"z" : "<a class=\"y";
    AppendItemLinkTarget(columns, entry, out);
    out += "\">";
  }
  const bool surround = columns.m_bRowIsSubdir && o.m_bSurroundSubdirs;
  if (surround) out += "&lt;";
  if (columns[ColumnId::kNumber].m_bShown) AppendText(out, columns[ColumnId::kNumber].Text(), true);
  if (columns[ColumnId::kPath].m_bShown) AppendText(out, columns[ColumnId::kPath].Text(), true);
  AppendText(out, columns[ColumnId::kName].Text(), true);
  const std::string& ext = columns[ColumnId::kExtension].Text();
  if (columns[ColumnId::kExtension].m_bShown && !ext.empty()) {
    out += '.';
    AppendText(out, ext, true);
  }
  if (surround) out += "&gt;";
  if (links) out += "</a>";
  out += "</td>";
}

void COvHtmlOutput::FormatItemRow(COutputColumns& columns, std::string& out,
                                  const OutputEntry& entry) {
  out.clear();
  const RowKind kind = m_bOddRow ? kOddRow : kEvenRow;
  for (ColumnId id : kAllColumns) {
    std::string& cell = m_cells[id];
    cell.clear();
    if (!Visible(columns, id)) continue;
    if (id == ColumnId::kName) {
      AppendItemName(columns, entry, cell);
      continue;
    }
    cell += "<td class=\"";
    cell += CellClass(kind, id);
    cell += "\">";
    const std::string& text = columns[id].Text();
    if (id == ColumnId::kSize && columns.m_bRowIsSubdir && text == "&lt;DIR&gt;") {
      cell += text;  // already in page form
    } else {
      AppendText(cell, text, false);
    }
    cell += "</td>";
  }
  out += "<tr>";
  JoinCells(columns, out);
  out += "</tr>";
  m_bOddRow = !m_bOddRow;
}

void COvHtmlOutput::FormatDirRow(COutputColumns& columns, std::string& out,
                                 const OutputEntry& entry) {
  out.clear();
  m_bOddRow = true;
  const WriterOptions& o = m_options;
  for (ColumnId id : kAllColumns) {
    std::string& cell = m_cells[id];
    cell.clear();
    if (!Visible(columns, id)) continue;
    if (id != ColumnId::kName) {
      cell += "<td class=\"";
      cell += CellClass(kDirRow, id);
      cell += "\">";
      AppendText(cell, columns[id].Text(), false);
      cell += "</td>";
      continue;
    }
    cell += "<td class=\"q\"";
    if (o.m_bLinksToSubdirsInside) cell += " id=\"" + std::to_string(entry.number) + "\"";
    cell += ">";
    const std::string& name = columns[ColumnId::kName].Text();
    if (o.m_bLinksToDirs) {
      cell += "<a class=\"a1\" href=\"";
      if (o.m_bFileProtocolInLinks) cell += "file://";
      std::string_view target = name;
      if ((o.m_nPathForm == kPathFromTop || o.m_nPathForm == kPathTopIsRoot) && !target.empty())
        target.remove_prefix(1);
      AppendUrlEncoded(cell, target);
      cell += "\">";
    }
    const std::string& count = columns[ColumnId::kCount].Text();
    if (columns[ColumnId::kCount].m_bShown && !count.empty()) {
      AppendText(cell, name + " " + count, true);
    } else {
      AppendText(cell, name, true);
    }
    if (o.m_bLinksToDirs) cell += "</a>";
    cell += "</td>";
  }
  out += "<tr>";
  JoinCells(columns, out);
  out += "</tr>";
}

void COvHtmlOutput::FormatFooter(std::string& out) {
  out.clear();
  if (m_options.m_bSummary && m_options.m_nSummaryPos == 1) AppendSummaryRow(out);
  out += "</TABLE>\n</BODY>\n</HTML>";
}

std::unique_ptr<COvOutput> MakeHtmlOutput(const WriterOptions& options, OutputContext& context) {
  return std::make_unique<COvHtmlOutput>(options, context);
}

}  // namespace orvane
