#include "engine/listing_engine.h"

#include <chrono>
#include <unordered_map>

#include "engine/file_info_groups.h"
#include "engine/filter.h"
#include "engine/formatting.h"
#include "engine/sorting.h"
#include "engine/strings.h"
#include "engine/unicode.h"
#include "platform/file_find.h"

namespace orvane {
namespace {

// The process-wide lock of status updates and its 100 ms throttle.
std::mutex g_statusMutex;
std::int64_t g_lastProgressTick = -1000000;

std::int64_t TickMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool EndsWithArchive(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = AsciiLower(name.substr(name.size() - 4));
  return tail == ".zip" || tail == ".rar";
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

// Folders kept open at once while walking a deep tree; deeper ones are reopened through "..".
constexpr int kMaxOpenDirs = 256;

}  // namespace

struct CListingEngine::ScanFrame {
  CDirRecord* dir = nullptr;
  DirHandle handle;
  std::unique_ptr<CDirRecord> old;
  std::vector<FindData> subdirs;  // subdirectories to descend into, with their own status
  std::size_t next = 0;
  bool withSubdirs = false;
  int depth = 0;
};

CListingEngine::CListingEngine() {
  m_context.m_findDir = [this](const std::string& path) -> const CDirRecord* {
    return FindDir(path);
  };
}

CListingEngine::~CListingEngine() {
  StopGeneration();
}

void CListingEngine::Post(int id, std::int64_t w, std::int64_t l, std::string text) {
  if (!m_hNotifyWnd) return;
  ListingMessage m;
  m.id = id;
  m.wParam = w;
  m.lParam = l;
  m.text = std::move(text);
  m_hNotifyWnd->Post(m);
}

bool CListingEngine::StartGeneration(int request, const std::string& outputPath) {
  if (!IsReady()) {
    m_bRegenerate = true;
    return false;
  }
  m_nRequest = request;
  m_bRegenerate = false;
  if (m_applyNotice) m_applyNotice(*this);
  GlobalSortSettings() = SortSettings::FromOptions(m_options);
  m_strOutputPath = outputPath;
  if (m_strOutputPath.empty() && m_makeTempFile)
    m_strOutputPath = m_makeTempFile(m_options.m_nOutputType);
  if (m_hNotifyWnd) m_hNotifyWnd->GenerationStarting();
  m_hReadyEvent.Reset();
  m_hStopEvent.Reset();
  m_hEndedEvent.Reset();
  m_hStartEvent.Set();
  if (!m_bWorkerRunning) {
    if (m_worker.joinable()) m_worker.join();
    m_bWorkerRunning = true;
    m_worker = std::thread([this] { WorkerMain(); });
  }
  return true;
}

void CListingEngine::StopGeneration() {
  if (m_bWorkerRunning) {
    m_hStopEvent.Set();
    m_hStartEvent.Set();
    m_hEndedEvent.Wait();
  }
  if (m_worker.joinable()) m_worker.join();
}

void CListingEngine::WorkerMain() {
  for (;;) {
    m_hStartEvent.Wait();
    if (StopRequested()) break;
    m_hReadyEvent.Reset();
    bool cancelled = false;
    try {
      cancelled = RunJob();
    } catch (...) {
      cancelled = false;
    }
    m_bLastCancelled = cancelled;
    m_bWorkerRunning = !cancelled;
    m_hReadyEvent.Set();
    Post(WM_LISTING_DONE, m_nRequest, cancelled ? 1 : 0);
    if (cancelled) break;
  }
  m_bWorkerRunning = false;
  m_hReadyEvent.Set();
  m_hEndedEvent.Set();
}

bool CListingEngine::RunJob() {
  m_bLastWriteFailed = false;
  if (m_strOutputPath.empty()) {
    m_bLastWriteFailed = true;
    return false;
  }
  Post(WM_SCAN_BEGIN);
  bool cancelled = false;
  try {
    cancelled = Scan();
  } catch (...) {
    cancelled = false;
  }
  Post(WM_SCAN_END);
  if (cancelled) return true;
  bool failed = false;
  m_context.m_bMeasuring = m_options.m_bAutoColumnWidths != 0;
  cancelled = WritePhase(failed);
  if (!cancelled && !failed && m_options.m_bAutoColumnWidths) {
    m_context.m_bMeasuring = false;
    cancelled = WritePhase(failed);
  }
  m_bLastWriteFailed = failed;
  return cancelled;
}

std::string CListingEngine::Summary() {
  std::lock_guard<std::mutex> lock(g_statusMutex);
  return m_strSummary;
}

void CListingEngine::UpdateStatus(bool force) {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(g_statusMutex);
    const std::int64_t now = TickMs();
    if (!force && now - g_lastProgressTick < 100) return;
    g_lastProgressTick = now;
    const NumberFormat& nf = m_numberFormat;
    m_strSummary =
        GetText(5002) + ": " + FormatInteger(m_nDirs, nf) + ", " + GetText(5001) + ": " +
        FormatInteger(m_nFiles, nf) + ", " + GetText(5017) + ": " +
        FormatSize(m_nTotalSize, m_options.m_nSizeUnit, m_options.m_nSizePrecision, true, nf);
    m_context.m_strSummary = m_strSummary;
    if (!m_hNotifyWnd) return;
    text = TruncateCodePoints(m_strSummary, 259);
  }
  Post(WM_LISTING_STATUS, 0, 0, std::move(text));
}

void CListingEngine::ReportProgress(const std::string& path, std::uint64_t done,
                                    std::uint64_t total, const char* label) {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(g_statusMutex);
    const std::int64_t now = TickMs();
    if (now - g_lastProgressTick < 100) return;
    g_lastProgressTick = now;
    if (!m_hNotifyWnd) return;
    const std::uint64_t t = total ? total : 1;
    text = TruncateCodePoints(
        std::string(label) + " (" + path + ") " + std::to_string(done * 100 / t) + "%", 259);
  }
  Post(WM_LISTING_STATUS, 1, static_cast<std::int64_t>(done), std::move(text));
}

