#include "fileinfo/picture_reader.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "fileinfo/byte_cursor.h"

namespace orvane {

namespace {

// Bounds-checked little- and big-endian fields of the head bytes; 0 when cut off.
std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, int n) {
  return at + static_cast<std::size_t>(n) <= b.size() ? ByteCursor::LoadLE(&b[at], n) : 0;
}
std::uint32_t Be(std::span<const std::uint8_t> b, std::size_t at, int n) {
  return at + static_cast<std::size_t>(n) <= b.size() ? ByteCursor::LoadBE(&b[at], n) : 0;
}
bool StartsWith(std::span<const std::uint8_t> b, const char* magic, std::size_t n) {
  return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
}

bool ReadGif(std::span<const std::uint8_t> b, PictureHeader& p) {
  if (b.size() <= 12 || !(StartsWith(b, "GIF87", 5) || StartsWith(b, "GIF89", 5))) return false;
  p.width = static_cast<std::int32_t>(Le(b, 6, 2));
  p.height = static_cast<std::int32_t>(Le(b, 8, 2));
  p.bitsPerPixel = ((b[10] >> 4) & 7) + 1;  // colour resolution
  return true;
}

bool ReadJpegHead(std::span<const std::uint8_t> b, PictureHeader& p) {
  if (b.size() < 6 || b[0] != 0xFF || b[1] != 0xD8) return false;
  JpegSize s = ScanJpegHead(b);
  p.width = s.width;
  p.height = s.height;
  p.bitsPerPixel = s.bitsPerPixel;
  return true;
}

// BMP: the 12-byte OS/2 core header holds 16-bit fields; the Windows info header (40 bytes) and
// its later, longer versions share one layout. A negative height marks a top-down bitmap.
bool ReadBmp(std::span<const std::uint8_t> b, PictureHeader& p) {
  if (b.size() < 30 || !(StartsWith(b, "BM", 2) || StartsWith(b, "BA", 2))) return false;
  const std::uint32_t headerSize = Le(b, 14, 4);
  if (headerSize == 12) {
    p.width = static_cast<std::int32_t>(Le(b, 18, 2));
    p.height = static_cast<std::int32_t>(Le(b, 20, 2));
    p.bitsPerPixel = static_cast<std::int32_t>(Le(b, 24, 2));
    return true;
  }
  switch (headerSize) {
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      break;
    default:
      return false;
  }
  p.width = static_cast<std::int32_t>(Le(b, 18, 4));
  const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
  p.height = height == INT32_MIN ? 0 : std::abs(height);
  p.bitsPerPixel = static_cast<std::int32_t>(Le(b, 28, 2));
  return true;
}

bool ReadPng(std::span<const std::uint8_t> b, PictureHeader& p) {
  if (!StartsWith(b, "\x89PNG\r\n\x1A\n", 8)) return false;
  p.width = static_cast<std::int32_t>(Be(b, 16, 4));
  p.height = static_cast<std::int32_t>(Be(b, 20, 4));
  const std::uint32_t depth = Be(b, 24, 1);
  const std::uint32_t colourType = Be(b, 25, 1);
  // Truecolour (2) and truecolour with alpha (6) count their three colour samples.
  p.bitsPerPixel =
      static_cast<std::int32_t>(colourType == 2 || colourType == 6 ? depth * 3 : depth);
  return true;
}

bool ReadPcx(std::span<const std::uint8_t> b, PictureHeader& p) {
  if (b.size() <= 127 || (b[0] != 0x0A && b[0] != 0xCD) || b[1] < 2 || b[1] > 5) return false;
  p.width = static_cast<std::int32_t>(Le(b, 8, 2)) - static_cast<std::int32_t>(Le(b, 4, 2)) + 1;
  p.height = static_cast<std::int32_t>(Le(b, 10, 2)) - static_cast<std::int32_t>(Le(b, 6, 2)) + 1;
  const std::uint8_t bits = b[3], planes = b[65];
  if (planes == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8)) p.bitsPerPixel = bits;
  if (planes == 3 && bits == 8) p.bitsPerPixel = 24;
  return true;
}

