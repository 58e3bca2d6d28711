#include "fileinfo/zip_lister.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"
#include "fileinfo/crc32.h"
#include "platform/codepage.h"
#include "platform/file_source.h"

namespace orvane {
namespace {

constexpr std::size_t kMaxNameChars = 259;
constexpr std::uint16_t kZip64 = 0x0001;
constexpr std::uint16_t kExtendedTimestamp = 0x5455;  // "UT"
constexpr std::uint16_t kUnicodePath = 0x7075;        // "up"
constexpr std::uint32_t kUtf8NameFlag = 0x800;
constexpr std::uint32_t kHostUnix = 3;

constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::size_t kCentralSize = 46;  // fixed part of a central header
constexpr std::size_t kLocalSize = 30;    // fixed part of a local header
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kLocatorSize = 20;
constexpr std::uint64_t kEndSearch = 0xFFFF;           // how far back the records are looked for
constexpr std::uint64_t kTailSize = 65535 + kEndSize;  // the tail the archive's start is found in

std::uint32_t U16(const std::uint8_t* p) {
  return ByteCursor::LoadLE(p, 2);
}
std::uint32_t U32(const std::uint8_t* p) {
  return ByteCursor::LoadLE(p, 4);
}

// The archive's bytes, from memory or from a file. A file is read through two windows of large
// blocks: one follows the central directory, the other the local headers near the front, so
// the two forward sweeps of a listing cost one read call per block each. At most about 1 MiB
// per window is held, whatever sizes and counts the archive claims.
class ZipBytes {
 public:
  enum Window { kDirectory, kLocal };

  explicit ZipBytes(std::span<const std::uint8_t> bytes) : m_bytes(bytes), m_size(bytes.size()) {}
  explicit ZipBytes(const FileSource& file) : m_file(&file), m_size(file.Size()) {}

  std::uint64_t Size() const { return m_size; }

  // A little-endian field of n bytes (at most 8) the way the directory records have always
  // been read here: a byte behind the end of the archive repeats the byte before it within the
  // field, and is 0 when the whole field lies behind the end. Records cut by the end of the
  // archive are read on with those values rather than refused.
  std::uint64_t Field(std::uint64_t offset, int n) {
    if (const std::uint8_t* p = At(offset, static_cast<std::size_t>(n)))
      return ByteCursor::LoadLE64(p, n);
    const std::uint64_t present = offset < m_size ? m_size - offset : 0;
    std::uint64_t value = 0, last = 0;
    for (int i = 0; i < n; ++i) {
      if (static_cast<std::uint64_t>(i) < present) last = *At(offset + i, 1);
      value |= last << (8 * i);
    }
    return value;
  }

  // The n bytes at offset; nullptr unless the archive holds them all. Bytes of a file stay
  // valid until the next call for the same window.
  const std::uint8_t* At(std::uint64_t offset, std::size_t n, Window window = kDirectory) {
    static const std::uint8_t kNothing = 0;
    if (n == 0) return &kNothing;
    if (offset >= m_size || n > m_size - offset) return nullptr;
    if (!m_file) return m_bytes.data() + offset;
    Block& b = m_blocks[window];
    if (offset >= b.start && offset - b.start <= b.length && n <= b.length - (offset - b.start))
      return b.data.data() + (offset - b.start);
    return Load(b, offset, n);
  }

 private:
  // A window's block grows while it is read forward and starts small again after a jump, so
  // headers scattered over a large file do not each cost a large read.
  static constexpr std::size_t kFirstBlock = 64 * 1024;
  static constexpr std::size_t kLargestBlock = 1024 * 1024;
  struct Block {
    std::uint64_t start = 0;
    std::size_t length = 0;  // bytes loaded
    std::size_t next = kFirstBlock;
    std::vector<std::uint8_t> data;
  };

