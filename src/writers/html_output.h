// COvHtmlOutput: writes a listing as one HTML page holding a single table, with a style sheet
// generated from the listing's HTML styles, optional heading rows, odd and even item rows,
// directory rows, and links to files, directories or anchors inside the page.
//
// Every text put into the page is escaped (names, paths, cells, titles, summary) and every link
// target is percent-encoded, so no file name can add markup. In the ANSI encoding a character
// the code page cannot hold is written as a numeric character reference.
//
// Like every writer it is created, used and destroyed by the generation's worker thread alone.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "writers/output.h"

namespace orvane {

// Appends text escaped for HTML: "&", "<", ">" and '"' become entities; with blankPairs every
// pair of blanks (taken from the left) becomes "&nbsp;&nbsp;".
void AppendHtmlEscaped(std::string& out, std::string_view text, bool blankPairs);
// Appends a link target percent-encoded byte by byte (UTF-8 bytes, and any other byte, as %XX);
// unreserved characters and "/" stay as they are.
void AppendUrlEncoded(std::string& out, std::string_view target);

class COvHtmlOutput : public COvOutput {
 public:
  // Finds a directory of the current generation by its key (absolute path without trailing
  // "/"; the root is "/"); null when the directory is not listed.
  using DirLookup = std::function<int(const std::string& key)>;
  // Overrides the context's directory lookup.

  COvHtmlOutput(const WriterOptions& options, OutputContext& context);

  // The directory map used for links to subdirectories inside the page. Without it (or when a
  // subdirectory is not found) such a link has a class and no target.
  void SetDirLookup(DirLookup lookup) { m_findDir = std::move(lookup); }

  void FormatHeader(COutputColumns& columns, std::string& out) override;
  void FormatItemRow(COutputColumns& columns, std::string& out, const OutputEntry& entry) override;
  void FormatDirRow(COutputColumns& columns, std::string& out, const OutputEntry& entry) override;
  void FormatFooter(std::string& out) override;

  bool OddRow() const { return m_bOddRow; }
  int ColumnCount() const { return m_nColumnCount; }

 private:
  // Escaped text, with character references for what the ANSI code page cannot hold.
  void AppendText(std::string& out, std::string_view text, bool blankPairs);
  void AppendItemName(const COutputColumns& columns, const OutputEntry& entry, std::string& out);
  void AppendItemLinkTarget(const COutputColumns& columns, const OutputEntry& entry,
                            std::string& out);
  void AppendSummaryRow(std::string& out);
  bool Representable(char32_t c);

  bool m_bOddRow = true;
  int m_nColumnCount = 1;
  DirLookup m_findDir;
  bool m_bAnsi = false;  // ANSI encoding: references for characters outside the code page
  int m_nCodePage = 0;
  std::unordered_map<char32_t, bool> m_representable;
};

std::unique_ptr<COvOutput> MakeHtmlOutput(const WriterOptions& options, OutputContext& context);

}  // namespace orvane
