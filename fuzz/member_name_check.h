// Shared by the archive fuzz targets: a sink that traps on any member name that could leave
// the archive's directory.
#pragma once

#include <cstdint>
#include <string>

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

class NameCheckingSink : public orvane::ArchiveSink {
 public:
  void BeginArchiveDir(const std::string&, const std::string&, int) override {}
  void AddArchiveEntry(const std::string&, const orvane::ArchiveMember& m) override {
    CheckName(m.name);
  }
  void EndArchiveDir(const std::string&, const std::string&, std::uint64_t) override {}
};

}  // namespace fuzzcheck