CDirRecord* CListingEngine::FindDir(const std::string& path) {
  auto it = m_dirIndex.find(path);
  return it == m_dirIndex.end() ? nullptr : it->second;
}

CDirRecord* CListingEngine::NewDir(const std::string& path, int baseLength) {
  auto rec = std::make_unique<CDirRecord>();
  rec->m_strPath = path;
  rec->m_nSeq = m_nDirSeq++;
  rec->m_nBaseLength = baseLength;
  CDirRecord* raw = rec.get();
  m_dirs.push_back(std::move(rec));
  m_dirIndex[path] = raw;
  return raw;
}

std::string CListingEngine::FullPath(const CDirRecord& dir, const std::string& name) const {
  return JoinPath(dir.m_strPath, name);
}

bool CListingEngine::Scan() {
  m_nFiles = m_nDirs = 0;
  m_nTotalSize = 0;
  m_nFileSeq = m_nDirSeq = 0;
  m_prevDirs.clear();
  for (auto& d : m_dirs) {
    std::string key = d->m_strPath;
    m_prevDirs[key] = std::move(d);
  }
  m_dirs.clear();
  m_dirIndex.clear();
  m_numberFormat = NumberFormat::FromOptions(m_options);
  m_filter = std::make_unique<FileFilter>(m_options);
  m_bScanExtras = m_options.IsShown(kColType) || m_options.IsShown(kColOwner);
  for (int id = kColFileVersion; id <= kColMp3Last; ++id) m_bScanExtras |= m_options.IsShown(id);
  UpdateStatus(true);
  for (const auto& [rawPath, code] : m_checkedDirs) {
    if (StopRequested()) break;
    std::string path = rawPath;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty()) continue;
    std::size_t slash = path.rfind('/');
    int base = m_options.m_nPathForm == kPathTopIsRoot
                   ? static_cast<int>(path.size())
                   : static_cast<int>(slash == std::string::npos ? 0 : slash);
    ScanTree(path, code != "2", base);
  }
  const bool cancelled = StopRequested();
  if (m_options.m_bArchivesAsDirs && m_options.m_bHideEmptyDirs) {
    m_nDirs = 0;
    for (const auto& d : m_dirs)
      if (d->m_nFileCount > 0) ++m_nDirs;
  }
  UpdateStatus(true);
  m_prevDirs.clear();
  return cancelled;
}

