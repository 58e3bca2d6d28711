// CListingEngine: turns the checked directories into a listing file on one worker thread.
//
// A generation scans the directories (filter, records, extra information for the shown columns)
// and then writes the sorted rows through a writer. The records of the last generation are kept
// and reused by the next scan for files whose name and last-write time did not change.
//
// Threads: StartGeneration and StopGeneration are called on the controlling thread (the window,
// or the batch command); the options and the checked directories are changed only while no job
// runs (IsReady()). Progress and the end of each job reach the receiver from the worker thread.
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
#include "engine/listing_options.h"
#include "engine/records.h"
#include "engine/sync_event.h"
#include "platform/file_find.h"
#include "writers/output.h"

namespace orvane {

// Messages to the main window (offsets from the window system's user range, 0x400).
enum ListingMessageId : int {
  WM_LISTING_DONE = 0x401,
  WM_LISTING_STATUS = 0x403,
  WM_SCAN_BEGIN = 0x406,
  WM_SCAN_END = 0x407,
  WM_WRITE_BEGIN = 0x408,
  WM_WRITE_PROGRESS = 0x409,
  WM_WRITE_END = 0x40A,
  // A message the user must see (text): the window shows it in a message box, batch mode
  // prints it on stderr. The listing goes on.
  WM_LISTING_MESSAGE = 0x40B,
};

// Request codes.
enum ListingRequest : int {
  kRequestSave = 100,
  kRequestPreview = 101,
  kRequestMail = 102,
  kRequestPrint = 103,
  kRequestPrintPreview = 104,
};

struct ListingMessage {
  int id = 0;
  std::int64_t wParam = 0;
  std::int64_t lParam = 0;
  std::string text;  // the status text of WM_LISTING_STATUS (at most 259 characters)
};

// The main window as the engine sees it. Post is called on the worker thread and must not
// block for long (queue the message).
class ListingReceiver {
 public:
  virtual ~ListingReceiver() = default;
  virtual void Post(const ListingMessage& message) = 0;
  // A generation starts (called on the controlling thread inside StartGeneration).
  virtual void GenerationStarting() {}
};

class CListingEngine {
 public:
  CListingEngine();
  ~CListingEngine();
  CListingEngine(const CListingEngine&) = delete;
  CListingEngine& operator=(const CListingEngine&) = delete;

  // Runs one job for `request`. When a job runs already, only marks that a regeneration is
  // wanted (RegenerateRequested) and returns false. An empty path asks the temporary-file maker.
  bool StartGeneration(int request, const std::string& outputPath);
  // Cancels a running job and waits for the worker to end.
  void StopGeneration();
  bool IsReady() { return m_hReadyEvent.Wait(std::chrono::milliseconds(0)); }
  // Waits until no job runs.
  void WaitReady() { m_hReadyEvent.Wait(); }

  // Everything below is set by the controlling thread while no job runs.
  CListingOptions m_options;
  std::map<std::string, std::string> m_checkedDirs;  // path -> "2" (this dir) or "3" (with subdirs)
  ListingReceiver* m_hNotifyWnd = nullptr;
  // Copies the pages into the options (the apply notice); called inside StartGeneration.
  std::function<void(CListingEngine&)> m_applyNotice;
  // Makes a temporary output file for an output type; returns its path or "" on failure.
  std::function<std::string(int outputType)> m_makeTempFile;

  bool RegenerateRequested() const { return m_bRegenerate; }
  int Request() const { return m_nRequest; }
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
  void Post(int id, std::int64_t w = 0, std::int64_t l = 0, std::string text = std::string());
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
  bool WriteItemRows(COvOutput& out, std::vector<CFileRecord*>& items);
  void WritePerDirListing(CDirRecord& dir, std::vector<CFileRecord*>& items);
  void SetupColumns(bool resetWidths);
  // The text of one cell of the row being filled; ClearCells empties the cells of the last row.
  std::string& Cell(int id);
  void ClearCells();
  void FillDirCells(CDirRecord& dir);
  bool FillItemCells(CFileRecord& rec, int number);
  void ReadScanExtras(CFileRecord& rec, const std::string& fullPath);
  bool NeedsTypeOrOwner(const CFileRecord& rec) const;
  void ReadTypeAndOwner(CFileRecord& rec, const std::string& fullPath);
  void ShowMessage(const std::string& text) { Post(WM_LISTING_MESSAGE, 0, 0, text); }
  // Reads the extra groups a shown column needs and that are not loaded yet; false when a
  // hash reader reported cancellation.
  bool ReadExtras(CFileRecord& rec, const std::string& fullPath);
  void FillExtraCells(CFileRecord& rec);
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

  int m_nRequest = kRequestPreview;
  std::string m_strOutputPath;
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
  bool m_bReadsFiles = false;  // a shown column needs a file's contents (columns 12 to 57)
  COutputColumns m_columns;
  std::array<std::string, kColumnCount> m_cellText;
  std::array<std::string, kColumnCount> m_titles;
  std::uint64_t m_cellsSet = 0;  // one bit per cell written since the last ClearCells
  bool m_bCellsBound = false;    // the slots point at m_cellText (not at the titles)
  OutputContext m_context;
  bool m_bHashCancelled = false;
  std::string m_archiveChainKey;            // archive path and folder part of the last member
  std::vector<CDirRecord*> m_archiveChain;  // its folder records, outermost first
  std::string m_mountPointCache;
  std::string m_mountPointCacheKey;
};

}  // namespace orvane
