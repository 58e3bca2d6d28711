#include "fileinfo/zip_lister.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"
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

// The bytes minizip reads, from memory or from a file through a small read cache. The
// central directory and the local headers are read in two interleaved forward sweeps, so two
// cached blocks serve nearly every read.
class ZipInput {
 public:
  explicit ZipInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes), m_size(bytes.size()) {}
  explicit ZipInput(const FileSource& file) : m_file(&file), m_size(file.Size()) {}

  std::size_t Read(void* buf, std::size_t n) {
    // minizip reads field by field, often a byte at a time: serve those from the last block.
    if (m_last && m_pos >= m_last->start && n <= m_last->data.size() &&
        m_pos - m_last->start <= m_last->data.size() - n) {
      const std::uint8_t* from = m_last->data.data() + (m_pos - m_last->start);
      if (n <= 8) {  // cheaper than a call for the one- to four-byte fields
        auto* out = static_cast<std::uint8_t*>(buf);
        for (std::size_t i = 0; i < n; ++i) out[i] = from[i];
      } else {
        std::memcpy(buf, from, n);
      }
      m_last->lastUse = ++m_clock;
      m_pos += n;
      return n;
    }
    auto* out = static_cast<std::uint8_t*>(buf);
    std::size_t done = 0;
    while (done < n && m_pos < m_size) {
      const std::uint8_t* from = nullptr;
      std::size_t avail = 0;
      if (m_file) {
        m_last = Fetch(m_pos);
        if (!m_last) {
          m_error = true;
          break;
        }
        from = m_last->data.data() + (m_pos - m_last->start);
        avail = static_cast<std::size_t>(m_last->start + m_last->data.size() - m_pos);
      } else {
        from = m_bytes.data() + m_pos;
        avail = static_cast<std::size_t>(m_size - m_pos);
      }
      const std::size_t k = std::min(n - done, avail);
      std::memcpy(out + done, from, k);
      done += k;
      m_pos += k;
    }
    return done;
  }
  long Seek(ZPOS64_T offset, int origin) {
    switch (origin) {
      case ZLIB_FILEFUNC_SEEK_SET:
        m_pos = offset;
        return 0;
      case ZLIB_FILEFUNC_SEEK_CUR:
        m_pos += offset;
        return 0;
      case ZLIB_FILEFUNC_SEEK_END:
        m_pos = m_size + offset;
        return 0;
      default:
        return -1;
    }
  }
  ZPOS64_T Tell() const { return m_pos; }
  std::uint64_t Size() const { return m_size; }
  // Reads n bytes at offset without moving the position minizip works with.
  bool ReadExact(std::uint64_t offset, std::size_t n, std::uint8_t* out) {
    const std::uint64_t saved = m_pos;
    m_pos = offset;
    const bool ok = Read(out, n) == n;
    m_pos = saved;
    return ok;
  }
  bool Failed() const { return m_error; }

 private:
  static constexpr std::size_t kBlockSize = 64 * 1024;
  struct Block {
    std::uint64_t start = 0;
    std::vector<std::uint8_t> data;  // empty: not loaded
    std::uint64_t lastUse = 0;
  };

  Block* Fetch(std::uint64_t pos) {
    ++m_clock;
    for (Block& b : m_blocks)
      if (!b.data.empty() && pos >= b.start && pos < b.start + b.data.size()) {
        b.lastUse = m_clock;
        return &b;
      }
    Block& victim = m_blocks[0].lastUse <= m_blocks[1].lastUse ? m_blocks[0] : m_blocks[1];
    m_last = nullptr;
    victim.start = pos - pos % kBlockSize;
    if (!m_file->ReadAt(victim.start, kBlockSize, victim.data) ||
        pos >= victim.start + victim.data.size()) {
      victim.data.clear();
      return nullptr;
    }
    victim.lastUse = m_clock;
    return &victim;
  }

  std::span<const std::uint8_t> m_bytes;
  const FileSource* m_file = nullptr;
  std::uint64_t m_size = 0;
  std::uint64_t m_pos = 0;
  bool m_error = false;
  std::array<Block, 2> m_blocks;
  Block* m_last = nullptr;  // the block of the last read
  std::uint64_t m_clock = 0;
};

