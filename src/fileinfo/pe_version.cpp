#include "fileinfo/pe_version.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "fileinfo/byte_cursor.h"
#include "fileinfo/byte_source.h"

namespace orvane {

namespace {

constexpr std::size_t kMaxSections = 96;  // the most the system loader accepts
constexpr std::size_t kMaxDirectoryEntries = 4096;
constexpr std::size_t kMaxOptionalHeader = 1024;  // data directory 2 lies well inside
constexpr std::size_t kMaxVersionBytes = 65536;   // a version block's length is 16 bits
constexpr std::uint32_t kVersionType = 16;        // resource type of version data
constexpr std::uint32_t kVersionName = 1;         // the name the system looks up

// Reads of a PE file: Get returns up to len bytes at offset (fewer at the end of the file); the
// span stays valid until the next call.
class PeBytes {
 public:
  explicit PeBytes(const ByteSource& source) : m_source(source) {}
  std::span<const std::uint8_t> Get(std::uint64_t offset, std::size_t len) {
    m_buffer.resize(len);
    m_buffer.resize(m_source.ReadAt(offset, m_buffer.data(), len));
    return m_buffer;
  }

 private:
  const ByteSource& m_source;
  std::vector<std::uint8_t> m_buffer;
};

struct Section {
  std::uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0;
};

struct PeImage {
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t resourceRva = 0;
  std::vector<Section> sections;
};

// Reads the MZ and PE headers, the resource data directory and the section table.
bool ReadHeaders(PeBytes& bytes, PeImage& image) {
  ByteCursor mz(bytes.Get(0, 64));
  std::uint32_t peOffset = 0;
  if (!mz.Match("MZ") || !mz.Seek(0x3C) || !mz.U32LE(peOffset)) return false;

  ByteCursor pe(bytes.Get(peOffset, 24));
  std::uint16_t sectionCount = 0, optionalSize = 0;
  if (!pe.Match(std::string_view("PE\0\0", 4)) || !pe.Skip(2) || !pe.U16LE(sectionCount) ||
      !pe.Skip(12) || !pe.U16LE(optionalSize))
    return false;

  const std::uint64_t optionalAt = std::uint64_t{peOffset} + 24;
  ByteCursor opt(bytes.Get(optionalAt, std::min<std::size_t>(optionalSize, kMaxOptionalHeader)));
  std::uint16_t magic = 0;
  if (!opt.U16LE(magic)) return false;
  std::size_t countAt, directoriesAt;
  if (magic == 0x10B) {  // PE32
    countAt = 92;
    directoriesAt = 96;
  } else if (magic == 0x20B) {  // PE32+
    countAt = 108;
    directoriesAt = 112;
  } else {
    return false;
  }
  std::uint32_t directoryCount = 0, resourceSize = 0;
  if (!opt.Seek(60) || !opt.U32LE(image.sizeOfHeaders) || !opt.Seek(countAt) ||
      !opt.U32LE(directoryCount) || directoryCount < 3 || !opt.Seek(directoriesAt + 2 * 8) ||
      !opt.U32LE(image.resourceRva) || !opt.U32LE(resourceSize))
    return false;
  if (image.resourceRva == 0 || resourceSize == 0) return false;

  const std::size_t count = std::min<std::size_t>(sectionCount, kMaxSections);
  ByteCursor table(bytes.Get(optionalAt + optionalSize, count * 40));
  for (std::size_t i = 0; i < count; ++i) {
    Section s;
    if (!table.Skip(8) || !table.U32LE(s.virtualSize) || !table.U32LE(s.virtualAddress) ||
        !table.U32LE(s.rawSize) || !table.U32LE(s.rawPointer) || !table.Skip(16))
      break;
    image.sections.push_back(s);
  }
  return true;
}

// The file offset of an address in the loaded image, and how many bytes from there are stored
// in the file. False when no section (nor the headers) holds the address in its file data.
bool MapRva(const PeImage& image, std::uint64_t rva, std::uint64_t& offset, std::uint64_t& avail) {
  for (const Section& s : image.sections) {
    const std::uint64_t extent = s.virtualSize != 0 ? s.virtualSize : s.rawSize;
    if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
    const std::uint64_t delta = rva - s.virtualAddress;
    const std::uint64_t stored = std::min<std::uint64_t>(extent, s.rawSize);
    if (delta >= stored) return false;  // in memory only (zero-filled)
    offset = std::uint64_t{s.rawPointer} + delta;
    avail = stored - delta;
    return true;
  }
  if (rva < image.sizeOfHeaders) {
    offset = rva;
    avail = image.sizeOfHeaders - rva;
    return true;
  }
  return false;
}

// The bytes at an image address: up to len, no more than the file stores there.
std::span<const std::uint8_t> GetRva(PeBytes& bytes, const PeImage& image, std::uint64_t rva,
                                     std::size_t len) {
  std::uint64_t offset, avail;
  if (!MapRva(image, rva, offset, avail)) return {};
  return bytes.Get(offset, static_cast<std::size_t>(std::min<std::uint64_t>(len, avail)));
}

struct DirectoryEntry {
  std::uint32_t name;    // high bit set: a named entry; else the numeric identifier
  std::uint32_t target;  // high bit set: a subdirectory; low 31 bits: offset in the resources
  bool IsId(std::uint32_t id) const { return name == id; }
  bool IsDirectory() const { return (target & 0x80000000u) != 0; }
  std::uint32_t Offset() const { return target & 0x7FFFFFFFu; }
};

// The entries of the resource directory at an offset from the resource root.
std::vector<DirectoryEntry> ReadDirectory(PeBytes& bytes, const PeImage& image,
                                          std::uint32_t offset) {
  std::vector<DirectoryEntry> entries;
  const std::uint64_t rva = std::uint64_t{image.resourceRva} + offset;
  ByteCursor head(GetRva(bytes, image, rva, 16));
  std::uint16_t named = 0, ids = 0;
  if (!head.Skip(12) || !head.U16LE(named) || !head.U16LE(ids)) return entries;
  const std::size_t count = std::min<std::size_t>(std::size_t{named} + ids, kMaxDirectoryEntries);
  ByteCursor list(GetRva(bytes, image, rva + 16, count * 8));
  DirectoryEntry e;
  while (list.U32LE(e.name) && list.U32LE(e.target)) entries.push_back(e);
  return entries;
}

// The entry with the identifier, else (when any is allowed) the first of the wanted kind.
const DirectoryEntry* Pick(const std::vector<DirectoryEntry>& entries, bool directory,
                           std::initializer_list<std::uint32_t> ids, bool anyOtherwise) {
  for (std::uint32_t id : ids)
    for (const DirectoryEntry& e : entries)
      if (e.IsId(id) && e.IsDirectory() == directory) return &e;
  if (anyOtherwise)
    for (const DirectoryEntry& e : entries)
      if (e.IsDirectory() == directory) return &e;
  return nullptr;
}

// Type 16, name 1 (else the first name), language neutral (else US English, else the first):
// the bytes of the version resource, at most kMaxVersionBytes.
std::span<const std::uint8_t> FindVersionResource(PeBytes& bytes, const PeImage& image) {
  const auto types = ReadDirectory(bytes, image, 0);
  const DirectoryEntry* type = Pick(types, true, {kVersionType}, false);
  if (!type) return {};
  const auto names = ReadDirectory(bytes, image, type->Offset());
  const DirectoryEntry* name = Pick(names, true, {kVersionName}, true);
  if (!name) return {};
  const auto languages = ReadDirectory(bytes, image, name->Offset());
  const DirectoryEntry* language = Pick(languages, false, {0x0000, 0x0409}, true);
  if (!language) return {};
  ByteCursor data(GetRva(bytes, image, std::uint64_t{image.resourceRva} + language->Offset(), 16));
  std::uint32_t dataRva = 0, dataSize = 0;
  if (!data.U32LE(dataRva) || !data.U32LE(dataSize)) return {};
  // A resource cut short by the end of its section or of the file is not read in part.
  const std::size_t want = std::min<std::size_t>(dataSize, kMaxVersionBytes);
  const std::span<const std::uint8_t> resource = GetRva(bytes, image, dataRva, want);
  return resource.size() == want ? resource : std::span<const std::uint8_t>();
}

}  // namespace

std::string FormatVersionNumber(std::uint64_t number) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>(number >> 48),
                static_cast<unsigned>((number >> 32) & 0xFFFF),
                static_cast<unsigned>((number >> 16) & 0xFFFF),
                static_cast<unsigned>(number & 0xFFFF));
  return text;
}

bool ReadVersionInfo(const ByteSource& source, VersionInfo& info) {
  info = VersionInfo();
  PeBytes bytes(source);
  PeImage image;
  if (!ReadHeaders(bytes, image)) return false;
  const std::span<const std::uint8_t> resource = FindVersionResource(bytes, image);
  return !resource.empty() && ParseVersionResource(resource, info);
}

bool ReadVersionInfo(std::span<const std::uint8_t> file, VersionInfo& info) {
  return ReadVersionInfo(SpanByteSource(file), info);
}

bool ReadVersionInfo(const std::string& path, VersionInfo& info) {
  info = VersionInfo();
  FileByteSource file(path);
  return file.IsOpen() && ReadVersionInfo(file, info);
}

}  // namespace orvane
