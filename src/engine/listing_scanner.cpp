#include "engine/listing_scanner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "base/unicode.h"
#include "engine/columns.h"

namespace orvane {
namespace {

bool EndsWithArchive(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = AsciiLower(name.substr(name.size() - 4));
  return tail == ".zip" || tail == ".rar";
}

// Folders kept open at once while walking a deep tree; deeper ones are reopened through "..".
// One is kept spare for the moment a folder is open beside its parent's reopening, and one for
// each thread reading ahead.
constexpr int kMaxOpenFolders = 256;
// Threads reading folders ahead at most, whatever the processor.
constexpr int kMaxHelpers = 8;

// Threads reading folders ahead for a job: one fewer than the job's threads, since the scan's
// own thread reads folders too while it waits for theirs (none when the job has one thread).
int HelpersFor(int threads) {
  threads = JobThreads(threads);
  return threads > 1 ? std::min(threads - 1, kMaxHelpers) : 0;
}

// A moment made safe for display (0, no birth time, stays 0).
std::int64_t Shown(std::int64_t t) {
  return t == 0 ? 0 : SafeTime(t);
}

}  // namespace

int JobThreads(int scanThreads) {
  int threads = scanThreads;
  // A job that leaves the number open: ORVANE_SCAN_THREADS when set, else one per core.
  if (threads <= 0) {
    const char* env = std::getenv("ORVANE_SCAN_THREADS");
    threads = env ? std::atoi(env) : 0;
  }
  if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
  return std::max(threads, 1);
}

// One directory being scanned: its record, its open folder (closed while deeper folders are
// scanned when too many are open, and reopened through ".."), and the entries still to go.
struct CListingScanner::ScanFrame {
  CDirRecord* dir = nullptr;
  FolderPtr folder;
  std::unique_ptr<FolderListing> listing;  // null when its entries are done or unreadable
  std::unique_ptr<CDirRecord> old;
  std::unordered_map<std::string, std::size_t> oldIndex;  // old records by name
  bool withSubdirs = false;
  bool recurse = false;  // subdirectories (and archives) are descended into
  int depth = 0;
  int sinceStatus = 0;
};

// The walk below one checked directory: its frames, innermost last, and its open folders.
struct CListingScanner::ScanWalk {
  std::vector<std::unique_ptr<ScanFrame>>& stack;
  int baseLength = 0;
  int openFolders = 0;
  std::size_t lowestOpen = 0;  // no frame below this one has an open folder
};

CListingScanner::CListingScanner(CListingOptions& options, ListingServices& services,
                                 CEntryReaders& readers, CJobStatus& status,
                                 ListingRecords& records, int threads)
    : m_options(options),
      m_services(services),
      m_walker(services.Folders()),
      m_readers(readers),
      m_status(status),
      m_records(records),
      m_helpers(HelpersFor(threads)),
      m_maxFrameFolders(kMaxOpenFolders - 1 - m_helpers),
      m_numberFormat(NumberFormat::FromOptions(options)),
      m_filter(options) {}

CListingScanner::~CListingScanner() = default;

void CListingScanner::UpdateStatus(bool force) {
  m_status.UpdateCounts(m_records.dirCount, m_records.files, m_records.totalSize, m_options,
                        m_numberFormat, force);
}

bool CListingScanner::Scan(const CheckedDirs& checkedDirs) {
  ListingRecords& r = m_records;
  r.files = r.dirCount = 0;
  r.totalSize = 0;
  r.fileSeq = r.dirSeq = 0;
  m_prevDirs.clear();
  for (auto& d : r.dirs) {
    std::string key = d->m_strPath;
    m_prevDirs[key] = std::move(d);
  }
  r.dirs.clear();
  r.index.clear();
  if (m_helpers > 0)
    m_readAhead =
        std::make_unique<CFolderReadAhead>(m_walker, m_helpers, [this] { return StopRequested(); });
  UpdateStatus(true);
  for (const auto& [rawPath, check] : checkedDirs) {
    if (StopRequested()) break;
    std::string path = rawPath;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty()) continue;
    std::size_t slash = path.rfind('/');
    int base = m_options.m_nPathForm == kPathTopIsRoot
                   ? static_cast<int>(path.size())
                   : static_cast<int>(slash == std::string::npos ? 0 : slash);
    ScanTree(path, check == DirCheck::kWithSubdirs, base);
  }
  m_readAhead.reset();
  const bool cancelled = StopRequested();
  if (m_options.m_bArchivesAsDirs && m_options.m_bHideEmptyDirs) {
    r.dirCount = 0;
    for (const auto& d : r.dirs)
      if (d->m_nFileCount > 0) ++r.dirCount;
  }
  UpdateStatus(true);
  m_prevDirs.clear();
  return cancelled;
}

