#include "writers/text_output.h"

#include <ctime>

#include "base/local_time.h"
#include "base/strings.h"
#include "base/unicode.h"

namespace orvane {
namespace {

// A control character would break the row structure: it shows as "?".
void DecodeCell(const std::string& text, std::u32string& out) {
  out = DecodeUtf8(text);
  for (char32_t& c : out)
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) c = U'?';
}

void AppendPadded(std::u32string& line, const std::u32string& text, std::size_t from, std::size_t w,
                  int align) {
  std::size_t d = from < text.size() ? std::min(w, text.size() - from) : 0;
  std::size_t pad = w - d;
  std::size_t before = align == 1 ? pad : align == 2 ? pad / 2 : 0;
  line.append(before, U' ');
  line.append(text, from < text.size() ? from : text.size(), d);
  line.append(pad - before, U' ');
}

}  // namespace

COvTxtOutput::COvTxtOutput(const WriterOptions& options, OutputContext& context)
    : COvOutput(options, context, ".txt") {}

bool COvTxtOutput::Measuring() const {
  return m_options.m_bAutoColumnWidths && m_context.m_bMeasuring;
}

namespace {

// True when every byte is a printable ASCII character (no decoding or replacing needed).
bool PlainAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
  return true;
}

void AppendPaddedBytes(std::string& line, const std::string& text, std::size_t from, std::size_t w,
                       int align) {
  std::size_t d = from < text.size() ? std::min(w, text.size() - from) : 0;
  std::size_t pad = w - d;
  std::size_t before = align == 1 ? pad : align == 2 ? pad / 2 : 0;
  line.append(before, ' ');
  if (d) line.append(text, from, d);
  line.append(pad - before, ' ');
}

}  // namespace

void COvTxtOutput::CollectVisible(const COutputColumns& columns) {
  m_visible.clear();
  for (const COutputColumn& slot : columns.slots) {
    const COutputColumn& c = columns[slot.m_nOrder];
    if (c.m_bShown && !c.m_bFolded) m_visible.push_back(slot.m_nOrder);
  }
}

bool COvTxtOutput::LayoutAsciiRow(COutputColumns& columns, std::string& out) {
  for (ColumnId id : m_visible)
    if (!PlainAscii(m_cells[id])) return false;
  if (Measuring()) {
    for (ColumnId id : m_visible) {
      COutputColumn& c = columns[id];
      const int size = static_cast<int>(m_cells[id].size());
      if (size > c.m_nWidth) c.m_nWidth = size;
    }
    return true;
  }
  for (std::size_t line = 0;; ++line) {
    bool more = false;
    bool first = true;
    for (ColumnId id : m_visible) {
      const COutputColumn& c = columns[id];
      const std::string& t = m_cells[id];
      const std::size_t w = static_cast<std::size_t>(c.m_nWidth < 1 ? 1 : c.m_nWidth);
      if (!first) out.push_back(' ');
      first = false;
      if (line == 0) {
        AppendPaddedBytes(out, t, 0, w, c.m_nAlign);
        if (t.size() > w && m_options.m_bWrapColumns) more = true;
      } else if (t.size() > w) {
        AppendPaddedBytes(out, t, w * line, w, c.m_nAlign);
        if (t.size() > w * (line + 1)) more = true;
      } else {
        out.append(w, ' ');
      }
    }
    if (!more || !m_options.m_bWrapColumns) break;
    out.push_back('\n');
  }
  return true;
}

