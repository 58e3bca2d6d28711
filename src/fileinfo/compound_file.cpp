#include "fileinfo/compound_file.h"

#include <algorithm>
#include <cstring>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"

namespace orvane {
namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntrySize = 128;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint64_t kMaxMiniFatBytes = 16u << 20;

std::uint32_t U32At(const std::uint8_t* p) {
  return ByteCursor::LoadLE(p, 4);
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::uint64_t DivideRoundingUp(std::uint64_t a, std::uint64_t b) {
  return a / b + (a % b != 0);
}

}  // namespace

bool CompoundFile::Open(std::span<const std::uint8_t> bytes) {
  m_spanSource = SpanByteSource(bytes);
  return Open(m_spanSource);
}

bool CompoundFile::Open(const ByteSource& source) {
  m_source = &source;
  m_fileSize = source.Size();
  return OpenCommon();
}

bool CompoundFile::ReadAt(std::uint64_t offset, std::size_t len, std::uint8_t* out) const {
  if (!m_source || offset > m_fileSize || len > m_fileSize - offset) return false;
  return len == 0 || m_source->ReadAt(offset, out, len) == len;
}

bool CompoundFile::OpenCommon() {
  m_fatSectors.clear();
  m_fatBlocks.clear();
  m_miniFat.clear();
  m_miniStreamSectors.clear();
  m_miniStreamLoaded = false;
  m_entries.clear();

  std::uint8_t header[kHeaderSize];
  if (!ReadAt(0, kHeaderSize, header) || std::memcmp(header, kSignature, 8) != 0) return false;
  ByteCursor c(header);
  std::uint16_t major = 0, byteOrder = 0, shift = 0, miniShift = 0;
  c.Seek(0x1A);
  c.U16LE(major);
  c.U16LE(byteOrder);
  c.U16LE(shift);
  c.U16LE(miniShift);
  if (byteOrder != 0xFFFE || (shift != 9 && shift != 12) || miniShift != 6) return false;
  m_majorVersion = major;
  m_sectorShift = shift;
  m_sectorSize = 1u << shift;
  const std::uint64_t sectors =
      m_fileSize > m_sectorSize ? DivideRoundingUp(m_fileSize - m_sectorSize, m_sectorSize) : 0;
  m_sectorCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, kMaxRegularSector));

  const std::uint32_t firstDir = U32At(header + 0x30);
  m_miniCutoff = U32At(header + 0x38);
  const std::uint32_t firstMiniFat = U32At(header + 0x3C);
  if (!LoadFatSectorList(header) || !LoadDirectory(firstDir)) return false;
  LoadMiniFat(firstMiniFat);
  return true;
}

bool CompoundFile::LoadFatSectorList(std::span<const std::uint8_t> header) {
  const std::uint32_t wanted = std::min(U32At(header.data() + 0x2C), m_sectorCount);
  for (std::size_t i = 0; i < kHeaderDifatEntries && m_fatSectors.size() < wanted; ++i)
    m_fatSectors.push_back(U32At(header.data() + 0x4C + 4 * i));

  // The rest of the list lives in a chain of DIFAT sectors; the last entry of each links on.
  std::uint32_t sector = U32At(header.data() + 0x44);
  std::vector<bool> seen(m_sectorCount);
  std::vector<std::uint8_t> block(m_sectorSize);
  const std::size_t perSector = m_sectorSize / 4 - 1;
  while (m_fatSectors.size() < wanted && sector < m_sectorCount && !seen[sector]) {
    seen[sector] = true;
    if (!ReadAt(static_cast<std::uint64_t>(sector + 1) << m_sectorShift, m_sectorSize,
                block.data()))
      break;
    for (std::size_t i = 0; i < perSector && m_fatSectors.size() < wanted; ++i)
      m_fatSectors.push_back(U32At(block.data() + 4 * i));
    sector = U32At(block.data() + 4 * perSector);
  }
  m_fatBlocks.resize(m_fatSectors.size());
  return !m_fatSectors.empty();
}

std::uint32_t CompoundFile::NextSector(std::uint32_t sector) const {
  const std::uint32_t perBlockShift = m_sectorShift - 2;
  const std::size_t block = sector >> perBlockShift;
  if (block >= m_fatBlocks.size()) return kEndOfChain + 1;  // no FAT covers it: broken
  std::vector<std::uint32_t>& entries = m_fatBlocks[block];
  if (entries.empty()) {
    const std::uint32_t where = m_fatSectors[block];
    std::vector<std::uint8_t> raw(m_sectorSize);
    entries.assign(m_sectorSize / 4, kEndOfChain + 1);
    if (where < m_sectorCount &&
        ReadAt(static_cast<std::uint64_t>(where + 1) << m_sectorShift, m_sectorSize, raw.data()))
      for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = U32At(raw.data() + 4 * i);
  }
  return entries[sector & ((1u << perBlockShift) - 1)];
}

std::vector<std::uint32_t> CompoundFile::Chain(std::uint32_t start,
                                               std::uint64_t maxSectors) const {
  std::vector<std::uint32_t> chain;
  maxSectors = std::min<std::uint64_t>(maxSectors, m_sectorCount);
  std::vector<bool> seen(m_sectorCount);
  for (std::uint32_t s = start; chain.size() < maxSectors; s = NextSector(s)) {
    if (s >= m_sectorCount || seen[s]) break;  // end of chain, a free mark, or a loop
    seen[s] = true;
    chain.push_back(s);
  }
  return chain;
}