// minizip's file functions over a ZipInput passed as the opaque pointer.
voidpf OpenInput(voidpf opaque, const void*, int) {
  return opaque;
}
uLong ReadInput(voidpf, voidpf stream, void* buf, uLong size) {
  return static_cast<ZipInput*>(stream)->Read(buf, size);
}
uLong WriteInput(voidpf, voidpf, const void*, uLong) {
  return 0;
}
ZPOS64_T TellInput(voidpf, voidpf stream) {
  return static_cast<ZipInput*>(stream)->Tell();
}
long SeekInput(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  return static_cast<ZipInput*>(stream)->Seek(offset, origin);
}
int CloseInput(voidpf, voidpf) {
  return 0;
}
int InputError(voidpf, voidpf stream) {
  return static_cast<ZipInput*>(stream)->Failed() ? 1 : 0;
}

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

// The stored name as UTF-8: UTF-8 when flagged; else the Unicode path block when it belongs to
// this very name; else, for a Unix host, the bytes when they are valid UTF-8 (what zip tools on
// Unix store); else the OEM code page.
std::string DecodeName(std::string_view raw, const unz_file_info64& info,
                       std::span<const std::uint8_t> extra) {
  if ((info.flag & kUtf8NameFlag) || IsAscii(raw)) return std::string(raw);
  ByteCursor up(FindExtraBlock(extra, kUnicodePath));
  std::uint8_t version = 0;
  std::uint32_t crc = 0;
  if (up.U8(version) && version == 1 && up.U32LE(crc) &&
      crc == crc32(0, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size())))
    return std::string(reinterpret_cast<const char*>(up.Rest().data()), up.Rest().size());
  if (((info.version >> 8) & 0xFF) == kHostUnix && SanitizeUtf8(raw) == raw)
    return std::string(raw);
  return OemToUtf8(raw);
}

// The uncompressed size. A 32-bit field of all ones means the size is in the zip64 block,
// where it comes first; minizip builds where unsigned long is 64 bits do not look there.
std::uint64_t MemberSize(const unz_file_info64& info, std::span<const std::uint8_t> extra) {
  std::uint64_t size = 0;
  ByteCursor zip64(FindExtraBlock(extra, kZip64));
  if (info.uncompressed_size == 0xFFFFFFFF && zip64.U64LE(size)) return size;
  return info.uncompressed_size;
}

std::uint32_t MemberAttributes(const unz_file_info64& info) {
  const std::uint32_t host = (info.version >> 8) & 0xFF;
  const std::uint32_t external = static_cast<std::uint32_t>(info.external_fa);
  if (host == 0 || host == 7 || host == 11 || host == 14) return external & 0xFF;
  std::uint32_t attributes = kMemberArchive;
  if (external & 0x40000000) attributes |= kMemberDirectory;
  if (!(external & 0x00800000)) attributes |= kMemberReadOnly;
  return attributes;
}

// The number of bytes in front of the archive (a self-extractor's program, for instance),
// worked out from the end record the way minizip does: where the central directory ends and
// where the end record says it ends. 0 for zip64 archives, which minizip reads without offset.
std::uint64_t BytesBeforeArchive(ZipInput& input) {
  const std::uint64_t size = input.Size();
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, 65535 + 22));
  std::vector<std::uint8_t> bytes(tail);
  if (!input.ReadExact(size - tail, tail, bytes.data())) return 0;
  for (std::size_t i = tail >= 22 ? tail - 22 + 1 : 0; i-- > 0;) {
    if (ByteCursor::LoadLE(&bytes[i], 4) != 0x06054B50) continue;
    const std::uint64_t end = size - tail + i;
    const std::uint64_t cdSize = ByteCursor::LoadLE(&bytes[i + 12], 4);
    const std::uint64_t cdOffset = ByteCursor::LoadLE(&bytes[i + 16], 4);
    // A zip64 end record stands between the central directory and a locator in front of the
    // end record (writers add it for more than 65,535 members even in small archives).
    const bool zip64 = i >= 20 && ByteCursor::LoadLE(&bytes[i - 20], 4) == 0x07064B50;
    if (zip64 || cdOffset == 0xFFFFFFFF || end < cdOffset + cdSize) return 0;
    return end - (cdOffset + cdSize);
  }
  return 0;
}

