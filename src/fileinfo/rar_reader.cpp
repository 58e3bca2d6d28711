#include "fileinfo/rar_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/unicode.h"
#include "fileinfo/archive_member.h"
#include "fileinfo/byte_cursor.h"
#include "platform/codepage.h"

namespace orvane {
namespace {

constexpr std::uint8_t kMarker4[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr std::uint8_t kMarker5[8] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};

// Format 4 blocks.
constexpr std::uint8_t kMainHead4 = 0x73;
constexpr std::uint8_t kFileHead4 = 0x74;
constexpr std::uint8_t kSubHead4 = 0x7A;
constexpr std::uint8_t kEndHead4 = 0x7B;
constexpr std::uint16_t kMainEncryptedHeaders = 0x0080;
constexpr std::uint16_t kFileEncrypted = 0x0004;
constexpr std::uint16_t kFileDirectoryMask = 0x00E0;
constexpr std::uint16_t kFileLargeSizes = 0x0100;
constexpr std::uint16_t kFileUnicodeName = 0x0200;
constexpr std::uint16_t kLongBlock = 0x8000;
constexpr std::size_t kBaseHeader4 = 7;
constexpr std::size_t kFileFields4 = 25;  // PACK_SIZE to ATTR

// Format 5 blocks.
constexpr std::uint64_t kMainHead5 = 1;
constexpr std::uint64_t kFileHead5 = 2;
constexpr std::uint64_t kEncryptionHead5 = 4;
constexpr std::uint64_t kEndHead5 = 5;
constexpr std::uint64_t kHasExtraArea = 0x0001;
constexpr std::uint64_t kHasDataArea = 0x0002;
constexpr std::uint64_t kMaxHeaderSize5 = 2u << 20;
constexpr std::uint64_t kExtraEncryption = 0x01;
constexpr std::uint64_t kExtraFileTime = 0x03;

bool ReadVint(ByteCursor& c, std::uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    std::uint8_t b = 0;
    if (!c.U8(b)) return false;
    v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return true;
  }
  return false;
}

bool AddFits(std::uint64_t a, std::uint64_t b, std::uint64_t limit, std::uint64_t& sum) {
  if (b > limit || a > limit - b) return false;
  sum = a + b;
  return true;
}

// The Unicode form of a format 4 name: a high byte, then flag bytes that say, two bits per
// character, whether it is a low byte, a low byte under the high byte, a full 16-bit unit, or a
// run taken from the single-byte name (optionally shifted by a correction).
std::u16string DecodeUnicodeName4(std::span<const std::uint8_t> single,
                                  std::span<const std::uint8_t> enc) {
  std::u16string out;
  if (enc.empty()) return out;
  std::size_t pos = 0;
  const unsigned high = enc[pos++];
  unsigned flags = 0;
  int flagBits = 0;
  while (pos < enc.size()) {
    if (flagBits == 0) {
      flags = enc[pos++];
      flagBits = 8;
    }
    const unsigned kind = (flags >> 6) & 3;
    if (kind == 0 || kind == 1) {
      if (pos >= enc.size()) break;
      out.push_back(static_cast<char16_t>(enc[pos++] + (kind == 1 ? high << 8 : 0)));
    } else if (kind == 2) {
      if (pos + 1 >= enc.size()) break;
      out.push_back(static_cast<char16_t>(enc[pos] | enc[pos + 1] << 8));
      pos += 2;
    } else {
      if (pos >= enc.size()) break;
      unsigned len = enc[pos++];
      unsigned correction = 0;
      const bool corrected = (len & 0x80) != 0;
      if (corrected) {
        if (pos >= enc.size()) break;
        correction = enc[pos++];
      }
      for (len = (len & 0x7F) + 2; len > 0 && out.size() < single.size(); --len) {
        const unsigned ch = single[out.size()];
        out.push_back(
            static_cast<char16_t>(corrected ? ((ch + correction) & 0xFF) + (high << 8) : ch));
      }
    }
    flags = (flags << 2) & 0xFF;
    flagBits -= 2;
  }
  return out;
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

std::string DecodeName4(std::span<const std::uint8_t> raw, std::uint16_t flags, bool unixHost) {
  const std::string_view bytes(reinterpret_cast<const char*>(raw.data()), raw.size());
  if (flags & kFileUnicodeName) {
    const std::size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos) return std::string(bytes);  // stored as UTF-8
    return Utf16ToUtf8(DecodeUnicodeName4(raw.subspan(0, nul), raw.subspan(nul + 1)));
  }
  if (unixHost || IsAscii(bytes)) return std::string(bytes);
  return OemToUtf8(bytes);
}

// The fields of a format 5 file header after its flags; false when they do not fit.
bool ReadFileFields5(ByteCursor& fields, RarFileHeader& out) {
  std::uint64_t fileFlags = 0, unpacked = 0, attributes = 0, compression = 0, host = 0, nameLen = 0;
  std::uint32_t mtime = 0, dataCrc = 0;
  if (!ReadVint(fields, fileFlags) || !ReadVint(fields, unpacked) || !ReadVint(fields, attributes))
    return false;
  if ((fileFlags & 0x0002) && !fields.U32LE(mtime)) return false;
  if ((fileFlags & 0x0004) && !fields.U32LE(dataCrc)) return false;
  std::span<const std::uint8_t> name;
  if (!ReadVint(fields, compression) || !ReadVint(fields, host) || !ReadVint(fields, nameLen) ||
      !fields.Sub(nameLen, name))
    return false;
  out.name.assign(reinterpret_cast<const char*>(name.data()), name.size());
  out.unpackedSize = (fileFlags & 0x0008) ? 0 : unpacked;  // 0x0008: size unknown
  out.crc = dataCrc;
  out.attributes = static_cast<std::uint32_t>(attributes);
  out.unixHost = host == 1;
  out.time = (fileFlags & 0x0002) ? ClampListingTime(mtime) : 0;
  out.isDirectory = (fileFlags & 0x0001) != 0;
  return true;
}

// The extra records of a format 5 file header (a size, then a type and its data): encryption,
// and a modification time that replaces the one of the fields.
void ReadFileExtra5(ByteCursor& extra, RarFileHeader& out) {
  std::uint64_t recordSize = 0;
  ByteCursor record;
  while (ReadVint(extra, recordSize) && extra.Sub(recordSize, record)) {
    std::uint64_t recordType = 0, timeFlags = 0;
    if (!ReadVint(record, recordType)) continue;
    if (recordType == kExtraEncryption) out.encrypted = true;
    if (recordType != kExtraFileTime || !ReadVint(record, timeFlags) || !(timeFlags & 0x0002))
      continue;
    if (timeFlags & 0x0001) {  // Unix seconds
      std::uint32_t t = 0;
      if (record.U32LE(t)) out.time = ClampListingTime(t);
    } else {  // Windows FILETIME
      std::uint64_t t = 0;
      if (record.U64LE(t)) out.time = FileTimeToSeconds(t);
    }
  }
}

}  // namespace

