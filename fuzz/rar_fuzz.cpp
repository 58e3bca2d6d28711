// Fuzz target: RAR 4 and RAR 5 headers, with and without header checksums.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/rar_lister.h"
#include "fileinfo/rar_reader.h"

namespace {

// Traps on a member name that could leave the archive's directory.
void CheckName(const std::string& name) {
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

class NullSink : public orvane::ArchiveSink {
 public:
  void BeginArchiveDir(const std::string&, const std::string&, int) override {}
  void AddArchiveEntry(const std::string&, const orvane::ArchiveMember& m) override {
    CheckName(m.name);
  }
  void EndArchiveDir(const std::string&, const std::string&, std::uint64_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  // Checksums off, so mutations reach the field parsing behind them.
  orvane::RarReader reader;
  reader.SetCheckHeaderCrc(false);
  if (reader.Open(bytes) == orvane::RarStatus::kOk) {
    orvane::RarFileHeader h;
    while (reader.ReadHeader(h) == orvane::RarStatus::kOk &&
           reader.Skip() == orvane::RarStatus::kOk) {
    }
  }
  NullSink sink;
  orvane::ListRarArchive(bytes, "/fuzz", "a.rar", sink, 0);
  return 0;
}
