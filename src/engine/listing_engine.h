// CListingEngine: turns the checked directories into a listing file on one worker thread.
//
// A generation scans the directories (filter, records, extra information for the shown columns)
// and then writes the sorted rows through a writer. The records of the last generation are kept
// and reused by the next scan for files whose name and last-write time did not change.
//
// Threads: StartGeneration and StopGeneration are called on the controlling thread (the window,
// or the batch command); everything a job needs comes with its ListingJob, and the engine keeps
// no process-wide state, so several engines (a preview and a save) may run side by side.
// Progress and the end of each job reach the receiver from the worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "engine/filter.h"
#include "engine/formatting.h"
#include "engine/listing_job.h"
#include "engine/listing_options.h"
#include "engine/listing_services.h"
#include "engine/records.h"
#include "engine/sorting.h"
#include "engine/sync_event.h"
#include "platform/file_find.h"
#include "writers/output.h"

namespace orvane {

class CListingEngine {
 public:
  // The receiver (may be null) gets the events of every job; it and the services (null: the
  // system's) must outlive the engine.
  explicit CListingEngine(ListingReceiver* receiver = nullptr, ListingServices* services = nullptr);
  ~CListingEngine();
  CListingEngine(const CListingEngine&) = delete;
  CListingEngine& operator=(const CListingEngine&) = delete;

  // Runs `job`. When a job runs already, only marks that a regeneration is wanted
  // (RegenerateRequested) and returns false. Two engines run their jobs independently.
  bool StartGeneration(ListingJob job);
  // Cancels a running job and waits for the worker to end.
  void StopGeneration();
  bool IsReady() { return m_hReadyEvent.Wait(std::chrono::milliseconds(0)); }
  // Waits until no job runs.
  void WaitReady() { m_hReadyEvent.Wait(); }

  bool RegenerateRequested() const { return m_bRegenerate; }
  ListingRequest Request() const { return m_nRequest; }
  const std::string& OutputPath() const { return m_strOutputPath; }
  // Results of the last generation (read while no job runs).
  int Files() const { return m_nFiles; }
  int Dirs() const { return m_nDirs; }
  std::uint64_t TotalSize() const { return m_nTotalSize; }
  std::string Summary();
  bool LastJobCancelled() const { return m_bLastCancelled; }
  // The last job ended without a complete listing: the output could not be written, or an
  // error (such as running out of memory) stopped it; LastError then says why.
  bool LastWriteFailed() const { return m_bLastWriteFailed; }
  const std::string& LastError() const { return m_strLastError; }
  const std::vector<std::unique_ptr<CDirRecord>>& Directories() const { return m_dirs; }

  // Progress of the hash readers: label " (" path ") " percent "%", throttled with the status;
  // the message's lParam carries the bytes done.
  void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                      const char* label);
  bool StopRequested() { return m_hStopEvent.Wait(std::chrono::milliseconds(0)); }