RarReader::RarReader() = default;
RarReader::~RarReader() = default;

RarStatus RarReader::Open(std::span<const std::uint8_t> bytes) {
  Close();
  m_source = std::make_unique<SpanByteSource>(bytes);
  m_size = bytes.size();
  return OpenCommon();
}

RarStatus RarReader::Open(const std::string& path) {
  Close();
  auto file = std::make_unique<FileByteSource>(path);
  if (!file->IsOpen()) return RarStatus::kNotRar;
  m_size = file->Size();
  m_source = std::move(file);
  return OpenCommon();
}

void RarReader::Close() {
  m_source.reset();
  m_size = m_pos = m_dataEnd = 0;
  m_haveHeader = false;
  m_done = true;
  m_format = 0;
}

bool RarReader::ReadAt(std::uint64_t offset, std::size_t len, std::uint8_t* out) const {
  if (!m_source || offset > m_size || len > m_size - offset) return false;
  return len == 0 || m_source->ReadAt(offset, out, len) == len;
}

RarStatus RarReader::OpenCommon() {
  std::uint8_t marker[8] = {};
  const bool have8 = ReadAt(0, 8, marker);
  if (have8 && std::memcmp(marker, kMarker5, 8) == 0) {
    m_format = 5;
    m_pos = 8;
  } else if ((have8 || ReadAt(0, 7, marker)) && std::memcmp(marker, kMarker4, 7) == 0) {
    m_format = 4;
    m_pos = 7;
  } else {
    Close();
    return RarStatus::kNotRar;
  }
  m_done = false;
  // The first block must be the main header (or, in format 5, the encryption header).
  RarFileHeader ignored;
  bool isFile = false;
  std::uint64_t type = 0;
  std::vector<std::uint8_t> main(kBaseHeader4 + 6);
  RarStatus status = RarStatus::kNotRar;
  if (m_format == 5) {
    status = ReadBlock5(ignored, isFile, type);
    if (status == RarStatus::kOk && type == kEncryptionHead5)
      status = RarStatus::kNeedPassword;
    else if (status != RarStatus::kOk || type != kMainHead5)
      status = RarStatus::kNotRar;
  } else if (ReadAt(m_pos, main.size(), main.data()) && main[2] == kMainHead4) {
    const std::uint16_t flags = static_cast<std::uint16_t>(ByteCursor::LoadLE(&main[3], 2));
    status = ReadBlock4(ignored, isFile);
    if (status == RarStatus::kOk && (flags & kMainEncryptedHeaders))
      status = RarStatus::kNeedPassword;
    else if (status != RarStatus::kOk)
      status = RarStatus::kNotRar;
  }
  if (status != RarStatus::kOk) {
    Close();
    return status;
  }
  m_pos = m_dataEnd;
  return RarStatus::kOk;
}

