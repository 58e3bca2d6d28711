#include "writers/csv_output.h"

#include <algorithm>

namespace orvane {

std::string CsvSeparator(std::string_view configured) {
  if (configured.empty()) return ";";
  const auto lead = static_cast<unsigned char>(configured[0]);
  std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  len = std::min(len, configured.size());
  for (std::size_t i = 1; i < len; ++i)
    if ((static_cast<unsigned char>(configured[i]) & 0xC0) != 0x80)
      return std::string(configured.substr(0, 1));
  return std::string(configured.substr(0, len));
}

void AppendCsvField(std::string& out, std::string_view text, std::string_view separator) {
  const bool quote = text.find_first_of("\"\r\n") != std::string_view::npos ||
                     (!separator.empty() && text.find(separator) != std::string_view::npos);
  if (!quote) {
    out.append(text);
    return;
  }
  out += '"';
  std::size_t start = 0;
  for (std::size_t q = text.find('"'); q != std::string_view::npos; q = text.find('"', q + 1)) {
    out.append(text.substr(start, q + 1 - start));
    out += '"';
    start = q + 1;
  }
  out.append(text.substr(start));
  out += '"';
}

COvCsvOutput::COvCsvOutput(const WriterOptions& options, OutputContext& context)
    : COvOutput(options, context, ".csv"),
      m_strSeparator(CsvSeparator(options.m_strCsvSeparator)) {}

void COvCsvOutput::ExpandLineEnds(std::string_view text, std::string& out) const {
  // Without a double quote there is no quoted field: every line feed ends a line.
  if (text.find('"') == std::string_view::npos) {
    COvOutput::ExpandLineEnds(text, out);
    return;
  }
  // Reads the text as a CSV reader does: a double quote opens a quoted field only at the start
  // of a field, and inside one a doubled quote is a quote and a single one closes it.
  enum { kFieldStart, kBare, kQuoted, kQuoteInQuoted } state = kFieldStart;
  const std::string_view sep = m_strSeparator;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (state == kQuoted) {
      if (c == '"') state = kQuoteInQuoted;
      out.push_back(c);
      ++i;
      continue;
    }
    if (c == '\n') {
      out.append("\r\n", 2);
      state = kFieldStart;
      ++i;
      continue;
    }
    if (state == kQuoteInQuoted && c == '"') {
      state = kQuoted;
      out.push_back(c);
      ++i;
      continue;
    }
    if (!sep.empty() && text.compare(i, sep.size(), sep) == 0) {
      out.append(sep);
      state = kFieldStart;
      i += sep.size();
      continue;
    }
    state = state == kFieldStart && c == '"' ? kQuoted : kBare;
    out.push_back(c);
    ++i;
  }
}

void COvCsvOutput::Join(const COutputColumns& columns, std::string& out) {
  const std::size_t start = out.size();
  JoinCells(columns, out);
  out.erase(start, std::min(m_strSeparator.size(), out.size() - start));
}

void COvCsvOutput::FormatHeader(COutputColumns& columns, std::string& out) {
  out.clear();
  if (m_options.m_bSummary && m_options.m_nSummaryPos == 0) {
    out += m_context.m_strSummary;
    out += '\n';
  }
  if (!m_options.m_bColumnNamesInHeader) return;
  for (ColumnId id : kAllColumns) {
    std::string& cell = m_cells[id];
    cell.clear();
    if (!columns[id].m_bShown) continue;
    cell = m_strSeparator;
    AppendCsvField(cell, columns[id].Text(), m_strSeparator);
  }
  Join(columns, out);
}

void COvCsvOutput::FormatItemRow(COutputColumns& columns, std::string& out, const OutputEntry&) {
  out.clear();
  const bool surround = columns.m_bRowIsSubdir && m_options.m_bSurroundSubdirs;
  for (ColumnId id : kAllColumns) {
    std::string& cell = m_cells[id];
    cell.clear();
    if (!columns[id].m_bShown && id != ColumnId::kName) continue;
    cell = m_strSeparator;
    if (id == ColumnId::kName && surround) {
      AppendCsvField(cell, "<" + columns[id].Text() + ">", m_strSeparator);
    } else {
      AppendCsvField(cell, columns[id].Text(), m_strSeparator);
    }
  }
  Join(columns, out);
}

void COvCsvOutput::FormatDirRow(COutputColumns& columns, std::string& out, const OutputEntry&) {
  out.clear();
  for (ColumnId id : kAllColumns) {
    std::string& cell = m_cells[id];
    cell.clear();
    if (!columns[id].m_bShown && id != ColumnId::kName) continue;
    cell = m_strSeparator;
    std::string_view text = columns[id].Text();
    if (id == ColumnId::kCount) {
      // The engine writes the count as "(" number ")": the field holds the bare number.
      if (text.size() >= 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    }
    AppendCsvField(cell, text, m_strSeparator);
  }
  Join(columns, out);
}

void COvCsvOutput::FormatFooter(std::string& out) {
  out.clear();
  if (m_options.m_bSummary && m_options.m_nSummaryPos == 1) {
    out += m_context.m_strSummary;
    out += '\n';
  }
}

std::unique_ptr<COvOutput> MakeCsvOutput(const WriterOptions& options, OutputContext& context) {
  return std::make_unique<COvCsvOutput>(options, context);
}

}  // namespace orvane