  // Archive support for the archive readers (worker thread, during the scan).
  CDirRecord* BeginArchiveDir(const std::string& dirPath, const std::string& archiveName,
                              int baseLength);
  void AddArchiveEntry(const std::string& archivePath, const std::string& entryPath,
                       std::uint64_t size, std::uint32_t crc, std::uint32_t attributes,
                       std::int64_t time);
  void EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                     std::uint64_t size);

  // Runs one job on the calling thread (the worker's body; also used by tests). Returns true
  // when it was cancelled. Never throws: an exception ends the job as failed.
  bool RunJob();

 private:
  struct ScanFrame;
  // The walk below one checked directory: its frames, innermost last, and its open folders.
  struct ScanWalk {
    std::vector<std::unique_ptr<ScanFrame>>& stack;
    int baseLength = 0;
    int openDirs = 0;
    std::size_t lowestOpen = 0;  // no frame below this one has an open folder
  };
  void WorkerMain();
  bool RunPhases();
  void FailJob(const std::string& reason);
  void UpdateStatus(bool force);
  bool Scan();
  void ScanTree(const std::string& path, bool withSubdirs, int baseLength);
  void BeginFrame(ScanWalk& walk, const std::string& dirPath, DirHandle handle, bool withSubdirs,
                  int depth, const FindData* own);
  void EndFrame(ScanWalk& walk);
  void LimitOpenDirs(ScanWalk& walk);
  void SetDriveInfo(CDirRecord& d, const VolumeInfo& vol);
  // Records the frame's entries up to the next subdirectory to descend into (true, with its
  // status in `sub`) or to the end of the folder (false).
  bool NextSubdir(ScanFrame& frame, FindData& sub);
  void RecordEntry(ScanFrame& frame, const FindData& e);
  bool WritePhase(bool& failed);
  // The rows directory by directory, or all items together; true when cancelled.
  bool WriteDirByDir(COvOutput& out, std::vector<CDirRecord*>& dirs, bool perDir);
  bool WriteFilesTogether(COvOutput& out, const std::vector<CDirRecord*>& dirs, bool perDir);
  bool WriteItemRows(COvOutput& out, std::vector<CFileRecord*>& items);
  void WritePerDirListing(CDirRecord& dir, std::vector<CFileRecord*>& items);
  std::unique_ptr<COvOutput> MakeWriter();
  void SetupColumns(bool resetWidths);
  // The text of one cell of the row being filled; ClearCells empties the cells of the last row.
  std::string& Cell(ColumnId id);
  void ClearCells();
  void FillDirCells(CDirRecord& dir);
  bool FillItemCells(CFileRecord& rec, int number);
  void ReadScanExtras(CFileRecord& rec, const std::string& fullPath);
  bool NeedsTypeOrOwner(const CFileRecord& rec) const;
  void ReadTypeAndOwner(CFileRecord& rec, const std::string& fullPath);
  void ShowMessage(const std::string& text) {
    if (m_receiver) m_receiver->Message(text);
  }
  // Reads the extra groups a shown column needs and that are not loaded yet; false when a
  // hash reader reported cancellation.
  bool ReadExtras(CFileRecord& rec, const std::string& fullPath);
  std::uint64_t ListArchive(CDirRecord& dir, const std::string& name);
  void ReadDirOwner(CDirRecord& dir);
  CDirRecord* FindDir(const std::string& path);
  CDirRecord* NewDir(const std::string& path, int baseLength);
  std::string FullPath(const CDirRecord& dir, const std::string& name) const;
  std::string DirText(const CDirRecord& dir);

  Event m_hStartEvent{false, false};
  Event m_hReadyEvent{true, true};
  Event m_hStopEvent{true, false};
  Event m_hEndedEvent{false, false};
  std::thread m_worker;
  std::atomic<bool> m_bWorkerRunning{false};

  // The job being run: set by StartGeneration while no job runs, read by the worker.
  ListingReceiver* m_receiver = nullptr;
  ListingServices& m_services;
  CListingOptions m_options;
  CheckedDirs m_checkedDirs;
  SortSettings m_sort;
  WriterFactory m_makeWriter;
  ListingRequest m_nRequest = kRequestPreview;
  std::string m_strOutputPath;
  // The status text and its 100 ms throttle (the worker writes, Summary reads).
  std::mutex m_statusMutex;
  std::int64_t m_lastProgressTick = -1000000;
  bool m_bRegenerate = false;
  bool m_bLastCancelled = false;
  bool m_bLastWriteFailed = false;
  std::string m_strLastError;

  // Records of the current and the previous generation, in scan order, with an index by path.
  std::vector<std::unique_ptr<CDirRecord>> m_dirs;
  std::unordered_map<std::string, CDirRecord*> m_dirIndex;
  std::unordered_map<std::string, std::unique_ptr<CDirRecord>> m_prevDirs;

  int m_nFiles = 0;
  int m_nDirs = 0;
  std::uint64_t m_nTotalSize = 0;
  int m_nFileSeq = 0;
  int m_nDirSeq = 0;
  std::string m_strSummary;

  NumberFormat m_numberFormat;           // the listing's separators, set at the start of each phase
  std::unique_ptr<FileFilter> m_filter;  // compiled once per scan
  bool m_bScanExtras = false;            // the scan reads extra information (type, owner, contents)
  unsigned m_readers = 0;                // the ColumnReader bits of the shown columns
  bool m_bReadsFiles = false;            // a shown column needs a file's contents
  std::vector<ColumnId> m_itemCellColumns;  // shown columns whose item cell the table makes
  COutputColumns m_columns;
  ColumnArray<std::string> m_cellText;
  ColumnArray<std::string> m_titles;
  std::uint64_t m_cellsSet = 0;  // one bit per cell written since the last ClearCells
  bool m_bCellsBound = false;    // the slots point at m_cellText (not at the titles)
  OutputContext m_context;
  WriterOptions m_writerOptions;  // what the writers of the job read
  bool m_bHashCancelled = false;
  std::string m_archiveChainKey;            // archive path and folder part of the last member
  std::vector<CDirRecord*> m_archiveChain;  // its folder records, outermost first
  std::string m_mountPointCache;
  std::string m_mountPointCacheKey;
};

}  // namespace orvane
