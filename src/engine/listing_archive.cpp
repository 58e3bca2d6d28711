// Archives listed as directories: the records the archive readers create through the engine.
#include "base/unicode.h"
#include "engine/file_info_groups.h"
#include "engine/listing_engine.h"
#include "fileinfo/archive_member.h"
#include "fileinfo/rar_lister.h"
#include "fileinfo/zip_lister.h"

namespace orvane {
namespace {

// The engine as the archive readers see it.
class EngineArchiveSink : public ArchiveSink {
 public:
  explicit EngineArchiveSink(CListingEngine& engine) : m_engine(engine) {}
  void BeginArchiveDir(const std::string& dirPath, const std::string& archiveName,
                       int baseLength) override {
    m_engine.BeginArchiveDir(dirPath, archiveName, baseLength);
  }
  void AddArchiveEntry(const std::string& archivePath, const ArchiveMember& m) override {
    m_engine.AddArchiveEntry(archivePath, m.name, m.size, m.crc, m.attributes, m.time);
  }
  void EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                     std::uint64_t totalSize) override {
    m_engine.EndArchiveDir(dirPath, archiveName, totalSize);
  }
  bool StopRequested() const override { return m_engine.StopRequested(); }

 private:
  CListingEngine& m_engine;
};

}  // namespace

std::uint64_t CListingEngine::ListArchive(CDirRecord& dir, const std::string& name) {
  EngineArchiveSink sink(*this);
  const std::string ext = AsciiLower(name.substr(name.size() - 4));
  if (ext == ".zip") return ListZipArchive(dir.m_strPath, name, sink, dir.m_nBaseLength);
  return ListRarArchive(dir.m_strPath, name, sink, dir.m_nBaseLength);
}

CDirRecord* CListingEngine::BeginArchiveDir(const std::string& dirPath,
                                            const std::string& archiveName, int baseLength) {
  const std::string path = JoinPath(dirPath, archiveName);
  m_archiveChainKey.clear();
  m_archiveChain.clear();
  CDirRecord* rec = FindDir(path);
  if (!rec) rec = NewDir(path, baseLength);
  rec->m_bArchive = true;
  ++m_nDirs;
  if (CDirRecord* parent = FindDir(dirPath)) {
    rec->m_pParent = parent;
    for (auto it = parent->m_items.rbegin(); it != parent->m_items.rend(); ++it) {
      if (it->m_strName != archiveName || !it->m_bIsDir) continue;
      rec->m_tCreation = it->m_tCreation;
      rec->m_tLastAccess = it->m_tLastAccess;
      rec->m_tLastWrite = it->m_tLastWrite;
      std::copy(std::begin(it->m_strAttributes), std::end(it->m_strAttributes),
                rec->m_strAttributes);
      break;
    }
  }
  return rec;
}

void CListingEngine::AddArchiveEntry(const std::string& archivePath, const std::string& entryPath,
                                     std::uint64_t size, std::uint32_t crc,
                                     std::uint32_t attributes, std::int64_t time) {
  CDirRecord* dir = FindDir(archivePath);
  if (!dir) return;
  const bool isDir = (attributes & kAttrDirectory) != 0;
  // Members of one folder usually follow each other: the folder chain of the last member is
  // kept and reused when the next member's folder part is the same.
  std::size_t lastSep = entryPath.find_last_of("/\\");
  std::string_view folderPart = lastSep == std::string::npos
                                    ? std::string_view()
                                    : std::string_view(entryPath).substr(0, lastSep);
  std::string leaf = entryPath.substr(lastSep == std::string::npos ? 0 : lastSep + 1);
  if (leaf.empty() || leaf == "." || leaf == "..") return;
  std::string key = archivePath;
  key.push_back('\0');
  key.append(folderPart);
  if (key != m_archiveChainKey) {
    m_archiveChain.clear();
    std::string path = archivePath;
    CDirRecord* cur = dir;
    std::size_t pos = 0;
    while (pos < folderPart.size()) {
      std::size_t end = folderPart.find_first_of("/\\", pos);
      if (end == std::string_view::npos) end = folderPart.size();
      std::string_view part = folderPart.substr(pos, end - pos);
      pos = end + 1;
      // Empty, "." and ".." components are dropped: a member never leaves its archive.
      if (part.empty() || part == "." || part == "..") continue;
      path = JoinPath(path, std::string(part));
      CDirRecord* next = FindDir(path);
      if (!next) {
        next = NewDir(path, cur->m_nBaseLength);
        next->m_bArchive = true;
        next->m_pParent = cur;
        next->m_tCreation = next->m_tLastAccess = next->m_tLastWrite = time;
        ++m_nDirs;
      }
      cur = next;
      m_archiveChain.push_back(cur);
    }
    m_archiveChainKey = std::move(key);
  }
  if (!m_archiveChain.empty()) dir = m_archiveChain.back();
  if (!isDir)
    for (CDirRecord* d : m_archiveChain) d->m_nSize += size;
  const std::string& path = dir->m_strPath;
  if (isDir) {
    const std::string own = JoinPath(path, leaf);
    CDirRecord* d = FindDir(own);
    if (!d) {
      d = NewDir(own, dir->m_nBaseLength);
      d->m_bArchive = true;
      d->m_pParent = dir;
      ++m_nDirs;
    }
    d->m_tCreation = d->m_tLastAccess = d->m_tLastWrite = time;
    AttributeLetters(attributes, d->m_strAttributes);
  }
  CFileRecord rec;
  rec.m_pDir = dir;
  rec.m_nSeq = m_nFileSeq++;
  rec.m_tCreation = rec.m_tLastWrite = rec.m_tLastAccess = time;
  AttributeLetters(attributes, rec.m_strAttributes);
  FileInfoGroups& g = rec.Info();
  g.m_hashes.crc32 = crc;  // the CRC stored in the archive
  g.m_hashes.crc32Loaded = true;
  if (isDir) {
    rec.m_bIsDir = true;
    rec.m_strName = leaf;
    ++dir->m_nSubdirCount;
  } else {
    std::size_t dot = leaf.rfind('.');
    rec.m_bHasDot = dot != std::string::npos;
    rec.m_strName = rec.m_bHasDot ? leaf.substr(0, dot) : leaf;
    rec.m_strExt = rec.m_bHasDot ? leaf.substr(dot + 1) : std::string();
    rec.m_nSize = size;
    ++dir->m_nFileCount;
    ++m_nFiles;
    m_nTotalSize += size;
  }
  dir->m_items.push_back(std::move(rec));
}

void CListingEngine::EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                                   std::uint64_t size) {
  if (CDirRecord* rec = FindDir(JoinPath(dirPath, archiveName))) rec->m_nSize = size;
}

}  // namespace orvane