RarStatus RarReader::ReadHeader(RarFileHeader& out) {
  if (m_done) return RarStatus::kEndOfArchive;
  if (m_haveHeader) {  // the data of the previous header was not skipped yet
    m_haveHeader = false;
    m_pos = m_dataEnd;
  }
  for (;;) {
    if (m_pos >= m_size) {
      m_done = true;
      return m_pos == m_size ? RarStatus::kEndOfArchive : RarStatus::kBadData;
    }
    out = RarFileHeader{};
    bool isFile = false;
    std::uint64_t type = 0;
    const RarStatus status =
        m_format == 5 ? ReadBlock5(out, isFile, type) : ReadBlock4(out, isFile);
    if (status != RarStatus::kOk) {
      m_done = true;
      return status;
    }
    if (isFile) {
      m_haveHeader = true;
      return RarStatus::kOk;
    }
    m_pos = m_dataEnd;
  }
}

RarStatus RarReader::Skip() {
  if (!m_haveHeader) return RarStatus::kBadData;
  m_haveHeader = false;
  if (m_dataEnd > m_size) {
    m_done = true;
    return RarStatus::kBadData;
  }
  m_pos = m_dataEnd;
  return RarStatus::kOk;
}

// Reads the block at m_pos; sets m_dataEnd behind its data and fills out when it
// is a file header.
RarStatus RarReader::ReadBlock4(RarFileHeader& out, bool& isFile) {
  isFile = false;
  std::uint8_t base[kBaseHeader4];
  if (!ReadAt(m_pos, kBaseHeader4, base)) return RarStatus::kBadData;
  const std::uint16_t crc = static_cast<std::uint16_t>(ByteCursor::LoadLE(base, 2));
  const std::uint8_t type = base[2];
  const std::uint16_t flags = static_cast<std::uint16_t>(ByteCursor::LoadLE(base + 3, 2));
  const std::uint16_t size = static_cast<std::uint16_t>(ByteCursor::LoadLE(base + 5, 2));
  if (size < kBaseHeader4) return RarStatus::kBadData;
  std::vector<std::uint8_t> header(size);
  if (!ReadAt(m_pos, size, header.data())) return RarStatus::kBadData;
  if (m_checkCrc && (crc32(0, header.data() + 2, size - 2) & 0xFFFF) != crc)
    return RarStatus::kBadData;
  if (type == kEndHead4) return RarStatus::kEndOfArchive;

  ByteCursor c(header);
  c.Skip(kBaseHeader4);
  // File and service headers always start with their packed size; other long blocks with the
  // size of the data that follows them.
  const bool fileLike = type == kFileHead4 || type == kSubHead4;
  std::uint64_t dataSize = 0;
  std::uint32_t low = 0;
  if ((fileLike || (flags & kLongBlock)) && c.U32LE(low)) dataSize = low;
  if (fileLike && (flags & kFileLargeSizes) && size >= kBaseHeader4 + kFileFields4 + 8)
    dataSize |= static_cast<std::uint64_t>(ByteCursor::LoadLE(&header[32], 4)) << 32;
  if (!AddFits(m_pos + size, dataSize, ~std::uint64_t{0}, m_dataEnd)) return RarStatus::kBadData;
  if (type != kFileHead4) return RarStatus::kOk;

  std::uint32_t unpacked = 0, fileCrc = 0, dosTime = 0, attributes = 0;
  std::uint8_t host = 0, version = 0, method = 0;
  std::uint16_t nameSize = 0;
  if (!(c.U32LE(unpacked) && c.U8(host) && c.U32LE(fileCrc) && c.U32LE(dosTime) && c.U8(version) &&
        c.U8(method) && c.U16LE(nameSize) && c.U32LE(attributes)))
    return RarStatus::kBadData;
  std::uint64_t unpacked64 = unpacked;
  std::uint32_t highPacked = 0, highUnpacked = 0;
  if (flags & kFileLargeSizes) {
    if (!c.U32LE(highPacked) || !c.U32LE(highUnpacked)) return RarStatus::kBadData;
    unpacked64 |= static_cast<std::uint64_t>(highUnpacked) << 32;
  }
  std::span<const std::uint8_t> name;
  if (!c.Sub(nameSize, name)) return RarStatus::kBadData;

  isFile = true;
  out.unixHost = host >= 3;  // 0 MS-DOS, 1 OS/2, 2 Windows; 3 Unix and later hosts use modes
  out.name = DecodeName4(name, flags, out.unixHost);
  out.unpackedSize = unpacked64;
  out.packedSize = dataSize;
  out.crc = fileCrc;
  out.attributes = attributes;
  out.time = m_dosTime.ToSeconds(dosTime);
  out.isDirectory = (flags & kFileDirectoryMask) == kFileDirectoryMask;
  out.encrypted = (flags & kFileEncrypted) != 0;
  return RarStatus::kOk;
}