void CListingEngine::ScanTree(const std::string& path, bool withSubdirs, int baseLength) {
  // A directory already listed in this generation (checked twice, or inside a checked tree) is
  // listed once.
  if (FindDir(path)) return;
  std::vector<std::unique_ptr<ScanFrame>> stack;
  int openDirs = 0;
  std::size_t lowestOpen = 0;

  auto begin = [&](const std::string& dirPath, DirHandle handle, bool subdirs, int depth,
                   const FindData* own) {
    auto f = std::make_unique<ScanFrame>();
    if (auto it = m_prevDirs.find(dirPath); it != m_prevDirs.end()) {
      f->old = std::move(it->second);
      m_prevDirs.erase(it);
    }
    f->dir = NewDir(dirPath, baseLength);
    f->handle = std::move(handle);
    f->withSubdirs = subdirs;
    f->depth = depth;
    if (f->handle.IsOpen()) ++openDirs;
    CDirRecord& d = *f->dir;
    if (own) {
      d.m_tCreation = own->creation;
      d.m_tLastWrite = own->lastWrite;
      d.m_tLastAccess = own->lastAccess;
      AttributeLetters(own->attributes, d.m_strAttributes);
    }
    ScanEntries(*f, f->subdirs);
    stack.push_back(std::move(f));
  };

  // The checked directory itself: a mounted volume gets the drive treatment.
  {
    VolumeInfo vol;
    FindData own;
    const FindData* ownPtr = nullptr;
    bool drive = GetVolumeInfo(path, vol);
    if (!drive && StatPath(path, own)) ownPtr = &own;
    begin(path, DirHandle::Open(path), withSubdirs, 0, ownPtr);
    if (drive) {
      CDirRecord& d = *stack.back()->dir;
      d.m_bDrive = true;
      d.m_strVolumeSerial = vol.serial;
      d.m_strFileSystem = vol.fileSystem;
      std::snprintf(d.m_strAttributes, sizeof d.m_strAttributes, "----%c",
                    vol.compressed ? 'c' : '-');
      d.m_tCreation = d.m_tLastAccess = d.m_tLastWrite = SafeTime(-1);
    }
  }

  while (!stack.empty()) {
    ScanFrame& top = *stack.back();
    if (top.next < top.subdirs.size() && !StopRequested()) {
      const FindData& own = top.subdirs[top.next++];
      const std::string& name = own.name;
      if (FindDir(FullPath(*top.dir, name))) continue;
      DirHandle child = top.handle.OpenChild(name);
      // Keep the number of open folders bounded: close the oldest; they reopen through "..".
      if (child.IsOpen() && openDirs + 1 > kMaxOpenDirs) {
        while (lowestOpen < stack.size() && !stack[lowestOpen]->handle.IsOpen()) ++lowestOpen;
        if (lowestOpen + 1 < stack.size()) {
          stack[lowestOpen]->handle.Close();
          --openDirs;
        }
      }
      begin(FullPath(*top.dir, name), std::move(child), true, top.depth + 1, &own);
      continue;
    }
    // The directory is complete.
    CDirRecord& d = *top.dir;
    if (!(m_options.m_bHideEmptyDirs && d.m_nFileCount == 0)) ++m_nDirs;
    d.m_items.shrink_to_fit();
    const std::uint64_t size = d.m_nSize;
    std::unique_ptr<ScanFrame> done = std::move(stack.back());
    stack.pop_back();
    if (done->handle.IsOpen()) --openDirs;
    if (!stack.empty()) {
      ScanFrame& parent = *stack.back();
      parent.dir->m_nSize += size;
      if (!parent.handle.IsOpen() && done->handle.IsOpen()) {
        parent.handle = done->handle.OpenParent();
        if (parent.handle.IsOpen()) ++openDirs;
        if (lowestOpen >= stack.size()) lowestOpen = stack.size() - 1;
      }
    }
  }
}

void CListingEngine::ScanEntries(ScanFrame& frame, std::vector<FindData>& subdirs) {
  CDirRecord& dir = *frame.dir;
  CBRMNetFind finder;
  if (!frame.handle.IsOpen() || !finder.FindFile(frame.handle)) return;
  const bool recurse = frame.withSubdirs &&
                       (!m_options.m_bLimitRecursion || frame.depth < m_options.m_nRecursionLevel);
  // Index of the previous generation's records of this directory, by name.
  std::unordered_map<std::string, std::size_t> oldIndex;
  if (frame.old) {
    oldIndex.reserve(frame.old->m_items.size());
    for (std::size_t i = 0; i < frame.old->m_items.size(); ++i)
      oldIndex.emplace(frame.old->m_items[i].FullName(), i);
  }
  int sinceStatus = 0;
  while (finder.FindNextFile()) {
    if ((++sinceStatus & 63) == 0 && StopRequested()) break;
    const FindData& e = finder.Current();
    const bool realDir = (e.attributes & kFindDirectory) && !e.isLink;
    if (m_filter->Passes(e)) {
      CFileRecord rec;
      if (auto it = oldIndex.find(e.name); it != oldIndex.end()) {
        CFileRecord& old = frame.old->m_items[it->second];
        if (old.m_tLastWrite == e.lastWrite) rec = std::move(old);
      }
      rec.m_pDir = &dir;
      rec.m_nSize = e.size;
      rec.m_nSeq = m_nFileSeq++;
      rec.m_tCreation = e.creation;
      rec.m_tLastWrite = e.lastWrite;
      rec.m_tLastAccess = e.lastAccess;
      AttributeLetters(e.attributes, rec.m_strAttributes);
      const bool isArchive = m_options.m_bArchivesAsDirs && !(e.attributes & kFindDirectory) &&
                             EndsWithArchive(e.name);
      if ((e.attributes & kFindDirectory) || isArchive) {
        rec.m_bIsDir = true;
        rec.m_strName = e.name;
        rec.m_strExt.clear();
        rec.m_bHasDot = false;
        if (frame.withSubdirs) ++dir.m_nSubdirCount;
      } else {
        std::size_t dot = e.name.rfind('.');
        rec.m_bIsDir = false;
        rec.m_bHasDot = dot != std::string::npos;
        rec.m_strName = rec.m_bHasDot ? e.name.substr(0, dot) : e.name;
        rec.m_strExt = rec.m_bHasDot ? e.name.substr(dot + 1) : std::string();
        ++dir.m_nFileCount;
        dir.m_nSize += e.size;
        ++m_nFiles;
        m_nTotalSize += e.size;
      }
      dir.m_items.push_back(std::move(rec));
      CFileRecord& stored = dir.m_items.back();
      if (m_bScanExtras) ReadScanExtras(stored, FullPath(dir, e.name));
      if (isArchive && recurse) dir.m_nSize += ListArchive(dir, e.name);
      if ((sinceStatus & 15) == 0) UpdateStatus(false);
    }
    if (realDir && recurse) subdirs.push_back(e);
  }
}

}  // namespace orvane
