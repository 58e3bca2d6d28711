// CWritePhase: the write phase of a generation. It sets up the column table, makes the writer,
// sorts the directories and items, fills the cells of each row (reading what the scan left
// unloaded) and hands the rows to the writer, directory by directory or with all files
// together, and writes the listing into each directory when asked.
//
// One per job, on the engine's worker thread; it runs once, or twice with automatic widths
// (a measuring pass, then the writing pass with the widths it found). When the rows need
// nothing read from the files, the writing pass formats blocks of directories on further
// threads, each with a phase and a writer of its own, and writes the blocks in order: the bytes
// are those of one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/columns.h"
#include "engine/entry_readers.h"
#include "engine/formatting.h"
#include "engine/job_status.h"
#include "engine/listing_job.h"
#include "engine/listing_services.h"
#include "engine/records.h"
#include "engine/row_blocks.h"
#include "engine/sorting.h"
#include "writers/output.h"

namespace orvane {

class CWritePhase {
 public:
  // `job` holds the options, the request, the output path and the writer factory.
  CWritePhase(const ListingJob& job, ListingServices& services, CEntryReaders& readers,
              CJobStatus& status, ListingRecords& records);
  ~CWritePhase();

  // One pass over the records: a measuring pass writes nothing but the widths. True when
  // cancelled; `failed` is set when the listing file could not be made or written.
  bool Run(bool measuring, bool& failed);

 private:
  friend class CRowBlocks;
  // The rows directory by directory, or all items together; true when cancelled.
  bool WriteDirByDir(COvOutput& out, std::vector<CDirRecord*>& dirs, bool perDir);
  bool WriteFilesTogether(COvOutput& out, const std::vector<CDirRecord*>& dirs, bool perDir);
  bool WriteItemRows(COvOutput& out, std::vector<CFileRecord*>& items);
  // The directory's row and its item rows; false when reading the files was cancelled.
  bool WriteDirRows(COvOutput& out, CDirRecord& dir, std::string& row,
                    std::vector<CFileRecord*>& items);
  // The directories in the order of their rows (sorted as the options say).
  void OrderDirs(std::vector<CDirRecord*>& dirs);
  // The rows can be formatted away from the worker: nothing is read from the files or asked of
  // the system while they are filled, and the writer is the program's own.
  bool CanFormatElsewhere() const;
  // A phase that formats rows as this one does, with its own columns, widths and writer (for
  // CRowBlocks).
  std::unique_ptr<CWritePhase> MakeFormatter() const;
  void WritePerDirListing(CDirRecord& dir, std::vector<CFileRecord*>& items);
  std::unique_ptr<COvOutput> MakeWriter();
  void SetupColumns(bool resetWidths);
  // The text of one cell of the row being filled; ClearCells empties the cells of the last row.
  std::string& Cell(ColumnId id);
  void ClearCells();
  void FillDirCells(CDirRecord& dir);
  bool FillItemCells(CFileRecord& rec, int number);
  std::string DirText(const CDirRecord& dir);

  const ListingJob& m_job;
  const CListingOptions& m_options;
  ListingServices& m_services;
  CEntryReaders& m_readers;
  CJobStatus& m_status;
  ListingRecords& m_records;
  SortSettings m_sort;
  WriterOptions m_writerOptions;            // what the writers of the job read
  NumberFormat m_numberFormat;              // the listing's separators
  std::vector<ColumnId> m_itemCellColumns;  // shown columns whose item cell the table makes
  COutputColumns m_columns;
  ColumnArray<std::string> m_cellText;
  ColumnArray<std::string> m_titles;
  std::uint64_t m_cellsSet = 0;  // one bit per cell written since the last ClearCells
  bool m_bCellsBound = false;    // the slots point at m_cellText (not at the titles)
  OutputContext m_context;
  int m_formatThreads = 1;                 // threads that may format rows
  std::unique_ptr<COvOutput> m_formatter;  // the writer of a phase that formats for another
  bool m_bHashCancelled = false;
  std::string m_mountPointCache;
  std::string m_mountPointCacheKey;
};

}  // namespace orvane
