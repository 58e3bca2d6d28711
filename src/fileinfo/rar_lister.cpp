#include "fileinfo/rar_lister.h"

#include "fileinfo/rar_reader.h"

namespace orvane {
namespace {

constexpr std::size_t kMaxNameChars = 1023;
constexpr std::uint32_t kUnixDirectory = 0040000;
constexpr std::uint32_t kUnixOwnerWrite = 0200;
constexpr std::uint32_t kUnixFileType = 0170000;

// Windows attribute bits of a member. Unix modes are mapped the way zip members from Unix
// systems are: archive, directory, read-only when the owner may not write.
std::uint32_t MemberAttributes(const RarFileHeader& h) {
  std::uint32_t attributes = 0;
  if (h.unixHost) {
    attributes = kMemberArchive;
    if ((h.attributes & kUnixFileType) == kUnixDirectory) attributes |= kMemberDirectory;
    if (!(h.attributes & kUnixOwnerWrite)) attributes |= kMemberReadOnly;
  } else {
    attributes = h.attributes & 0xFFFF;
  }
  if (h.isDirectory) attributes |= kMemberDirectory;
  return attributes;
}

std::uint64_t ListOpened(RarReader& reader, const std::string& dirPath,
                         const std::string& archiveName, ArchiveSink& sink, int baseLength) {
  const std::string archivePath = ArchiveDirPath(dirPath, archiveName);
  sink.BeginArchiveDir(dirPath, archiveName, baseLength);
  std::uint64_t total = 0;
  RarFileHeader h;
  while (!sink.StopRequested() && reader.ReadHeader(h) == RarStatus::kOk) {
    ArchiveMember m;
    bool trailingSeparator = false;
    m.name = CleanMemberName(h.name, kMaxNameChars, trailingSeparator);
    m.size = h.unpackedSize;
    m.time = h.time;
    m.crc = h.crc;
    m.attributes = MemberAttributes(h);
    if (trailingSeparator) m.attributes |= kMemberDirectory;
    if (!m.name.empty()) {
      sink.AddArchiveEntry(archivePath, m);
      total = SaturatingAdd(total, m.size);
    }
    if (reader.Skip() != RarStatus::kOk) break;
  }
  reader.Close();
  sink.EndArchiveDir(dirPath, archiveName, total);
  return total;
}

}  // namespace

std::uint64_t ListRarArchive(const std::string& dirPath, const std::string& archiveName,
                             ArchiveSink& sink, int baseLength) {
  RarReader reader;
  if (reader.Open(ArchiveDirPath(dirPath, archiveName)) != RarStatus::kOk) return 0;
  return ListOpened(reader, dirPath, archiveName, sink, baseLength);
}

std::uint64_t ListRarArchive(std::span<const std::uint8_t> bytes, const std::string& dirPath,
                             const std::string& archiveName, ArchiveSink& sink, int baseLength) {
  RarReader reader;
  if (reader.Open(bytes) != RarStatus::kOk) return 0;
  return ListOpened(reader, dirPath, archiveName, sink, baseLength);
}

}  // namespace orvane
