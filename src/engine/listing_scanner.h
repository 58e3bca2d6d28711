// CListingScanner: the scan of a generation. It walks the checked directories depth first
// through the services' folder walker, filters the entries, builds the directory and file
// records (reusing the previous generation's record of every file whose name and last-write
// time did not change), reads the extra information of the shown columns as it meets each
// entry, and lists zip and rar files as directories when asked.
//
// One per job, on the engine's worker thread; the records and the status belong to the engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/checked_dirs.h"
#include "engine/entry_readers.h"
#include "engine/filter.h"
#include "engine/folder_read_ahead.h"
#include "engine/formatting.h"
#include "engine/job_status.h"
#include "engine/listing_options.h"
#include "engine/listing_services.h"
#include "engine/records.h"

namespace orvane {

class CListingScanner {
 public:
  // `threads`: how many threads read folders (0: one per processor core; 1: the scan's own
  // thread reads them all). The records are the same whatever the number.
  CListingScanner(CListingOptions& options, ListingServices& services, CEntryReaders& readers,
                  CJobStatus& status, ListingRecords& records, int threads = 1);
  ~CListingScanner();
  CListingScanner(const CListingScanner&) = delete;
  CListingScanner& operator=(const CListingScanner&) = delete;

  // Scans the checked directories into the records, which held the previous generation (the
  // cache of this one). True when cancelled.
  bool Scan(const CheckedDirs& checkedDirs);

  // What the archive readers create while the scan lists an archive as a directory.
  void BeginArchiveDir(const std::string& dirPath, const std::string& archiveName, int baseLength);
  void AddArchiveEntry(const std::string& archivePath, const std::string& entryPath,
                       std::uint64_t size, std::uint32_t crc, std::uint32_t attributes,
                       std::int64_t time);
  void EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                     std::uint64_t size);
  bool StopRequested() { return m_status.StopRequested(); }

 private:
  struct ScanFrame;
  struct ScanWalk;
  void ScanTree(const std::string& path, bool withSubdirs, int baseLength);
  // Pushes the frame of a folder with its open folder (null when the walk could not open it or
  // had no need to) and its listing (null when it lists nothing).
  void BeginFrame(ScanWalk& walk, const std::string& dirPath, FolderPtr folder,
                  std::unique_ptr<FolderListing> listing, bool withSubdirs, int depth,
                  const FindData* own);
  // Whether a folder at this depth has its subfolders scanned.
  bool Recurses(bool withSubdirs, int depth) const;
  bool HasSubfolders(const FolderListing& listing);
  void EndFrame(ScanWalk& walk);
  void LimitOpenFolders(ScanWalk& walk);
  static void SetDriveInfo(CDirRecord& d, const VolumeInfo& vol);
  // Records the frame's entries up to the next subdirectory to descend into (true, with its
  // status in `sub`) or to the end of the folder (false).
  bool NextSubdir(ScanFrame& frame, FindData& sub);
  void RecordEntry(ScanFrame& frame, const FindData& e);
  void UpdateStatus(bool force);
  std::uint64_t ListArchive(CDirRecord& dir, const std::string& name);
  // The folder record of a member's folder part, created with its parents as needed.
  CDirRecord* ArchiveFolder(const std::string& archivePath, CDirRecord* archive,
                            std::string_view folderPart, std::int64_t time);

  CListingOptions& m_options;
  ListingServices& m_services;
  FolderWalker& m_walker;
  CEntryReaders& m_readers;
  CJobStatus& m_status;
  ListingRecords& m_records;
  int m_helpers = 0;                      // threads reading folders ahead (0: none)
  std::vector<std::string> m_subfolders;  // scratch of HasSubfolders
  int m_maxFrameFolders = 0;              // folders the walk keeps open at most
  std::unique_ptr<CFolderReadAhead> m_readAhead;
  NumberFormat m_numberFormat;
  FileFilter m_filter;
  // Records of the previous generation by path, taken out as their directories are scanned.
  std::unordered_map<std::string, std::unique_ptr<CDirRecord>> m_prevDirs;
  std::string m_archiveChainKey;            // archive path and folder part of the last member
  std::vector<CDirRecord*> m_archiveChain;  // its folder records, outermost first
};

}  // namespace orvane
