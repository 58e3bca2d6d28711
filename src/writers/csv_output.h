// COvCsvOutput: writes a listing as character-separated values, one line per row and one field
// per shown column. Unlike the text and HTML writers it keeps Number, Path, Name, Extension and
// File count as fields of their own.
//
// A field is enclosed in double quotes when it holds the separator, a double quote, CR or LF,
// and its inner double quotes are doubled, so every row parses back into the same fields. Rows
// end in CR LF; a line feed inside a quoted field stays a bare line feed, as the name had it.
//
// Like every writer it is created, used and destroyed by the generation's worker thread alone.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "writers/output.h"

namespace orvane {

// The separator the writer uses: the first character (code point) of the configured text, or
// ";" when that text is empty.
std::string CsvSeparator(std::string_view configured);
// Appends one field: quoted, with inner quotes doubled, when it holds the separator, a double
// quote, CR or LF; unchanged otherwise (an empty field stays empty).
void AppendCsvField(std::string& out, std::string_view text, std::string_view separator);

class COvCsvOutput : public COvOutput {
 public:
  COvCsvOutput(const WriterOptions& options, OutputContext& context);

  void FormatHeader(COutputColumns& columns, std::string& out) override;
  void FormatItemRow(COutputColumns& columns, std::string& out, const OutputEntry& entry) override;
  void FormatDirRow(COutputColumns& columns, std::string& out, const OutputEntry& entry) override;
  void FormatFooter(std::string& out) override;

 protected:
  // Only line feeds outside quoted fields end a line; those inside stay as they are.
  void ExpandLineEnds(std::string_view text, std::string& out) const override;

 private:
  // Joins the cells (each the separator and its field) in output order, without the leading
  // separator.
  void Join(const COutputColumns& columns, std::string& out);

  std::string m_strSeparator;
};

std::unique_ptr<COvOutput> MakeCsvOutput(const WriterOptions& options, OutputContext& context);

}  // namespace orvane
