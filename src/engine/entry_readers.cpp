#include "engine/entry_readers.h"

#include <algorithm>
#include <chrono>

#include "engine/checksum_prefetch.h"
#include "engine/columns.h"
#include "engine/file_info_groups.h"
#include "fileinfo/checksum_cache.h"
#include "fileinfo/doc_properties.h"
#include "fileinfo/hashes.h"
#include "fileinfo/media_dispatch.h"
#include "fileinfo/mp3_reader.h"
#include "fileinfo/pe_version.h"

namespace orvane {
namespace {

// Whom the memory message asks the user to contact.
constexpr const char* kSupportContact = "the Orvane maintainers";

// The job as the hash readers see it: progress through the shared status throttle, and the
// stop request.
class JobHashProgress : public HashProgress {
 public:
  explicit JobHashProgress(CJobStatus& status) : m_status(status) {}
  void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                      const char* label) override {
    m_status.ReportProgress(path, done, total, label);
  }
  bool StopRequested() override { return m_status.StopRequested(); }

 private:
  CJobStatus& m_status;
};

}  // namespace

CEntryReaders::CEntryReaders(ListingServices& services, CJobStatus& status, unsigned readers)
    : m_services(services), m_status(status), m_readers(readers) {}

CEntryReaders::~CEntryReaders() = default;

bool CEntryReaders::ReadsFiles() const {
  return (m_readers & kReadFileContents) != 0;
}

void CEntryReaders::ReadScanExtras(CFileRecord& rec, const std::string& fullPath) {
  ReadTypeAndOwner(rec, fullPath);
  if (rec.m_bIsDir) return;
  if (m_bDeferChecksums) {
    // The write phase hashes the files of its rows ahead; the rest is read now.
    const unsigned all = m_readers;
    m_readers &= ~(kReadCrc32 | kReadMd5 | kReadSha1);
    ReadExtras(rec, fullPath);
    m_readers = all;
    return;
  }
  ReadExtras(rec, fullPath);
}

bool CEntryReaders::NeedsTypeOrOwner(const CFileRecord& rec) const {
  const FileInfoGroups* g = rec.m_pInfo.get();
  return ((m_readers & kReadType) && !(g && g->m_bTypeLoaded)) ||
         ((m_readers & kReadOwner) && !(g && g->m_bOwnerLoaded));
}

void CEntryReaders::ReadTypeAndOwner(CFileRecord& rec, const std::string& fullPath) {
  // The type name comes from the name alone, so archive members get theirs too.
  if ((m_readers & kReadType) && !(rec.m_pInfo && rec.m_pInfo->m_bTypeLoaded)) {
    FileInfoGroups& g = rec.Info();
    g.m_strType = m_services.TypeName(rec.FullName(), rec.m_bIsDir);
    g.m_bTypeLoaded = true;
  }
  if ((m_readers & kReadOwner) && !(rec.m_pInfo && rec.m_pInfo->m_bOwnerLoaded)) {
    FileInfoGroups& g = rec.Info();
    g.m_strOwner = m_services.Owner(fullPath);
    g.m_bOwnerLoaded = true;
  }
}

bool CEntryReaders::ReadExtras(CFileRecord& rec, const std::string& fullPath) {
  bool ok = true;
  if (m_readers & kReadVersion) {
    FileInfoGroups& g = rec.Info();
    if (!g.m_bVersionLoaded) {
      ReadVersionInfo(fullPath, g.m_version.Make());
      g.m_bVersionLoaded = true;
    }
  }
  if ((m_readers & (kReadCrc32 | kReadMd5 | kReadSha1)) && !ReadChecksums(rec, fullPath))
    ok = false;
  if (m_readers & kReadDocument) {
    FileInfoGroups& g = rec.Info();
    if (!g.m_bDocLoaded) {
      ReadDocumentProperties(fullPath, g.m_docProps.Make());
      g.m_bDocLoaded = true;
    }
  }
  if (m_readers & kReadMedia) {
    FileInfoGroups& g = rec.Info();
    if (!g.m_bMediaLoaded) {
      ReadMediaInfo(fullPath, rec.m_nSize, g.m_media.Make(), g.m_mp3.Make());
      g.m_bMediaLoaded = true;
    }
    // The MP3 reader runs after the general one, so an MP3 file shows its own audio values.
    if (!g.m_bMp3Loaded && (m_readers & kReadMp3)) {
      ReadMp3Info(fullPath, g.m_media.Make(), g.m_mp3.Make());
      g.m_bMp3Loaded = true;
    }
  }
  return ok;
}

