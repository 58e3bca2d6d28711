#include "engine/records.h"

#include "engine/file_info_groups.h"

namespace orvane {

CFileRecord::CFileRecord() = default;
CFileRecord::~CFileRecord() = default;
CFileRecord::CFileRecord(CFileRecord&&) noexcept = default;
CFileRecord& CFileRecord::operator=(CFileRecord&&) noexcept = default;

std::string CFileRecord::FullName() const {
  if (m_bIsDir || !m_bHasDot) return m_strName;
  return m_strName + "." + m_strExt;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

CDirRecord* ListingRecords::Find(const std::string& path) const {
  auto it = index.find(path);
  return it == index.end() ? nullptr : it->second;
}

CDirRecord* ListingRecords::NewDir(const std::string& path, int baseLength) {
  auto rec = std::make_unique<CDirRecord>();
  rec->m_strPath = path;
  rec->m_nSeq = dirSeq++;
  rec->m_nBaseLength = baseLength;
  CDirRecord* raw = rec.get();
  dirs.push_back(std::move(rec));
  index[path] = raw;
  return raw;
}

FileInfoGroups& CFileRecord::Info() {
  if (!m_pInfo) m_pInfo = std::make_unique<FileInfoGroups>();
  return *m_pInfo;
}

void AttributeLetters(std::uint32_t bits, char out[6]) {
  out[0] = (bits & kAttrReadOnly) ? 'r' : '-';
  out[1] = (bits & kAttrArchive) ? 'a' : '-';
  out[2] = (bits & kAttrHidden) ? 'h' : '-';
  out[3] = (bits & kAttrSystem) ? 's' : '-';
  out[4] = (bits & kAttrCompressed) ? 'c' : '-';
  out[5] = 0;
}

}  // namespace orvane