void CListingScanner::ScanTree(const std::string& path, bool withSubdirs, int baseLength) {
  // A directory already listed in this generation (checked twice, or inside a checked tree) is
  // listed once.
  if (m_records.Find(path)) return;
  std::vector<std::unique_ptr<ScanFrame>> stack;
  ScanWalk walk{stack, baseLength};
  {
    // The checked directory itself: a mounted volume gets the drive treatment.
    VolumeInfo vol;
    FindData own;
    const bool drive = m_services.Volume(path, vol);
    const bool haveOwn = !drive && m_walker.Stat(path, own);
    FolderPtr folder = m_walker.Open(path);
    std::unique_ptr<FolderListing> listing = folder ? m_walker.List(*folder) : nullptr;
    BeginFrame(walk, path, std::move(folder), std::move(listing), withSubdirs, 0,
               haveOwn ? &own : nullptr);
    if (drive) SetDriveInfo(*stack.back()->dir, vol);
  }
  // Depth first: each frame lists its entries until it meets a subdirectory to descend into,
  // which is scanned completely before the entries that follow it.
  while (!stack.empty()) {
    ScanFrame& top = *stack.back();
    FindData sub;
    if (top.listing && !StopRequested() && NextSubdir(top, sub)) {
      const std::string subPath = JoinPath(top.dir->m_strPath, sub.name);
      if (m_records.Find(subPath)) continue;
      const int depth = top.depth + 1;
      std::unique_ptr<FolderListing> listing;
      const bool readAhead = m_readAhead && m_readAhead->Take(subPath, listing);
      // The walk opens a folder to list it, or to enter its subfolders. One read ahead that it
      // will not enter further it leaves closed.
      FolderPtr child;
      if (!readAhead || (listing && Recurses(true, depth) && HasSubfolders(*listing))) {
        LimitOpenFolders(walk);
        child = m_walker.OpenChild(*top.folder, sub.name);
        // A folder the walk cannot open lists nothing, whoever read it.
        if (!child)
          listing.reset();
        else if (!readAhead)
          listing = m_walker.List(*child);
      }
      BeginFrame(walk, subPath, std::move(child), std::move(listing), true, depth, &sub);
      continue;
    }
    EndFrame(walk);
  }
}

bool CListingScanner::Recurses(bool withSubdirs, int depth) const {
  return withSubdirs && (!m_options.m_bLimitRecursion || depth < m_options.m_nRecursionLevel);
}

bool CListingScanner::HasSubfolders(const FolderListing& listing) {
  m_subfolders.clear();
  listing.Subfolders(m_subfolders);
  return !m_subfolders.empty();
}

void CListingScanner::BeginFrame(ScanWalk& walk, const std::string& dirPath, FolderPtr folder,
                                 std::unique_ptr<FolderListing> listing, bool withSubdirs,
                                 int depth, const FindData* own) {
  auto f = std::make_unique<ScanFrame>();
  if (auto it = m_prevDirs.find(dirPath); it != m_prevDirs.end()) {
    f->old = std::move(it->second);
    m_prevDirs.erase(it);
    f->oldIndex.reserve(f->old->m_items.size());
    for (std::size_t i = 0; i < f->old->m_items.size(); ++i)
      f->oldIndex.emplace(f->old->m_items[i].FullName(), i);
  }
  f->dir = m_records.NewDir(dirPath, walk.baseLength);
  f->folder = std::move(folder);
  f->withSubdirs = withSubdirs;
  f->depth = depth;
  f->recurse = Recurses(withSubdirs, depth);
  if (f->folder) ++walk.openFolders;
  f->listing = std::move(listing);
  // The records of the folder's entries are made in one go, not grown and copied.
  if (f->listing) f->dir->m_items.reserve(f->listing->EntriesLeft());
  if (m_readAhead && f->listing && f->recurse) {
    // The subfolders the walk will enter, in its order.
    std::vector<std::string> paths;
    f->listing->Subfolders(paths);
    for (std::string& p : paths) p = JoinPath(dirPath, p);
    m_readAhead->Request(paths);
  }
  if (own) {
    CDirRecord& d = *f->dir;
    d.m_tCreation = Shown(own->creation);
    d.m_tLastWrite = Shown(own->lastWrite);
    d.m_tLastAccess = Shown(own->lastAccess);
    AttributeLetters(own->attributes, d.m_strAttributes);
  }
  walk.stack.push_back(std::move(f));
}

