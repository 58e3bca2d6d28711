#include "engine/listing_engine.h"

#include <chrono>
#include <exception>
#include <new>
#include <unordered_map>

#include "base/strings.h"
#include "base/unicode.h"
#include "engine/columns.h"
#include "engine/file_info_groups.h"
#include "engine/filter.h"
#include "engine/formatting.h"
#include "engine/sorting.h"
#include "platform/file_find.h"

namespace orvane {
namespace {

std::int64_t TickMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool EndsWithArchive(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = AsciiLower(name.substr(name.size() - 4));
  return tail == ".zip" || tail == ".rar";
}

// Folders kept open at once while walking a deep tree; deeper ones are reopened through "..".
constexpr int kMaxOpenDirs = 256;

}  // namespace

// One directory being scanned: its record, its open folder (closed while deeper folders are
// scanned when too many are open, and reopened through ".."), and the entries still to go.
struct CListingEngine::ScanFrame {
  CDirRecord* dir = nullptr;
  DirHandle handle;
  std::unique_ptr<CDirRecord> old;
  std::unordered_map<std::string, std::size_t> oldIndex;  // old records by name
  CBRMNetFind finder;
  bool listing = false;  // the finder has entries left
  bool withSubdirs = false;
  bool recurse = false;  // subdirectories (and archives) are descended into
  int depth = 0;
  int sinceStatus = 0;
};

CListingEngine::CListingEngine(ListingReceiver* receiver, ListingServices* services)
    : m_receiver(receiver), m_services(services ? *services : SystemListingServices()) {
  m_context.m_findDir = [this](const std::string& path) {
    const CDirRecord* dir = FindDir(path);
    return dir ? dir->m_nSeq : -1;
  };
}

CListingEngine::~CListingEngine() {
  StopGeneration();
}

bool CListingEngine::StartGeneration(ListingJob job) {
  if (!IsReady()) {
    m_bRegenerate = true;
    return false;
  }
  m_bRegenerate = false;
  m_nRequest = job.request;
  m_options = std::move(job.options);
  m_checkedDirs = std::move(job.checkedDirs);
  m_sort = SortSettings::FromOptions(m_options);
  m_writerOptions = WriterOptionsOf(m_options);
  m_makeWriter = std::move(job.makeWriter);
  m_strOutputPath = std::move(job.outputPath);
  if (m_strOutputPath.empty() && job.makeTempFile)
    m_strOutputPath = job.makeTempFile(m_options.m_nOutputType);
  if (m_receiver) m_receiver->GenerationStarting();
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
    const bool cancelled = RunJob();
    m_bLastCancelled = cancelled;
    m_bWorkerRunning = !cancelled;
    m_hReadyEvent.Set();
    if (m_receiver) m_receiver->Done(m_nRequest, cancelled);
    if (cancelled) break;
  }
  m_bWorkerRunning = false;
  m_hReadyEvent.Set();
  m_hEndedEvent.Set();
}

bool CListingEngine::RunJob() {
  m_bLastWriteFailed = false;
  m_strLastError.clear();
  if (m_strOutputPath.empty()) {
    m_bLastWriteFailed = true;
    return false;
  }
  // An exception (out of memory above all) ends the job as failed: a listing that stopped
  // half-way must never look finished.
  try {
    return RunPhases();
  } catch (const std::bad_alloc&) {
    FailJob("out of memory");
  } catch (const std::exception& e) {
    FailJob(e.what());
  } catch (...) {
    FailJob("unexpected error");
  }
  return false;
}

void CListingEngine::FailJob(const std::string& reason) {
  m_bLastWriteFailed = true;
  m_strLastError = "the listing failed: " + reason;
}

bool CListingEngine::RunPhases() {
  if (m_receiver) m_receiver->ScanBegin();
  bool cancelled = Scan();
  if (m_receiver) m_receiver->ScanEnd();
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
  std::lock_guard<std::mutex> lock(m_statusMutex);
  return m_strSummary;
}

void CListingEngine::UpdateStatus(bool force) {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    const std::int64_t now = TickMs();
    if (!force && now - m_lastProgressTick < 100) return;
    m_lastProgressTick = now;
    const NumberFormat& nf = m_numberFormat;
    m_strSummary =
        GetText(5002) + ": " + FormatInteger(m_nDirs, nf) + ", " + GetText(5001) + ": " +
        FormatInteger(m_nFiles, nf) + ", " + GetText(5017) + ": " +
        FormatSize(m_nTotalSize, m_options.m_nSizeUnit, m_options.m_nSizePrecision, true, nf);
    m_context.m_strSummary = m_strSummary;
    if (!m_receiver) return;
    text = TruncateCodePoints(m_strSummary, 259);
  }
  m_receiver->Status(text);
}

