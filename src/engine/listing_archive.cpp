// Archives listed as directories: the records the archive readers create through the scan.
#include <algorithm>

#include "base/unicode.h"
#include "engine/columns.h"
#include "engine/file_info_groups.h"
#include "engine/listing_scanner.h"
#include "fileinfo/archive_member.h"
#include "fileinfo/rar_lister.h"
#include "fileinfo/zip_lister.h"

namespace orvane {
namespace {

// The scan as the archive readers see it.
class ScanArchiveSink : public ArchiveSink {
 public:
  explicit ScanArchiveSink(CListingScanner& scanner) : m_scanner(scanner) {}
  void BeginArchiveDir(const std::string& dirPath, const std::string& archiveName,
                       int baseLength) override {
    m_scanner.BeginArchiveDir(dirPath, archiveName, baseLength);
  }
  void AddArchiveEntry(const std::string& archivePath, const ArchiveMember& m) override {
    m_scanner.AddArchiveEntry(archivePath, m.name, m.size, m.crc, m.attributes, m.time);
  }
  void EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                     std::uint64_t totalSize) override {
    m_scanner.EndArchiveDir(dirPath, archiveName, totalSize);
  }
  bool StopRequested() const override { return m_scanner.StopRequested(); }

 private:
  CListingScanner& m_scanner;
};

}  // namespace

std::uint64_t CListingScanner::ListArchive(CDirRecord& dir, const std::string& name) {
  ScanArchiveSink sink(*this);
  const std::string ext = AsciiLower(name.substr(name.size() - 4));
  if (ext == ".zip") return ListZipArchive(dir.m_strPath, name, sink, dir.m_nBaseLength);
  return ListRarArchive(dir.m_strPath, name, sink, dir.m_nBaseLength);
}

void CListingScanner::BeginArchiveDir(const std::string& dirPath, const std::string& archiveName,
                                      int baseLength) {
  const std::string path = JoinPath(dirPath, archiveName);
  m_archiveChainKey.clear();
  m_archiveChain.clear();
  CDirRecord* rec = m_records.Find(path);
  if (!rec) rec = m_records.NewDir(path, baseLength);
  rec->m_bArchive = true;
  ++m_records.dirCount;
  if (CDirRecord* parent = m_records.Find(dirPath)) {
    rec->m_pParent = parent;
    for (auto it = parent->m_items.rbegin(); it != parent->m_items.rend(); ++it) {
      if (it->Name() != archiveName || !it->m_bIsDir) continue;
      rec->m_tCreation = it->m_tCreation;
      rec->m_tLastAccess = it->m_tLastAccess;
      rec->m_tLastWrite = it->m_tLastWrite;
      std::copy(std::begin(it->m_strAttributes), std::end(it->m_strAttributes),
                rec->m_strAttributes);
      break;
    }
  }
}

namespace {

// True when the chain key of the last member begins with archivePath and a NUL.
bool IsChainArchive(const std::string& key, std::string_view archivePath) {
  return key.size() > archivePath.size() && key[archivePath.size()] == '\0' &&
         key.compare(0, archivePath.size(), archivePath) == 0;
}

// True when the chain key of the last member ends with a NUL and folderPart.
bool IsChainFolder(const std::string& key, std::string_view folderPart) {
  return key.size() > folderPart.size() && key[key.size() - folderPart.size() - 1] == '\0' &&
         key.compare(key.size() - folderPart.size(), folderPart.size(), folderPart) == 0;
}

// The place of the last "/" or "\" in a member path; npos when there is none.
std::size_t LastSeparator(std::string_view path) {
  for (std::size_t i = path.size(); i-- > 0;)
    if (path[i] == '/' || path[i] == '\\') return i;
  return std::string_view::npos;
}

// The record of a folder member: its own directory record, made when no earlier member made
// it, takes the member's time and attributes.
void RecordFolderMember(ListingRecords& records, CDirRecord& dir, std::string_view leaf,
                        std::uint32_t attributes, std::int64_t time) {
  const std::string own = JoinPath(dir.m_strPath, std::string(leaf));
  CDirRecord* d = records.Find(own);
  if (!d) {
    d = records.NewDir(own, dir.m_nBaseLength);
    d->m_bArchive = true;
    d->m_pParent = &dir;
    ++records.dirCount;
  }
  d->m_tCreation = d->m_tLastAccess = d->m_tLastWrite = time;
  AttributeLetters(attributes, d->m_strAttributes);
}

}  // namespace

