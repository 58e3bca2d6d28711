// Shared by the archive fuzz targets: a sink that traps on any member name that could leave
// the archive's directory, and keeps the members to compare the listing of the same bytes
// from memory and from a file.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "fileinfo/archive_member.h"

namespace fuzzcheck {

inline void CheckName(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos || name.find('\\') != std::string::npos)
    __builtin_trap();
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '/') continue;
    const std::string part = name.substr(start, i - start);
    if (part.empty() || part == "." || part == "..") __builtin_trap();
    start = i + 1;
  }
}

// Cleans a stored name as the listers do and checks what is left, when anything is.
inline void CheckStoredName(const std::string& stored, std::size_t maxChars) {
  bool trailingSeparator = false;
  const std::string name = orvane::CleanMemberName(stored, maxChars, trailingSeparator);
  if (!name.empty()) CheckName(name);
}

class NameCheckingSink : public orvane::ArchiveSink {
 public:
  void BeginArchiveDir(const std::string&, const std::string&, int) override {}
  void AddArchiveEntry(const std::string&, const orvane::ArchiveMember& m) override {
    CheckName(m.name);
    m_members.emplace_back(m.name, m.size, m.time, m.crc, m.attributes);
  }
  void EndArchiveDir(const std::string&, const std::string&, std::uint64_t total) override {
    m_total = total;
  }

  bool operator==(const NameCheckingSink& other) const {
    return m_members == other.m_members && m_total == other.m_total;
  }

 private:
  using Member = std::tuple<std::string, std::uint64_t, std::int64_t, std::uint32_t, std::uint32_t>;
  std::vector<Member> m_members;
  std::uint64_t m_total = 0;
};

}  // namespace fuzzcheck