// Reads the whole format 5 header at m_pos (CRC, size and body) and checks its CRC.
RarStatus RarReader::ReadHeader5Raw(std::vector<std::uint8_t>& header, std::size_t& bodyStart) {
  std::uint8_t head[8] = {};
  const std::size_t headLen = static_cast<std::size_t>(std::min<std::uint64_t>(8, m_size - m_pos));
  if (headLen < 6 || !ReadAt(m_pos, headLen, head)) return RarStatus::kBadData;
  ByteCursor c(std::span<const std::uint8_t>(head, headLen));
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
  c.U32LE(crc);
  if (!ReadVint(c, size) || size == 0 || size > kMaxHeaderSize5) return RarStatus::kBadData;
  bodyStart = c.Pos();
  const std::size_t total = bodyStart + static_cast<std::size_t>(size);
  if (total > m_size - m_pos) return RarStatus::kBadData;
  header.resize(total);
  if (!ReadAt(m_pos, total, header.data())) return RarStatus::kBadData;
  if (m_checkCrc && crc32(0, header.data() + 4, static_cast<uInt>(total - 4)) != crc)
    return RarStatus::kBadData;
  return RarStatus::kOk;
}

RarStatus RarReader::ReadBlock5(RarFileHeader& out, bool& isFile, std::uint64_t& type) {
  isFile = false;
  std::vector<std::uint8_t> header;
  std::size_t bodyStart = 0;
  if (RarStatus s = ReadHeader5Raw(header, bodyStart); s != RarStatus::kOk) return s;
  ByteCursor c(header);
  c.Skip(bodyStart);
  std::uint64_t flags = 0, extraSize = 0, dataSize = 0;
  if (!ReadVint(c, type) || !ReadVint(c, flags)) return RarStatus::kBadData;
  if ((flags & kHasExtraArea) && !ReadVint(c, extraSize)) return RarStatus::kBadData;
  if ((flags & kHasDataArea) && !ReadVint(c, dataSize)) return RarStatus::kBadData;
  if (extraSize > c.Remaining()) return RarStatus::kBadData;
  if (!AddFits(m_pos + header.size(), dataSize, ~std::uint64_t{0}, m_dataEnd))
    return RarStatus::kBadData;
  if (type == kEndHead5) return RarStatus::kEndOfArchive;
  if (type != kFileHead5) return RarStatus::kOk;

  ByteCursor fields;
  ByteCursor extra;
  c.Sub(c.Remaining() - extraSize, fields);
  c.Sub(extraSize, extra);
  if (!ReadFileFields5(fields, out)) return RarStatus::kBadData;
  isFile = true;
  out.packedSize = dataSize;
  ReadFileExtra5(extra, out);
  return RarStatus::kOk;
}

}  // namespace orvane