bool CompoundFile::ReadSectors(std::span<const std::uint32_t> sectors, std::uint64_t len,
                               std::vector<std::uint8_t>& out) const {
  out.clear();
  if (len > static_cast<std::uint64_t>(sectors.size()) << m_sectorShift) return false;
  out.resize(static_cast<std::size_t>(len));
  std::size_t done = 0;
  // Consecutive sectors are read in one go.
  for (std::size_t i = 0; i < sectors.size() && done < len;) {
    std::size_t run = 1;
    while (i + run < sectors.size() && sectors[i + run] == sectors[i] + run) ++run;
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::uint64_t>(len - done, std::uint64_t{run} << m_sectorShift));
    if (!ReadAt(static_cast<std::uint64_t>(sectors[i] + 1) << m_sectorShift, want,
                out.data() + done)) {
      out.clear();
      return false;
    }
    done += want;
    i += run;
  }
  return true;
}

bool CompoundFile::LoadDirectory(std::uint32_t firstSector) {
  const std::uint64_t maxSectors = kMaxEntries * kEntrySize / m_sectorSize;
  const std::vector<std::uint32_t> chain = Chain(firstSector, maxSectors);
  std::vector<std::uint8_t> raw(m_sectorSize);
  for (const std::uint32_t sector : chain) {
    if (!ReadAt(static_cast<std::uint64_t>(sector + 1) << m_sectorShift, m_sectorSize, raw.data()))
      break;
    for (std::size_t off = 0; off + kEntrySize <= m_sectorSize; off += kEntrySize) {
      const std::uint8_t* p = raw.data() + off;
      Entry e;
      const std::size_t nameLen = std::min<std::size_t>(ByteCursor::LoadLE(p + 64, 2), 64);
      e.name = Utf16LeToUtf8(std::span<const std::uint8_t>(p, nameLen));
      e.type = p[66];
      e.left = U32At(p + 68);
      e.right = U32At(p + 72);
      e.child = U32At(p + 76);
      e.start = U32At(p + 116);
      e.size = ByteCursor::LoadLE64(p + 120, 8);
      if (m_majorVersion < 4) e.size &= 0xFFFFFFFF;  // version 3 leaves the high half undefined
      m_entries.push_back(std::move(e));
    }
  }
  return !m_entries.empty() && m_entries[0].type == kRoot;
}

bool CompoundFile::LoadMiniFat(std::uint32_t firstSector) {
  const std::vector<std::uint32_t> chain = Chain(firstSector, kMaxMiniFatBytes / m_sectorSize);
  std::vector<std::uint8_t> raw;
  if (!ReadSectors(chain, static_cast<std::uint64_t>(chain.size()) << m_sectorShift, raw))
    return false;
  m_miniFat.resize(raw.size() / 4);
  for (std::size_t i = 0; i < m_miniFat.size(); ++i) m_miniFat[i] = U32At(raw.data() + 4 * i);
  return true;
}

bool CompoundFile::ReadMiniStream(const Entry& entry, std::uint64_t len,
                                  std::vector<std::uint8_t>& out) const {
  if (!m_miniStreamLoaded) {
    const Entry& root = m_entries[0];
    m_miniStreamSectors = Chain(root.start, DivideRoundingUp(root.size, m_sectorSize));
    m_miniStreamLoaded = true;
  }
  out.assign(static_cast<std::size_t>(len), 0);
  std::vector<bool> seen(m_miniFat.size());
  std::uint32_t mini = entry.start;
  for (std::uint64_t done = 0; done < len;) {
    if (mini >= m_miniFat.size() || seen[mini]) break;
    seen[mini] = true;
    const std::uint64_t offset = static_cast<std::uint64_t>(mini) * kMiniSectorSize;
    const std::uint64_t index = offset >> m_sectorShift;
    if (index >= m_miniStreamSectors.size()) break;
    const std::uint64_t at =
        (static_cast<std::uint64_t>(m_miniStreamSectors[index] + 1) << m_sectorShift) +
        (offset & (m_sectorSize - 1));
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(len - done, kMiniSectorSize));
    if (!ReadAt(at, want, out.data() + done)) break;
    done += want;
    if (done == len) return true;
    mini = m_miniFat[mini];
  }
  out.clear();
  return len == 0;
}

int CompoundFile::FindRootStream(std::string_view name) const {
  if (m_entries.empty()) return -1;
  // Walk the tree of the root's children (left and right links), guarding against loops.
  std::vector<bool> seen(m_entries.size());
  std::vector<std::uint32_t> pending{m_entries[0].child};
  while (!pending.empty()) {
    const std::uint32_t i = pending.back();
    pending.pop_back();
    if (i >= m_entries.size() || seen[i]) continue;
    seen[i] = true;
    const Entry& e = m_entries[i];
    if (e.type == kStream && AsciiEqualNoCase(e.name, name)) return static_cast<int>(i);
    pending.push_back(e.left);
    pending.push_back(e.right);
  }
  return -1;
}

bool CompoundFile::ReadStream(int index, std::size_t maxBytes,
                              std::vector<std::uint8_t>& out) const {
  out.clear();
  if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return false;
  const Entry& e = m_entries[static_cast<std::size_t>(index)];
  if (e.type != kStream) return false;
  const std::uint64_t len = std::min<std::uint64_t>(e.size, maxBytes);
  if (len > m_fileSize) return false;
  if (e.size < m_miniCutoff) return ReadMiniStream(e, len, out);
  const std::vector<std::uint32_t> chain = Chain(e.start, DivideRoundingUp(len, m_sectorSize));
  return ReadSectors(chain, len, out);
}

}  // namespace orvane