void COvTxtOutput::LayoutRow(COutputColumns& columns, std::string& out) {
  out.clear();
  if (LayoutAsciiRow(columns, out)) return;
  out.clear();
  struct Part {
    ColumnId id;
    std::size_t width;
    int align;
  };
  Part parts[kColumnCount];
  int n = 0;
  m_decoded.resize(kColumnCount);
  for (const COutputColumn& slot : columns.slots) {
    const ColumnId id = slot.m_nOrder;
    COutputColumn& c = columns[id];
    if (!c.m_bShown || c.m_bFolded) continue;
    DecodeCell(m_cells[id], m_decoded[static_cast<std::size_t>(id)]);
    const std::size_t d = m_decoded[static_cast<std::size_t>(id)].size();
    if (Measuring()) {
      if (static_cast<int>(d) > c.m_nWidth) c.m_nWidth = static_cast<int>(d);
      continue;
    }
    parts[n++] = {id, static_cast<std::size_t>(c.m_nWidth < 1 ? 1 : c.m_nWidth), c.m_nAlign};
  }
  if (Measuring()) return;
  std::u32string lines;
  for (std::size_t line = 0;; ++line) {
    bool more = false;
    for (int p = 0; p < n; ++p) {
      const std::u32string& t = m_decoded[static_cast<std::size_t>(parts[p].id)];
      const std::size_t w = parts[p].width;
      if (p > 0) lines.push_back(U' ');
      if (line == 0) {
        AppendPadded(lines, t, 0, w, parts[p].align);
        if (t.size() > w && m_options.m_bWrapColumns) more = true;
      } else if (t.size() > w) {
        AppendPadded(lines, t, w * line, w, parts[p].align);
        if (t.size() > w * (line + 1)) more = true;
      } else {
        lines.append(w, U' ');
      }
    }
    if (!more || !m_options.m_bWrapColumns) break;
    lines.push_back(U'\n');
  }
  out = EncodeUtf8(lines);
}

void COvTxtOutput::FormatHeader(COutputColumns& columns, std::string& out) {
  out.clear();
  for (auto& c : m_cells) c.clear();
  // Titles that are not shown are not measured either.
  if (m_options.m_bColumnNamesInHeader) {
    for (ColumnId id : kAllColumns) m_cells[id] = columns[id].Text();
    CollectVisible(columns);
    std::string titles;
    LayoutRow(columns, titles);
    if (!Measuring()) out = titles;
  }
  if (m_options.m_bSummary && m_options.m_nSummaryPos == 0)
    out = "# " + m_context.m_strSummary + "\n" + out;
  if (m_options.m_bProgramInfoInHeader) {
    std::int64_t now =
        m_context.m_tNow ? m_context.m_tNow : static_cast<std::int64_t>(std::time(nullptr));
    std::string when =
        FormatLocal(now, m_options.m_strDateFormat + " " + m_options.m_strTimeFormat);
    out = "# " + GetText(5008) + " " + when + " " + GetText(5009) + " " + kProgramName + " " +
          kProgramVersionText + "\n" + out;
  }
}

void COvTxtOutput::FormatItemRow(COutputColumns& columns, std::string& out, const OutputEntry&) {
  out.clear();
  // Only the participating columns' cells are laid out.
  CollectVisible(columns);
  for (ColumnId id : m_visible)
    if (id != ColumnId::kName) m_cells[id] = columns[id].Text();
  m_cells[ColumnId::kName].clear();
  const bool surround = columns.m_bRowIsSubdir && m_options.m_bSurroundSubdirs;
  std::string& name = m_cells[ColumnId::kName];
  if (surround) name += '<';
  if (columns[ColumnId::kNumber].m_bShown) name += columns[ColumnId::kNumber].Text();
  if (columns[ColumnId::kPath].m_bShown) name += columns[ColumnId::kPath].Text();
  name += columns[ColumnId::kName].Text();
  if (columns[ColumnId::kExtension].m_bShown && !columns[ColumnId::kExtension].Text().empty()) {
    name += '.';
    name += columns[ColumnId::kExtension].Text();
  }
  if (surround) name += '>';
  LayoutRow(columns, out);
}

void COvTxtOutput::FormatDirRow(COutputColumns& columns, std::string& out, const OutputEntry&) {
  out.clear();
  CollectVisible(columns);
  for (ColumnId id : m_visible)
    if (id != ColumnId::kName) m_cells[id] = columns[id].Text();
  std::string& name = m_cells[ColumnId::kName];
  name = columns[ColumnId::kName].Text();
  if (columns[ColumnId::kCount].m_bShown) {
    name += ' ';
    name += columns[ColumnId::kCount].Text();
  }
  LayoutRow(columns, out);
}

void COvTxtOutput::FormatFooter(std::string& out) {
  out.clear();
  if (m_options.m_bSummary && m_options.m_nSummaryPos == 1)
    out = "\n# " + m_context.m_strSummary + "\n";
}

std::unique_ptr<COvOutput> MakeTextOutput(const WriterOptions& options, OutputContext& context) {
  return std::make_unique<COvTxtOutput>(options, context);
}

}  // namespace orvane
