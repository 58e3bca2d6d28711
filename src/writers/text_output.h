// COvTxtOutput: the listing as a plain-text table of fixed-width columns separated by one blank,
// optionally wrapped, with "# " header and summary lines.
#pragma once

#include <string>
#include <vector>

#include "writers/output.h"

namespace orvane {

class COvTxtOutput : public COvOutput {
 public:
  COvTxtOutput(const WriterOptions& options, OutputContext& context);

  void FormatHeader(COutputColumns& columns, std::string& out) override;
  void FormatItemRow(COutputColumns& columns, std::string& out, const OutputEntry& entry) override;
  void FormatDirRow(COutputColumns& columns, std::string& out, const OutputEntry& entry) override;
  void FormatFooter(std::string& out) override;

 private:
  // Notes the participating columns (shown, not folded), in output order, for the row to come.
  void CollectVisible(const COutputColumns& columns);
  // Lays out the cells of the participating columns (as CollectVisible found them) as one or
  // more lines (or, in the measuring pass, only widens the columns).
  void LayoutRow(COutputColumns& columns, std::string& out);
  // The same for rows of printable ASCII only, without decoding; false (nothing done) when a
  // cell holds anything else.
  bool LayoutAsciiRow(COutputColumns& columns, std::string& out);
  bool Measuring() const;

  std::vector<std::u32string> m_decoded;
  std::vector<ColumnId> m_visible;  // see CollectVisible
};

std::unique_ptr<COvOutput> MakeTextOutput(const WriterOptions& options, OutputContext& context);

}  // namespace orvane