void CListingScanner::SetDriveInfo(CDirRecord& d, const VolumeInfo& vol) {
  d.m_bDrive = true;
  d.m_strVolumeSerial = vol.serial;
  d.m_strFileSystem = vol.fileSystem;
  std::snprintf(d.m_strAttributes, sizeof d.m_strAttributes, "----%c", vol.compressed ? 'c' : '-');
  d.m_tCreation = d.m_tLastAccess = d.m_tLastWrite = SafeTime(-1);
}

void CListingScanner::LimitOpenFolders(ScanWalk& walk) {
  // Keep the number of open folders bounded: close the oldest; they reopen through "..".
  if (walk.openFolders + 1 <= m_maxFrameFolders) return;
  auto& stack = walk.stack;
  while (walk.lowestOpen < stack.size() && !stack[walk.lowestOpen]->folder) ++walk.lowestOpen;
  if (walk.lowestOpen + 1 < stack.size()) {
    stack[walk.lowestOpen]->folder.reset();
    --walk.openFolders;
  }
}

void CListingScanner::EndFrame(ScanWalk& walk) {
  auto& stack = walk.stack;
  std::unique_ptr<ScanFrame> done = std::move(stack.back());
  stack.pop_back();
  CDirRecord& d = *done->dir;
  if (!(m_options.m_bHideEmptyDirs && d.m_nFileCount == 0)) ++m_records.dirCount;
  d.m_items.shrink_to_fit();
  if (done->folder) --walk.openFolders;
  if (stack.empty()) return;
  ScanFrame& parent = *stack.back();
  parent.dir->m_nSize += d.m_nSize;
  if (!parent.folder && done->folder) {
    parent.folder = m_walker.OpenParent(*done->folder);
    if (parent.folder) ++walk.openFolders;
    if (walk.lowestOpen >= stack.size()) walk.lowestOpen = stack.size() - 1;
  }
}

bool CListingScanner::NextSubdir(ScanFrame& frame, FindData& sub) {
  while (FindData* found = frame.listing->Next()) {
    if ((++frame.sinceStatus & 63) == 0 && StopRequested()) break;
    FindData& e = *found;
    e.creation = Shown(e.creation);
    e.lastWrite = Shown(e.lastWrite);
    e.lastAccess = Shown(e.lastAccess);
    RecordEntry(frame, e);
    // A subdirectory is descended into whether or not its entry passed the filter.
    const bool realDir = (e.attributes & kFindDirectory) && !e.isLink;
    if (realDir && frame.recurse) {
      sub = e;
      return true;
    }
  }
  frame.listing.reset();
  return false;
}

void CListingScanner::RecordEntry(ScanFrame& frame, const FindData& e) {
  if (!m_filter.Passes(e)) return;
  CDirRecord& dir = *frame.dir;
  CFileRecord rec;
  if (auto it = frame.oldIndex.empty() ? frame.oldIndex.end() : frame.oldIndex.find(e.name);
      it != frame.oldIndex.end()) {
    CFileRecord& old = frame.old->m_items[it->second];
    if (old.m_tLastWrite == e.lastWrite) rec = std::move(old);
  }
  rec.m_pDir = &dir;
  rec.m_nSize = e.size;
  rec.m_nSeq = m_records.fileSeq++;
  rec.m_tCreation = e.creation;
  rec.m_tLastWrite = e.lastWrite;
  rec.m_tLastAccess = e.lastAccess;
  rec.SetName(e.name);
  AttributeLetters(e.attributes, rec.m_strAttributes);
  const bool isArchive =
      m_options.m_bArchivesAsDirs && !(e.attributes & kFindDirectory) && EndsWithArchive(e.name);
  if ((e.attributes & kFindDirectory) || isArchive) {
    rec.m_bIsDir = true;
    if (frame.withSubdirs) ++dir.m_nSubdirCount;
  } else {
    rec.m_bIsDir = false;
    ++dir.m_nFileCount;
    dir.m_nSize += e.size;
    ++m_records.files;
    m_records.totalSize += e.size;
  }
  dir.m_items.push_back(std::move(rec));
  CFileRecord& stored = dir.m_items.back();
  if (m_readers.Any()) m_readers.ReadScanExtras(stored, JoinPath(dir.m_strPath, e.name));
  if (isArchive && frame.recurse) dir.m_nSize += ListArchive(dir, e.name);
  if ((frame.sinceStatus & 15) == 0) UpdateStatus(false);
}

}  // namespace orvane