// The central header minizip stands on, read straight from the bytes: minizip would read it
// field by field once more for every member. The name and the extra field stay in `bytes`.
struct CentralHeader {
  unz_file_info64 info{};
  std::uint64_t at = 0;             // where the header starts
  bool viaMinizip = false;          // not found at its place: read through minizip, no local offset
  std::vector<std::uint8_t> bytes;  // name, extra field, local header offset
  std::string_view Name() const {
    return {reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::size_t>(info.size_filename)};
  }
  std::span<const std::uint8_t> Extra() const {
    return std::span<const std::uint8_t>(bytes).subspan(info.size_filename, info.size_file_extra);
  }
};

// False when no central header stands at the place minizip names.
bool ReadCentralHeader(ZipInput& input, unzFile zip, std::uint64_t prefix, CentralHeader& out) {
  std::uint8_t head[46];
  out.viaMinizip = false;
  out.at = prefix + unzGetOffset64(zip);
  if (!input.ReadExact(out.at, sizeof head, head) || ByteCursor::LoadLE(head, 4) != 0x02014B50)
    return false;
  unz_file_info64& info = out.info;
  info.version = ByteCursor::LoadLE(head + 4, 2);
  info.flag = ByteCursor::LoadLE(head + 8, 2);
  info.dosDate = ByteCursor::LoadLE(head + 12, 4);
  info.crc = ByteCursor::LoadLE(head + 16, 4);
  info.compressed_size = ByteCursor::LoadLE(head + 20, 4);
  info.uncompressed_size = ByteCursor::LoadLE(head + 24, 4);
  info.size_filename = ByteCursor::LoadLE(head + 28, 2);
  info.size_file_extra = ByteCursor::LoadLE(head + 30, 2);
  info.external_fa = ByteCursor::LoadLE(head + 38, 4);
  out.bytes.resize(info.size_filename + info.size_file_extra + 4);
  std::memcpy(out.bytes.data() + info.size_filename + info.size_file_extra, head + 42, 4);
  return input.ReadExact(out.at + sizeof head, info.size_filename + info.size_file_extra,
                         out.bytes.data());
}

// The same header through minizip, for an archive whose headers are not where they should be.
bool ReadCentralHeaderByMinizip(unzFile zip, CentralHeader& out) {
  out.at = 0;
  out.viaMinizip = true;
  out.bytes.assign(65535 + 65536, 0);
  if (unzGetCurrentFileInfo64(zip, &out.info, reinterpret_cast<char*>(out.bytes.data()), 65535,
                              out.bytes.data() + 65535, 65536, nullptr, 0) != UNZ_OK)
    return false;
  // Name and extra as ReadCentralHeader keeps them: one after the other.
  out.info.size_filename = std::min<uLong>(out.info.size_filename, 65535);
  out.info.size_file_extra = std::min<uLong>(out.info.size_file_extra, 65536);
  std::memmove(out.bytes.data() + out.info.size_filename, out.bytes.data() + 65535,
               out.info.size_file_extra);
  return true;
}

// Reads the local extra field of a member whose central header was read from the bytes: the
// header gives the local header's offset. (Opening the member through minizip for
// unzGetLocalExtrafield costs half the listing time, and reads the wrong bytes when data stands
// in front of the archive.) False when the local header found does not match.
bool ReadLocalExtra(ZipInput& input, std::uint64_t prefix, const CentralHeader& central,
                    std::vector<std::uint8_t>& out) {
  out.clear();
  if (central.viaMinizip) return false;
  const std::uint8_t* tail = central.bytes.data() + central.bytes.size() - 4;
  std::uint64_t local = ByteCursor::LoadLE(tail, 4);
  if (local == 0xFFFFFFFF) {  // in the zip64 block, behind the sizes stored there
    ByteCursor zip64(FindExtraBlock(central.Extra(), kZip64));
    const bool skipped = (central.info.uncompressed_size != 0xFFFFFFFF || zip64.Skip(8)) &&
                         (central.info.compressed_size != 0xFFFFFFFF || zip64.Skip(8));
    if (!skipped || !zip64.U64LE(local)) return false;
  }
  local += prefix;
  std::uint8_t localHead[30];
  if (!input.ReadExact(local, sizeof localHead, localHead) ||
      ByteCursor::LoadLE(localHead, 4) != 0x04034B50)
    return false;
  out.resize(ByteCursor::LoadLE(localHead + 28, 2));
  return input.ReadExact(local + sizeof localHead + ByteCursor::LoadLE(localHead + 26, 2),
                         out.size(), out.data());
}

