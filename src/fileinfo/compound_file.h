// CompoundFile: read-only access to the streams of an OLE compound file (the container of
// word-processor, spreadsheet and presentation documents of the Office family).
//
// It reads the header, the sector allocation table (FAT) and its extension (DIFAT), the
// directory, the mini-stream allocation table and the streams. Every sector number, chain, size
// and count in the file is distrusted: chains that loop, leave the file or run longer than the
// file has sectors end the read; nothing is read outside the bytes; no allocation is sized by an
// unchecked field. The bytes or the file given to Open must outlive the object. One object
// belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fileinfo/byte_source.h"

namespace orvane {

class CompoundFile {
 public:
  struct Entry {
    std::string name;       // UTF-8
    std::uint8_t type = 0;  // kStorage, kStream, kRoot or 0 (unused)
    std::uint32_t left = kNoEntry;
    std::uint32_t right = kNoEntry;
    std::uint32_t child = kNoEntry;
    std::uint32_t start = 0;  // first sector (or mini sector)
    std::uint64_t size = 0;   // stream size in bytes as stored
  };
  static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;
  static constexpr std::uint8_t kStorage = 1;
  static constexpr std::uint8_t kStream = 2;
  static constexpr std::uint8_t kRoot = 5;
  // Directory entries beyond this many are ignored (real documents hold a few thousand).
  static constexpr std::size_t kMaxEntries = 1 << 17;

  // Opens the compound file held in bytes. False when they are not one (bad signature or header,
  // or no readable root directory entry).
  bool Open(std::span<const std::uint8_t> bytes);
  // Opens the compound file read through a byte source (which must outlive this object).
  bool Open(const ByteSource& source);

  // The directory entries in stored order; entry 0 is the root.
  const std::vector<Entry>& Entries() const { return m_entries; }
  // Index of the stream directly below the root whose name equals name (ASCII letters compared
  // without case); -1 when there is none.
  int FindRootStream(std::string_view name) const;
  // Reads the first min(stream size, maxBytes) bytes of stream entry index into out. False
  // (out empty) when the entry is no stream or its chain ends before that many bytes.
  bool ReadStream(int index, std::size_t maxBytes, std::vector<std::uint8_t>& out) const;

 private:
  bool OpenCommon();
  bool ReadAt(std::uint64_t offset, std::size_t len, std::uint8_t* out) const;
  bool ReadSectors(std::span<const std::uint32_t> sectors, std::uint64_t len,
                   std::vector<std::uint8_t>& out) const;
  bool LoadFatSectorList(std::span<const std::uint8_t> header);
  std::uint32_t NextSector(std::uint32_t sector) const;
  std::vector<std::uint32_t> Chain(std::uint32_t start, std::uint64_t maxSectors) const;
  bool LoadDirectory(std::uint32_t firstSector);
  bool LoadMiniFat(std::uint32_t firstSector);
  bool ReadMiniStream(const Entry& entry, std::uint64_t len, std::vector<std::uint8_t>& out) const;

  SpanByteSource m_spanSource{std::span<const std::uint8_t>()};
  const ByteSource* m_source = nullptr;
  std::uint64_t m_fileSize = 0;
  std::uint32_t m_sectorShift = 9;
  std::uint32_t m_sectorSize = 512;
  std::uint32_t m_sectorCount = 0;  // sectors the file really has
  std::uint32_t m_miniCutoff = 4096;
  std::uint32_t m_majorVersion = 3;
  std::vector<std::uint32_t> m_fatSectors;                      // where each block of the FAT lives
  mutable std::vector<std::vector<std::uint32_t>> m_fatBlocks;  // loaded on demand
  std::vector<std::uint32_t> m_miniFat;
  mutable std::vector<std::uint32_t> m_miniStreamSectors;  // chain of the root, on demand
  mutable bool m_miniStreamLoaded = false;
  std::vector<Entry> m_entries;
};

}  // namespace orvane