void CListingEngine::ReportProgress(const std::string& path, std::uint64_t done,
                                    std::uint64_t total, const char* label) {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    const std::int64_t now = TickMs();
    if (now - m_lastProgressTick < 100) return;
    m_lastProgressTick = now;
    if (!m_receiver) return;
    const std::uint64_t t = total ? total : 1;
    text = TruncateCodePoints(
        std::string(label) + " (" + path + ") " + std::to_string(done * 100 / t) + "%", 259);
  }
  m_receiver->FileProgress(text, done);
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
  m_readers = ShownColumnReaders(m_options);
  m_bScanExtras = m_readers != kReadNone;
  UpdateStatus(true);
  for (const auto& [rawPath, check] : m_checkedDirs) {
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
  ScanWalk walk{stack, baseLength};
  {
    // The checked directory itself: a mounted volume gets the drive treatment.
    VolumeInfo vol;
    FindData own;
    const bool drive = m_services.Volume(path, vol);
    const bool haveOwn = !drive && StatPath(path, own);
    BeginFrame(walk, path, DirHandle::Open(path), withSubdirs, 0, haveOwn ? &own : nullptr);
    if (drive) SetDriveInfo(*stack.back()->dir, vol);
  }
  // Depth first: each frame lists its entries until it meets a subdirectory to descend into,
  // which is scanned completely before the entries that follow it.
  while (!stack.empty()) {
    ScanFrame& top = *stack.back();
    FindData sub;
    if (top.listing && !StopRequested() && NextSubdir(top, sub)) {
      const std::string subPath = FullPath(*top.dir, sub.name);
      if (FindDir(subPath)) continue;
      DirHandle child = top.handle.OpenChild(sub.name);
      if (child.IsOpen()) LimitOpenDirs(walk);
      BeginFrame(walk, subPath, std::move(child), true, top.depth + 1, &sub);
      continue;
    }
    EndFrame(walk);
  }
}

void CListingEngine::BeginFrame(ScanWalk& walk, const std::string& dirPath, DirHandle handle,
                                bool withSubdirs, int depth, const FindData* own) {
  auto f = std::make_unique<ScanFrame>();
  if (auto it = m_prevDirs.find(dirPath); it != m_prevDirs.end()) {
    f->old = std::move(it->second);
    m_prevDirs.erase(it);
    f->oldIndex.reserve(f->old->m_items.size());
    for (std::size_t i = 0; i < f->old->m_items.size(); ++i)
      f->oldIndex.emplace(f->old->m_items[i].FullName(), i);
  }
  f->dir = NewDir(dirPath, walk.baseLength);
  f->handle = std::move(handle);
  f->withSubdirs = withSubdirs;
  f->depth = depth;
  f->recurse = withSubdirs && (!m_options.m_bLimitRecursion || depth < m_options.m_nRecursionLevel);
  if (f->handle.IsOpen()) {
    ++walk.openDirs;
    f->listing = f->finder.FindFile(f->handle);
  }
  if (own) {
    CDirRecord& d = *f->dir;
    d.m_tCreation = own->creation;
    d.m_tLastWrite = own->lastWrite;
    d.m_tLastAccess = own->lastAccess;
    AttributeLetters(own->attributes, d.m_strAttributes);
  }
  walk.stack.push_back(std::move(f));
}

void CListingEngine::SetDriveInfo(CDirRecord& d, const VolumeInfo& vol) {
  d.m_bDrive = true;
  d.m_strVolumeSerial = vol.serial;
  d.m_strFileSystem = vol.fileSystem;
  std::snprintf(d.m_strAttributes, sizeof d.m_strAttributes, "----%c", vol.compressed ? 'c' : '-');
  d.m_tCreation = d.m_tLastAccess = d.m_tLastWrite = SafeTime(-1);
}

void CListingEngine::LimitOpenDirs(ScanWalk& walk) {
  // Keep the number of open folders bounded: close the oldest; they reopen through "..".
  if (walk.openDirs + 1 <= kMaxOpenDirs) return;
  auto& stack = walk.stack;
  while (walk.lowestOpen < stack.size() && !stack[walk.lowestOpen]->handle.IsOpen())
    ++walk.lowestOpen;
  if (walk.lowestOpen + 1 < stack.size()) {
    stack[walk.lowestOpen]->handle.Close();
    --walk.openDirs;
  }
}

void CListingEngine::EndFrame(ScanWalk& walk) {
  auto& stack = walk.stack;
  std::unique_ptr<ScanFrame> done = std::move(stack.back());
  stack.pop_back();
  CDirRecord& d = *done->dir;
  if (!(m_options.m_bHideEmptyDirs && d.m_nFileCount == 0)) ++m_nDirs;
  d.m_items.shrink_to_fit();
  if (done->handle.IsOpen()) --walk.openDirs;
  if (stack.empty()) return;
  ScanFrame& parent = *stack.back();
  parent.dir->m_nSize += d.m_nSize;
  if (!parent.handle.IsOpen() && done->handle.IsOpen()) {
    parent.handle = done->handle.OpenParent();
    if (parent.handle.IsOpen()) ++walk.openDirs;
    if (walk.lowestOpen >= stack.size()) walk.lowestOpen = stack.size() - 1;
  }
}

bool CListingEngine::NextSubdir(ScanFrame& frame, FindData& sub) {
  while (frame.finder.FindNextFile()) {
    if ((++frame.sinceStatus & 63) == 0 && StopRequested()) break;
    const FindData& e = frame.finder.Current();
    RecordEntry(frame, e);
    // A subdirectory is descended into whether or not its entry passed the filter.
    const bool realDir = (e.attributes & kFindDirectory) && !e.isLink;
    if (realDir && frame.recurse) {
      sub = e;
      return true;
    }
  }
  frame.listing = false;
  return false;
}

void CListingEngine::RecordEntry(ScanFrame& frame, const FindData& e) {
  if (!m_filter->Passes(e)) return;
  CDirRecord& dir = *frame.dir;
  CFileRecord rec;
  if (auto it = frame.oldIndex.find(e.name); it != frame.oldIndex.end()) {
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
  const bool isArchive =
      m_options.m_bArchivesAsDirs && !(e.attributes & kFindDirectory) && EndsWithArchive(e.name);
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
  if (isArchive && frame.recurse) dir.m_nSize += ListArchive(dir, e.name);
  if ((frame.sinceStatus & 15) == 0) UpdateStatus(false);
}

}  // namespace orvane