// Walks the members of an opened archive; returns the total of their sizes.
std::uint64_t ListMembers(ZipInput& input, unzFile zip, const std::string& archivePath,
                          ArchiveSink& sink) {
  const std::uint64_t prefix = BytesBeforeArchive(input);
  std::uint64_t total = 0;
  CentralHeader central;
  std::vector<std::uint8_t> localExtra;
  DosTimeConverter dosTime;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && !sink.StopRequested();
       rc = unzGoToNextFile(zip)) {
    if (!ReadCentralHeader(input, zip, prefix, central) &&
        !ReadCentralHeaderByMinizip(zip, central))
      break;
    const unz_file_info64& info = central.info;
    const std::string_view rawName = central.Name();
    const std::span<const std::uint8_t> centralExtra = central.Extra();

    ArchiveMember m;
    bool trailingSeparator = false;
    m.name =
        CleanMemberName(DecodeName(rawName, info, centralExtra), kMaxNameChars, trailingSeparator);
    m.attributes = MemberAttributes(info);
    if (trailingSeparator) m.attributes |= kMemberDirectory;
    m.size = MemberSize(info, centralExtra);
    m.crc = static_cast<std::uint32_t>(info.crc);
    m.time = dosTime.ToSeconds(static_cast<std::uint32_t>(info.dosDate));
    // The extended timestamp: the central copy repeats the local modification time, so the
    // local header is read only when the central directory has none.
    if (!ExtendedModTime(centralExtra, m.time) &&
        ReadLocalExtra(input, prefix, central, localExtra))
      ExtendedModTime(localExtra, m.time);
    if (m.name.empty()) continue;  // nothing left of the name to list
    sink.AddArchiveEntry(archivePath, m);
    total = SaturatingAdd(total, m.size);
  }
  return total;
}

std::uint64_t ListFromInput(ZipInput& input, const std::string& dirPath,
                            const std::string& archiveName, ArchiveSink& sink, int baseLength) {
  const std::string archivePath = ArchiveDirPath(dirPath, archiveName);
  sink.BeginArchiveDir(dirPath, archiveName, baseLength);
  zlib_filefunc64_def io{};
  io.zopen64_file = OpenInput;
  io.zread_file = ReadInput;
  io.zwrite_file = WriteInput;
  io.ztell64_file = TellInput;
  io.zseek64_file = SeekInput;
  io.zclose_file = CloseInput;
  io.zerror_file = InputError;
  io.opaque = &input;
  std::uint64_t total = 0;
  if (unzFile zip = unzOpen2_64(archivePath.c_str(), &io)) {
    total = ListMembers(input, zip, archivePath, sink);
    unzClose(zip);
  }
  sink.EndArchiveDir(dirPath, archiveName, total);
  return total;
}

}  // namespace

std::uint64_t ListZipArchive(const std::string& dirPath, const std::string& archiveName,
                             ArchiveSink& sink, int baseLength) {
  FileSource file(ArchiveDirPath(dirPath, archiveName));
  ZipInput input(file);
  return ListFromInput(input, dirPath, archiveName, sink, baseLength);
}

std::uint64_t ListZipArchive(std::span<const std::uint8_t> bytes, const std::string& dirPath,
                             const std::string& archiveName, ArchiveSink& sink, int baseLength) {
  ZipInput input(bytes);
  return ListFromInput(input, dirPath, archiveName, sink, baseLength);
}

}  // namespace orvane