CDirRecord* CListingScanner::ArchiveFolder(const std::string& archivePath, CDirRecord* archive,
                                           std::string_view folderPart, std::int64_t time) {
  // The chain holds the archive's record first, then the folder records of the member's folder
  // part, outermost first; the folder paths are built in one buffer kept per thread.
  thread_local std::string path;
  m_archiveChain.assign(1, archive);
  path = archivePath;
  CDirRecord* cur = archive;
  std::size_t pos = 0;
  while (pos < folderPart.size()) {
    std::size_t end = folderPart.find_first_of("/\\", pos);
    if (end == std::string_view::npos) end = folderPart.size();
    const std::string_view part = folderPart.substr(pos, end - pos);
    pos = end + 1;
    // Empty, "." and ".." components are dropped: a member never leaves its archive.
    if (part.empty() || part == "." || part == "..") continue;
    if (path != "/") path += '/';
    path += part;
    CDirRecord* next = m_records.Find(path);
    if (!next) {
      next = m_records.NewDir(path, cur->m_nBaseLength);
      next->m_bArchive = true;
      next->m_pParent = cur;
      next->m_tCreation = next->m_tLastAccess = next->m_tLastWrite = time;
      ++m_records.dirCount;
    }
    cur = next;
    m_archiveChain.push_back(cur);
  }
  m_archiveChainKey.assign(archivePath);
  m_archiveChainKey.push_back('\0');
  m_archiveChainKey.append(folderPart);
  return cur;
}

void CListingScanner::AddArchiveEntry(const std::string& archivePath, const std::string& entryPath,
                                      std::uint64_t size, std::uint32_t crc,
                                      std::uint32_t attributes, std::int64_t time) {
  const bool isDir = (attributes & kAttrDirectory) != 0;
  const std::size_t lastSep = LastSeparator(entryPath);
  const std::string_view folderPart = lastSep == std::string::npos
                                          ? std::string_view()
                                          : std::string_view(entryPath).substr(0, lastSep);
  const std::string_view leaf =
      std::string_view(entryPath).substr(lastSep == std::string::npos ? 0 : lastSep + 1);
  if (leaf.empty() || leaf == "." || leaf == "..") return;
  // Members of one folder usually follow each other: the chain of the last member is reused
  // while the next one's archive and folder part are the same, and its archive record while
  // the archive is.
  CDirRecord* dir = nullptr;
  const bool sameArchive =
      !m_archiveChain.empty() && IsChainArchive(m_archiveChainKey, archivePath);
  if (sameArchive && m_archiveChainKey.size() == archivePath.size() + 1 + folderPart.size() &&
      IsChainFolder(m_archiveChainKey, folderPart)) {
    dir = m_archiveChain.back();
  } else {
    CDirRecord* archive = sameArchive ? m_archiveChain.front() : m_records.Find(archivePath);
    if (!archive) return;
    dir = ArchiveFolder(archivePath, archive, folderPart, time);
  }
  if (!isDir)
    for (std::size_t i = 1; i < m_archiveChain.size(); ++i) m_archiveChain[i]->m_nSize += size;
  if (isDir) RecordFolderMember(m_records, *dir, leaf, attributes, time);
  CFileRecord& rec = dir->m_items.emplace_back();
  rec.m_pDir = dir;
  rec.m_nSeq = m_records.fileSeq++;
  rec.m_tCreation = rec.m_tLastWrite = rec.m_tLastAccess = time;
  AttributeLetters(attributes, rec.m_strAttributes);
  // The CRC stored in the archive, kept only when its column is shown or sorts the files: the
  // members' records are made afresh by every scan, and a plain listing keeps no extra groups.
  const auto& keys = m_options.m_nFileSortKey;
  if ((m_readers.Readers() & kReadCrc32) ||
      std::find(keys.begin(), keys.end(), ColumnNumber(ColumnId::kCrc32)) != keys.end()) {
    FileHashes& hashes = rec.Info().m_hashes.Make();
    hashes.crc32 = crc;
    hashes.crc32Loaded = true;
  }
  rec.SetName(leaf);
  if (isDir) {
    rec.m_bIsDir = true;
    ++dir->m_nSubdirCount;
  } else {
    rec.m_nSize = size;
    ++dir->m_nFileCount;
    ++m_records.files;
    m_records.totalSize += size;
  }
}

void CListingScanner::EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                                    std::uint64_t size) {
  if (CDirRecord* rec = m_records.Find(JoinPath(dirPath, archiveName))) rec->m_nSize = size;
}

}  // namespace orvane
