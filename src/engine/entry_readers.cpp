#include "engine/entry_readers.h"

#include "engine/columns.h"
#include "engine/file_info_groups.h"
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

bool CEntryReaders::ReadsFiles() const {
  return (m_readers & kReadFileContents) != 0;
}

void CEntryReaders::ReadScanExtras(CFileRecord& rec, const std::string& fullPath) {
  ReadTypeAndOwner(rec, fullPath);
  if (!rec.m_bIsDir) ReadExtras(rec, fullPath);
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
  HashRequest hashes;
  hashes.crc32 = (m_readers & kReadCrc32) != 0;
  hashes.md5 = (m_readers & kReadMd5) != 0;
  hashes.sha1 = (m_readers & kReadSha1) != 0;
  if (hashes.Any()) {
    // Only the digests not loaded yet are computed, in one read of the file; a cancelled pass
    // leaves them unloaded so the next generation computes them.
    JobHashProgress progress(m_status);
    FileHashes& state = rec.Info().m_hashes.Make();
    const int columns = (hashes.crc32 && !state.crc32Loaded) + (hashes.md5 && !state.md5Loaded) +
                        (hashes.sha1 && !state.sha1Loaded);
    HashStatus status = HashStatus::kDone;
    if (LoadFileHashes(fullPath, hashes, &progress, state, &status)) ok = false;
    // The file's digests stay loaded (blank), so each column says so once per file.
    if (status == HashStatus::kNoMemory)
      for (int i = 0; i < columns; ++i) m_status.Message(HashMemoryErrorText(kSupportContact));
  }
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

void CEntryReaders::ReadDirOwner(CDirRecord& dir) {
  // A drive row shows the owner of its mount point; folders inside an archive have none (the
  // path does not exist, so the text stays empty).
  dir.m_strOwner = m_services.Owner(dir.m_strPath);
  dir.m_bOwnerRead = true;
}

}  // namespace orvane