bool IsTiff(std::span<const std::uint8_t> b) {
  return b.size() > 3 && ((StartsWith(b, "II", 2) && Le(b, 2, 2) == 42) ||
                          (StartsWith(b, "MM", 2) && Be(b, 2, 2) == 42));
}

bool ReadTga(std::span<const std::uint8_t> b, PictureHeader& p) {
  if (b.size() <= 17 || b[1] > 1) return false;
  const std::uint8_t type = b[2];
  if ((type & 0x03) == 0 || (type & 0xF4) != 0) return false;
  const std::uint32_t width = Le(b, 12, 2), height = Le(b, 14, 2);
  if (width == 0 || height == 0 || b[16] < 8 || b[16] > 32) return false;
  p.width = static_cast<std::int32_t>(width);
  p.height = static_cast<std::int32_t>(height);
  p.bitsPerPixel = b[16];
  return true;
}

}  // namespace

PictureHeader IdentifyPicture(std::span<const std::uint8_t> head) {
  if (head.size() > kPictureHeadSize) head = head.first(kPictureHeadSize);
  PictureHeader p;
  if (ReadGif(head, p)) {
    p.format = PictureFormat::kGif;
  } else if (ReadJpegHead(head, p)) {
    p.format = PictureFormat::kJpeg;
  } else if (ReadBmp(head, p)) {
    p.format = PictureFormat::kBmp;
  } else if (ReadPng(head, p)) {
    p.format = PictureFormat::kPng;
  } else if (ReadPcx(head, p)) {
    p.format = PictureFormat::kPcx;
  } else if (IsTiff(head)) {
    p = PictureHeader{PictureFormat::kTiff};
  } else if (ReadTga(head, p)) {
    p.format = PictureFormat::kTga;
  } else {
    p = PictureHeader{};
  }
  return p;
}

const char* PictureFormatText(PictureFormat format) {
  switch (format) {
    case PictureFormat::kGif:
      return "GIF";
    case PictureFormat::kJpeg:
      return "JPEG";
    case PictureFormat::kBmp:
      return "BMP";
    case PictureFormat::kPng:
      return "PNG";
    case PictureFormat::kPcx:
      return "PCX";
    case PictureFormat::kTga:
      return "TGA";
    default:
      return "";
  }
}

bool ReadPictureStream(const PictureInput& in, MediaInfo& media) {
  std::vector<std::uint8_t> head(kPictureHeadSize);
  head.resize(in.ReadAt(0, head.data(), head.size()));
  if (head.empty()) return false;
  PictureHeader p = IdentifyPicture(head);
  if (p.format == PictureFormat::kJpeg) {
    // The walk over the whole segment list wins where it finds a value.
    JpegSize s = WalkJpegSegments(in);
    if (s.width > 0) p.width = s.width;
    if (s.height > 0) p.height = s.height;
    if (s.bitsPerPixel > 0) p.bitsPerPixel = s.bitsPerPixel;
  }
  media.videoFormat = PictureFormatText(p.format);
  media.width = p.width;
  media.hasWidth = p.width > 0;
  media.height = p.height;
  media.hasHeight = p.height > 0;
  media.bitsPerPixel = p.bitsPerPixel;
  media.hasBitsPerPixel = p.bitsPerPixel > 0;
  return true;
}

bool ReadPictureBytes(std::span<const std::uint8_t> bytes, MediaInfo& media) {
  return ReadPictureStream(SpanPictureInput(bytes), media);
}

bool ReadPictureInfo(const std::string& path, MediaInfo& media) {
  FileByteSource file(path);
  if (!file.IsOpen()) return false;
  return ReadPictureStream(file, media);
}

}  // namespace orvane
