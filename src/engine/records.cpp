#include "engine/records.h"

#include <cstring>

#include "engine/file_info_groups.h"

namespace orvane {

CFileRecord::CFileRecord() = default;
CFileRecord::~CFileRecord() = default;
CFileRecord::CFileRecord(CFileRecord&&) noexcept = default;
CFileRecord& CFileRecord::operator=(CFileRecord&&) noexcept = default;

EntryName::EntryName(EntryName&& o) noexcept {
  std::memcpy(m_b, o.m_b, sizeof m_b);
  o.m_b[kTag] = 0;
}

EntryName& EntryName::operator=(EntryName&& o) noexcept {
  if (this != &o) {
    Free();
    std::memcpy(m_b, o.m_b, sizeof m_b);
    o.m_b[kTag] = 0;
  }
  return *this;
}

void EntryName::Free() noexcept {
  if (m_b[kTag] != kHeap) return;
  char* p;
  std::memcpy(&p, m_b, sizeof p);
  delete[] p;
  m_b[kTag] = 0;
}

void EntryName::Assign(std::string_view name) {
  unsigned char next[sizeof m_b];
  if (name.size() <= kInline) {
    std::memcpy(next, name.data(), name.size());
    next[kTag] = static_cast<unsigned char>(name.size());
  } else {
    char* p = new char[name.size()];
    std::memcpy(p, name.data(), name.size());
    const std::size_t n = name.size();
    std::memcpy(next, &p, sizeof p);
    std::memcpy(next + sizeof p, &n, sizeof n);
    next[kTag] = kHeap;
  }
  // The old name goes only now: `name` may have been a view of it.
  Free();
  std::memcpy(m_b, next, sizeof m_b);
}

std::string_view EntryName::View() const {
  if (m_b[kTag] != kHeap) return std::string_view(reinterpret_cast<const char*>(m_b), m_b[kTag]);
  const char* p;
  std::size_t n;
  std::memcpy(&p, m_b, sizeof p);
  std::memcpy(&n, m_b + sizeof p, sizeof n);
  return std::string_view(p, n);
}

std::string_view CFileRecord::Name() const {
  const std::string_view name = m_name.View();
  if (m_bIsDir) return name;
  return name.substr(0, name.rfind('.'));
}

std::string_view CFileRecord::Ext() const {
  const std::string_view name = m_name.View();
  const std::size_t dot = name.rfind('.');
  if (m_bIsDir || dot == std::string_view::npos) return std::string_view();
  return name.substr(dot + 1);
}

bool CFileRecord::HasDot() const {
  return !m_bIsDir && m_name.View().find('.') != std::string_view::npos;
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