  const std::uint8_t* Load(Block& b, std::uint64_t offset, std::size_t n) {
    const bool forward = b.length > 0 && offset >= b.start && offset - b.start <= 2 * b.length;
    b.next = forward ? std::min(2 * b.next, kLargestBlock) : kFirstBlock;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(std::max(n, b.next), m_size - offset));
    if (b.data.size() < want) b.data.resize(want);
    const long long got = m_file->ReadInto(offset, b.data.data(), want);
    b.start = offset;
    b.length = got > 0 ? static_cast<std::size_t>(got) : 0;
    return b.length >= n ? b.data.data() : nullptr;
  }

  std::span<const std::uint8_t> m_bytes;
  const FileSource* m_file = nullptr;
  std::uint64_t m_size = 0;
  Block m_blocks[2];
};

// The data of the first extra-field block with the given id; empty when there is none.
std::span<const std::uint8_t> FindExtraBlock(std::span<const std::uint8_t> extra,
                                             std::uint16_t id) {
  ByteCursor c(extra);
  std::uint16_t blockId = 0, size = 0;
  std::span<const std::uint8_t> data;
  while (c.U16LE(blockId) && c.U16LE(size) && c.Sub(size, data))
    if (blockId == id) return data;
  return {};
}

// The modification time of an extended-timestamp block, when the block carries one.
bool ExtendedModTime(std::span<const std::uint8_t> extra, std::int64_t& time) {
  ByteCursor c(FindExtraBlock(extra, kExtendedTimestamp));
  std::uint8_t flags = 0;
  std::uint32_t mtime = 0;
  if (!c.U8(flags) || !(flags & 1) || !c.U32LE(mtime)) return false;
  time = ClampListingTime(static_cast<std::int32_t>(mtime));
  return true;
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

// Where the archive's records are, found from its tail.
struct TailMarks {
  std::uint64_t locator = 0;    // a zip64 locator; 0 when there is none
  std::uint64_t end = 0;        // the end record; 0 when there is none
  std::uint64_t dataShift = 0;  // bytes in front of the archive, from the end record
};

// The last place of a record signature that leaves 4 bytes before the end of the archive, in
// its last 64 KiB; 0 when there is none (a record at the very start does not count).
std::uint64_t FindRecord(const std::uint8_t* tail, std::uint64_t tailStart, std::uint64_t size,
                         std::uint32_t signature) {
  if (size < 4) return 0;
  const std::uint64_t first = size - std::min(size, kEndSearch);
  for (std::uint64_t at = size - 4; at >= first && at > 0; --at)
    if (U32(tail + (at - tailStart)) == signature) return at;
  return 0;
}

// The bytes in front of the archive (a self-extractor's program, for instance): where the end
// record says the central directory ends and where it does end. 0 when the end record is
// preceded by a zip64 locator (writers add one for more than 65,535 members even to small
// archives), or cannot say.
std::uint64_t DataShift(const std::uint8_t* tail, std::uint64_t tailStart, std::size_t tailSize) {
  for (std::size_t i = tailSize >= kEndSize ? tailSize - kEndSize + 1 : 0; i-- > 0;) {
    if (U32(tail + i) != kEndSignature) continue;
    const std::uint64_t end = tailStart + i;
    const std::uint64_t cdSize = U32(tail + i + 12);
    const std::uint64_t cdOffset = U32(tail + i + 16);
    const bool zip64 = i >= kLocatorSize && U32(tail + i - kLocatorSize) == kZip64LocatorSignature;
    if (zip64 || cdOffset == 0xFFFFFFFF || end < cdOffset + cdSize) return 0;
    return end - (cdOffset + cdSize);
  }
  return 0;
}

TailMarks ScanTail(ZipBytes& bytes) {
  TailMarks marks;
  const std::uint64_t size = bytes.Size();
  const std::size_t tailSize = static_cast<std::size_t>(std::min(size, kTailSize));
  const std::uint8_t* tail = bytes.At(size - tailSize, tailSize);
  if (!tail) return marks;
  marks.locator = FindRecord(tail, size - tailSize, size, kZip64LocatorSignature);
  marks.end = FindRecord(tail, size - tailSize, size, kEndSignature);
  marks.dataShift = DataShift(tail, size - tailSize, tailSize);
  return marks;
}

// The central directory: where its first header is, how many members it announces, and the
// bytes in front of the archive that the directory's own position shows.
struct Directory {
  std::uint64_t offset = 0;
  std::uint64_t entries = 0;  // 0xFFFF (and 0): not a count, the walk goes on to the damage
  std::uint64_t shift = 0;
};

// The zip64 end record a locator names; 0 when it names none.
std::uint64_t Zip64EndAt(ZipBytes& bytes, std::uint64_t locator) {
  if (locator == 0 || bytes.Field(locator + 4, 4) != 0) return 0;  // one volume only
  const std::uint64_t at = bytes.Field(locator + 8, 8);
  if (bytes.Field(locator + 16, 4) != 1) return 0;
  return bytes.Field(at, 4) == kZip64EndSignature ? at : 0;
}

// False when the archive has no end record, or is spread over volumes, or its central
// directory would end behind the end record.
bool FindDirectory(ZipBytes& bytes, const TailMarks& marks, Directory& dir) {
  std::uint64_t at = Zip64EndAt(bytes, marks.locator);
  std::uint64_t cdSize = 0;
  if (at != 0) {
    if (bytes.Field(at + 16, 4) != 0 || bytes.Field(at + 20, 4) != 0) return false;
    dir.entries = bytes.Field(at + 24, 8);
    if (bytes.Field(at + 32, 8) != dir.entries) return false;
    cdSize = bytes.Field(at + 40, 8);
    dir.offset = bytes.Field(at + 48, 8);
  } else {
    at = marks.end;
    if (at == 0 || bytes.Field(at + 4, 2) != 0 || bytes.Field(at + 6, 2) != 0) return false;
    dir.entries = bytes.Field(at + 8, 2);
    if (bytes.Field(at + 10, 2) != dir.entries) return false;
    cdSize = bytes.Field(at + 12, 4);
    dir.offset = bytes.Field(at + 16, 4);
  }
  if (at < dir.offset + cdSize) return false;
  dir.shift = at - (dir.offset + cdSize);
  return true;
}

// The length of the central header at `at` (fixed part, name, extra field and comment); 0 when
// the walk cannot step over it: its signature is not there.
std::uint64_t StepLength(ZipBytes& bytes, std::uint64_t at) {
  if (bytes.Field(at, 4) != kCentralSignature) return 0;
  return kCentralSize + bytes.Field(at + 28, 2) + bytes.Field(at + 30, 2) + bytes.Field(at + 32, 2);
}

// One central header: its fixed part, and its name and extra field read whole.
struct Central {
  std::uint8_t fixed[kCentralSize] = {};
  const std::uint8_t* nameExtra = nullptr;
  std::uint32_t nameLength = 0;
  std::uint32_t extraLength = 0;
  bool local = false;  // read where the data shift places it: its local header can be read

  std::uint32_t HostSystem() const { return fixed[5]; }
  std::uint32_t Flags() const { return U16(fixed + 8); }
  std::uint32_t DosTime() const { return U32(fixed + 12); }
  std::uint32_t Crc() const { return U32(fixed + 16); }
  std::uint32_t CompressedSize() const { return U32(fixed + 20); }
  std::uint32_t Size() const { return U32(fixed + 24); }
  std::uint32_t External() const { return U32(fixed + 38); }
  std::uint32_t LocalOffset() const { return U32(fixed + 42); }
  std::string_view Name() const { return {reinterpret_cast<const char*>(nameExtra), nameLength}; }
  std::span<const std::uint8_t> Extra() const { return {nameExtra + nameLength, extraLength}; }
};

// The header at `at` where the data shift places it: wholly in the archive, with its signature.
bool ReadCentral(ZipBytes& bytes, std::uint64_t at, Central& out) {
  const std::uint8_t* p = bytes.At(at, kCentralSize);
  if (!p || U32(p) != kCentralSignature) return false;
  out.nameLength = U16(p + 28);
  out.extraLength = U16(p + 30);
  p = bytes.At(at, kCentralSize + out.nameLength + out.extraLength);
  if (!p) return false;
  std::copy(p, p + kCentralSize, out.fixed);
  out.nameExtra = p + kCentralSize;
  return true;
}

// The header at `at` where the walk stands (its signature known): the fixed fields as the walk
// reads them, the name and the extra field wholly in the archive.
bool ReadWalkedCentral(ZipBytes& bytes, std::uint64_t at, Central& out) {
  static constexpr int kFieldSizes[] = {4, 2, 2, 2, 2, 4, 4, 4, 4, 2, 2, 2, 2, 2, 4, 4};
  std::size_t offset = 0;
  for (const int size : kFieldSizes) {
    const std::uint64_t value = bytes.Field(at + offset, size);
    for (int i = 0; i < size; ++i)
      out.fixed[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    offset += static_cast<std::size_t>(size);
  }
  out.nameLength = U16(out.fixed + 28);
  out.extraLength = U16(out.fixed + 30);
  out.nameExtra = bytes.At(at + kCentralSize, out.nameLength + out.extraLength);
  return out.nameExtra != nullptr;
}

// The stored name as UTF-8: UTF-8 when flagged; else the Unicode path block when it belongs to
// this very name; else, for a Unix host, the bytes when they are valid UTF-8 (what zip tools on
// Unix store); else the OEM code page. A name that needs decoding is built in `decoded`.
std::string_view DecodeName(const Central& c, std::string& decoded) {
  const std::string_view raw = c.Name();
  if ((c.Flags() & kUtf8NameFlag) || IsAscii(raw)) return raw;
  ByteCursor up(FindExtraBlock(c.Extra(), kUnicodePath));
  std::uint8_t version = 0;
  std::uint32_t crc = 0;
  const auto rawBytes = std::span(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
  if (up.U8(version) && version == 1 && up.U32LE(crc) && crc == Crc32Of(rawBytes)) {
    decoded.assign(reinterpret_cast<const char*>(up.Rest().data()), up.Rest().size());
    return decoded;
  }
  if (c.HostSystem() == kHostUnix && SanitizeUtf8(raw) == raw) return raw;
  decoded = OemToUtf8(raw);
  return decoded;
}

// The uncompressed size. A 32-bit field of all ones means the size is in the zip64 block, where
// it comes first.
std::uint64_t MemberSize(const Central& c) {
  std::uint64_t size = 0;
  ByteCursor zip64(FindExtraBlock(c.Extra(), kZip64));
  if (c.Size() == 0xFFFFFFFF && zip64.U64LE(size)) return size;
  return c.Size();
}

std::uint32_t MemberAttributes(const Central& c) {
  const std::uint32_t host = c.HostSystem();
  const std::uint32_t external = c.External();
  if (host == 0 || host == 7 || host == 11 || host == 14) return external & 0xFF;
  std::uint32_t attributes = kMemberArchive;
  if (external & 0x40000000) attributes |= kMemberDirectory;
  if (!(external & 0x00800000)) attributes |= kMemberReadOnly;
  return attributes;
}

// The extended timestamp of the member's local header, for a member whose central header has
// none. False when the local header cannot be found where its offset and the data shift say.
bool LocalModTime(ZipBytes& bytes, std::uint64_t dataShift, const Central& c, std::int64_t& time) {
  std::uint64_t local = c.LocalOffset();
  if (local == 0xFFFFFFFF) {  // in the zip64 block, behind the sizes stored there
    ByteCursor zip64(FindExtraBlock(c.Extra(), kZip64));
    const bool skipped = (c.Size() != 0xFFFFFFFF || zip64.Skip(8)) &&
                         (c.CompressedSize() != 0xFFFFFFFF || zip64.Skip(8));
    if (!skipped || !zip64.U64LE(local)) return false;
  }
  local += dataShift;
  const std::uint8_t* head = bytes.At(local, kLocalSize, ZipBytes::kLocal);
  if (!head || U32(head) != kLocalSignature) return false;
  const std::uint32_t nameLength = U16(head + 26), extraLength = U16(head + 28);
  const std::uint8_t* extra =
      bytes.At(local + kLocalSize + nameLength, extraLength, ZipBytes::kLocal);
  return extra && ExtendedModTime({extra, extraLength}, time);
}

// One member from its central header; m.name stays empty when nothing of the name is left.
void ReadMember(ZipBytes& bytes, std::uint64_t dataShift, const Central& c,
                DosTimeConverter& dosTime, std::string& decoded, ArchiveMember& m) {
  bool trailingSeparator = false;
  CleanMemberName(DecodeName(c, decoded), kMaxNameChars, trailingSeparator, m.name);
  m.attributes = MemberAttributes(c);
  if (trailingSeparator) m.attributes |= kMemberDirectory;
  m.size = MemberSize(c);
  m.crc = c.Crc();
  m.time = dosTime.ToSeconds(c.DosTime());
  // The central copy of the extended timestamp repeats the local modification time, so the
  // local header is read only when the central directory has none.
  if (!ExtendedModTime(c.Extra(), m.time) && c.local) LocalModTime(bytes, dataShift, c, m.time);
}

// Walks the central directory in one forward pass; returns the total of the members' sizes.
// Each header is looked for where the data shift places it, and where the directory's own
// position places it when it is not there. The walk ends at the announced count (unless that is
// 0 or 0xFFFF) or at the first header it cannot step over; each step moves forward by a whole
// header, so the walk ends within the archive's bytes whatever the counts claim.
std::uint64_t ListMembers(ZipBytes& bytes, const Directory& dir, std::uint64_t dataShift,
                          const std::string& archivePath, ArchiveSink& sink) {
  std::uint64_t total = 0;
  DosTimeConverter dosTime;
  std::string decoded;
  ArchiveMember m;
  std::uint64_t pos = dir.offset;
  for (std::uint64_t index = 0;; ++index) {
    const std::uint64_t length = StepLength(bytes, dir.shift + pos);
    if (length == 0 || sink.StopRequested()) break;
    Central c;
    c.local = ReadCentral(bytes, dataShift + pos, c);
    if (!c.local && !ReadWalkedCentral(bytes, dir.shift + pos, c)) break;
    ReadMember(bytes, dataShift, c, dosTime, decoded, m);
    if (!m.name.empty()) {
      sink.AddArchiveEntry(archivePath, m);
      total = SaturatingAdd(total, m.size);
    }
    if (dir.entries != 0xFFFF && index + 1 == dir.entries) break;
    pos += length;
  }
  return total;
}

std::uint64_t ListFromBytes(ZipBytes& bytes, const std::string& dirPath,
                            const std::string& archiveName, ArchiveSink& sink, int baseLength) {
  const std::string archivePath = ArchiveDirPath(dirPath, archiveName);
  sink.BeginArchiveDir(dirPath, archiveName, baseLength);
  std::uint64_t total = 0;
  const TailMarks marks = ScanTail(bytes);
  Directory dir;
  if (FindDirectory(bytes, marks, dir))
    total = ListMembers(bytes, dir, marks.dataShift, archivePath, sink);
  sink.EndArchiveDir(dirPath, archiveName, total);
  return total;
}

}  // namespace

std::uint64_t ListZipArchive(const std::string& dirPath, const std::string& archiveName,
                             ArchiveSink& sink, int baseLength) {
  FileSource file(ArchiveDirPath(dirPath, archiveName));
  ZipBytes bytes(file);
  return ListFromBytes(bytes, dirPath, archiveName, sink, baseLength);
}

std::uint64_t ListZipArchive(std::span<const std::uint8_t> bytes, const std::string& dirPath,
                             const std::string& archiveName, ArchiveSink& sink, int baseLength) {
  ZipBytes input(bytes);
  return ListFromBytes(input, dirPath, archiveName, sink, baseLength);
}

}  // namespace orvane
