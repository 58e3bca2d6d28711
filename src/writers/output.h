// COvOutput: the writer of one listing file. The base class owns the file, its encoding and the
// write calls; the text, HTML and CSV writers only format rows into strings.
//
// A writer is used by one thread at a time: the generation's worker, or a thread that formats
// rows for it into a sink.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/column_ids.h"
#include "writers/writer_options.h"

namespace orvane {

// The entry of a row as a writer sees it besides its cells: what links to it are made of.
struct OutputEntry {
  std::string_view name;     // files: the name without extension; directories: the whole name
  std::string_view ext;      // files: the extension without the dot
  bool hasDot = false;       // the enumerated name had a "." before the extension
  bool inDir = false;        // the entry belongs to a listed directory (dirPath below)
  std::string_view dirPath;  // that directory's path, no trailing "/" (the root is "/")
  int dirBaseLength = 0;     // the length of the part of dirPath above the checked directory
  int number = 0;  // directory rows: the directory's sequence number (the target of links)
};

// One slot of the engine's column table.
struct COutputColumn {
  bool m_bShown = false;
  const std::string* m_pText = nullptr;  // title while the header is formatted, else the cell
  int m_nWidth = 1;
  int m_nAlign = 0;
  ColumnId m_nOrder = ColumnId::kNumber;  // the column written at this position
  bool m_bFolded = false;
  const std::string& Text() const;
};

struct COutputColumns {
  std::array<COutputColumn, kColumnCount> slots;
  bool m_bRowIsSubdir = false;
  COutputColumn& operator[](ColumnId id) { return slots[ColumnIndex(id)]; }
  const COutputColumn& operator[](ColumnId id) const { return slots[ColumnIndex(id)]; }
};

// What the writers read from the engine besides the options.
struct OutputContext {
  bool m_bMeasuring = false;  // the measuring pass of automatic widths runs
  std::string m_strSummary;   // the summary text, complete after the scan
  std::int64_t m_tNow = 0;    // the moment the listing is generated (0: the current time)
  // The sequence number of the listed directory of a path, -1 when it is not listed (for links
  // to subdirectories inside the listing).
  std::function<int(const std::string& path)> m_findDir;
};

class COvOutput {
 public:
  COvOutput(const WriterOptions& options, OutputContext& context, const char* extension);
  virtual ~COvOutput();
  COvOutput(const COvOutput&) = delete;
  COvOutput& operator=(const COvOutput&) = delete;

  // Creates the file in the chosen encoding (byte-order mark first) and writes the header.
  // With appendExtension the default extension is added to the path. False when the file
  // cannot be created or the header cannot be written.
  bool Open(const std::string& path, bool appendExtension, COutputColumns& columns);
  bool WriteHeader(COutputColumns& columns);
  bool WriteFooter();
  // Writes one text (its line ends become CR LF, see ExpandLineEnds); errors are remembered,
  // not reported.
  void WriteLine(const std::string& text);
  // While a sink is set, WriteLine appends the encoded bytes to it instead of the file, so rows
  // can be formatted on one thread and written on another (null: back to the file).
  void SetSink(std::string* sink) { m_sink = sink; }
  // Writes bytes already encoded.
  void WriteBytes(std::string_view bytes);
  // Flushes and closes; false when any write failed.
  bool Close();
  bool HadError() const { return m_bError; }
  const std::string& Extension() const { return m_strExtension; }

  virtual void FormatHeader(COutputColumns& columns, std::string& out) = 0;
  virtual void FormatItemRow(COutputColumns& columns, std::string& out,
                             const OutputEntry& entry) = 0;
  virtual void FormatDirRow(COutputColumns& columns, std::string& out,
                            const OutputEntry& entry) = 0;
  virtual void FormatFooter(std::string& out) = 0;

 protected:
  // Joins the cells in output order: for each slot, the cell of the column its order names.
  void JoinCells(const COutputColumns& columns, std::string& out) const;
  // Appends text to out with each line end written as CR LF. Here every "\n" is a line end; a
  // writer whose texts carry line feeds as content says which are line ends.
  virtual void ExpandLineEnds(std::string_view text, std::string& out) const;

  const WriterOptions& m_options;  // outlives the writer
  OutputContext& m_context;
  ColumnArray<std::string> m_cells;
  std::string m_strExtension;

 private:
  void Encode(const std::string& text, std::string& bytes) const;

  std::FILE* m_file = nullptr;
  std::string* m_sink = nullptr;
  bool m_bError = false;
  std::string m_buffer;
};

// Makes the writer for the output type (1 HTML, 2 CSV, anything else text).
std::unique_ptr<COvOutput> CreateOutput(const WriterOptions& options, OutputContext& context);

}  // namespace orvane