HashRequest CEntryReaders::ChecksumsWanted(const CFileRecord& rec) const {
  const FileInfoGroups* g = rec.m_pInfo.get();
  HashRequest want;
  want.crc32 = (m_readers & kReadCrc32) && !(g && g->m_hashes.Get().crc32Loaded);
  want.md5 = (m_readers & kReadMd5) && !(g && g->m_hashes.Get().md5Loaded);
  want.sha1 = (m_readers & kReadSha1) && !(g && g->m_hashes.Get().sha1Loaded);
  return want;
}

bool CEntryReaders::ReadChecksums(CFileRecord& rec, const std::string& fullPath) {
  // Only the digests not loaded yet are computed, in one read of the file; a cancelled pass
  // leaves them unloaded so the next generation computes them.
  const HashRequest want = ChecksumsWanted(rec);
  if (!want.Any()) return true;
  JobHashProgress progress(m_status);
  HashResults r;
  bool cancelled = false;
  const auto planned = m_tickets.find(&rec);
  if (planned != m_tickets.end() && planned->second >= m_nNextTicket) {
    m_nNextTicket = planned->second + 1;
    cancelled = m_prefetch->Take(planned->second, &progress, r);
  } else {
    cancelled = ComputeHashesCached(fullPath, want, &progress, m_cache.get(), r);
  }
  if (planned != m_tickets.end()) {
    m_tickets.erase(planned);
    TopUpChecksums();
  }
  if (cancelled) return false;
  FileHashes& state = rec.Info().m_hashes.Make();
  StoreHashResults(want, r, state);
  // The file's digests stay loaded (blank), so each column says so once per file.
  if (r.status == HashStatus::kNoMemory)
    for (int i = want.crc32 + want.md5 + want.sha1; i > 0; --i)
      m_status.Message(HashMemoryErrorText(kSupportContact));
  return true;
}

void CEntryReaders::SetChecksumOptions(const CListingOptions& options) {
  if (!(m_readers & (kReadCrc32 | kReadMd5 | kReadSha1))) return;
  if (options.m_bReuseChecksums) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    m_cache = std::make_unique<CChecksumCache>(
        CChecksumCache::DefaultPath(),
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    if (const std::string warning = m_cache->TakeWarning(); !warning.empty())
      m_status.Message("warning: " + warning);
  }
  // Rows sorted by a checksum need every digest before the write phase sorts them.
  const auto& keys = options.m_nFileSortKey;
  m_bDeferChecksums = std::none_of(keys.begin(), keys.end(), [](int key) {
    return key == ColumnNumber(ColumnId::kCrc32) || key == ColumnNumber(ColumnId::kMd5) ||
           key == ColumnNumber(ColumnId::kSha1);
  });
}

void CEntryReaders::PlanChecksums(const std::vector<CFileRecord*>& rows) {
  if (!m_bDeferChecksums) return;
  for (CFileRecord* rec : rows)
    // Members of archives have no file of their own to read.
    if (!rec->m_bIsDir && rec->m_pDir && !rec->m_pDir->m_bArchive && ChecksumsWanted(*rec).Any())
      m_toPlan.push_back(rec);
  TopUpChecksums();
}

void CEntryReaders::TopUpChecksums() {
  // The read-ahead gets a few files more than it hashes ahead, so its threads never wait for
  // the next one; the rest waits here as bare pointers.
  constexpr std::size_t kHandedOver = 32;
  auto outstanding = [this] { return m_prefetch ? m_prefetch->Added() - m_nNextTicket : 0; };
  while (outstanding() < kHandedOver && !m_toPlan.empty()) {
    CFileRecord* rec = m_toPlan.front();
    m_toPlan.pop_front();
    const HashRequest want = ChecksumsWanted(*rec);
    if (!want.Any() || m_tickets.count(rec)) continue;  // read meanwhile, or planned twice
    if (!m_prefetch) m_prefetch = std::make_unique<CChecksumPrefetch>(m_cache.get());
    const std::size_t ticket =
        m_prefetch->Add(JoinPath(rec->m_pDir->m_strPath, rec->FullName()), want);
    m_tickets.emplace(rec, ticket);
  }
}

void CEntryReaders::EndChecksums() {
  m_prefetch.reset();
  m_toPlan.clear();
  m_tickets.clear();
  m_nNextTicket = 0;
  if (m_cache) m_cache->Flush();
}

void CEntryReaders::ReadDirOwner(CDirRecord& dir) {
  // A drive row shows the owner of its mount point; folders inside an archive have none (the
  // path does not exist, so the text stays empty).
  dir.m_strOwner = m_services.Owner(dir.m_strPath);
  dir.m_bOwnerRead = true;
}

}  // namespace orvane
