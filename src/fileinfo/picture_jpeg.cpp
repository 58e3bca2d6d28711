#include "fileinfo/picture_jpeg.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "fileinfo/byte_cursor.h"

namespace orvane {

namespace {

constexpr int kMaxCountedSegments = 20;
constexpr int kMaxFillBytes = 6;
constexpr std::uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;
constexpr std::uint8_t kApp0 = 0xE0, kApp1 = 0xE1, kComment = 0xFE;

// Start-of-frame markers: C0 to CF without DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(std::uint8_t m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Reads through a 16 KiB window, so that the small reads of a segment walk cost one read call
// per window rather than one each.
class Window {
 public:
  explicit Window(const PictureInput& in) : m_in(in), m_buf(16 * 1024) {}
  bool Get(std::uint64_t offset, std::size_t len, std::uint8_t* out) {
    if (offset < m_start || offset - m_start + len > m_len) {
      m_start = offset;
      m_len = m_in.ReadAt(offset, m_buf.data(), m_buf.size());
    }
    if (offset - m_start + len > m_len) return false;
    std::memcpy(out, m_buf.data() + (offset - m_start), len);
    return true;
  }
  bool Byte(std::uint64_t& pos, std::uint8_t& b) { return Get(pos++, 1, &b); }

 private:
  const PictureInput& m_in;
  std::vector<std::uint8_t> m_buf;
  std::uint64_t m_start = 0;
  std::size_t m_len = 0;
};

// Reads the next marker code at pos (0xFF, up to six fill bytes 0xFF, the code); false when
// there is none.
bool NextMarker(Window& w, std::uint64_t& pos, std::uint8_t& marker) {
  std::uint8_t b = 0;
  if (!w.Byte(pos, b) || b != 0xFF || !w.Byte(pos, marker)) return false;
  for (int fills = 0; marker == 0xFF; ++fills)
    if (fills == kMaxFillBytes || !w.Byte(pos, marker)) return false;
  return true;
}

// Frame header fields from the body of a start-of-frame segment (at least 6 bytes).
JpegSize FromFrameHeader(const std::uint8_t* body) {
  JpegSize s;
  s.height = static_cast<std::int32_t>(ByteCursor::LoadBE(body + 1, 2));
  s.width = static_cast<std::int32_t>(ByteCursor::LoadBE(body + 3, 2));
  s.bitsPerPixel = body[0] * body[5];
  return s;
}

}  // namespace

JpegSize ScanJpegHead(std::span<const std::uint8_t> head) {
  const std::size_t n = head.size();
  std::size_t p = 2;
  while (p + 4 <= n) {
    // Tolerate one stray byte before a marker.
    if (head[p] != 0xFF && head[p + 1] == 0xFF && p + 5 <= n) ++p;
    if (head[p] == 0xFF && IsFrameMarker(head[p + 1]) && p + 10 <= n)
      return FromFrameHeader(&head[p + 4]);
    p += ByteCursor::LoadBE(&head[p + 2], 2) + 2;
  }
  return {};
}

JpegSize WalkJpegSegments(const PictureInput& in) {
  JpegSize size;
  Window w(in);
  std::array<std::uint8_t, 6> b{};
  if (!w.Get(0, 2, b.data()) || b[0] != 0xFF || b[1] != kSoi) return size;
  std::uint64_t pos = 2;
  int counted = 0;
  bool hadComment = false;
  std::uint8_t marker = 0;
  while (NextMarker(w, pos, marker) && marker != kEoi && marker != kSos) {
    if (!w.Get(pos, 2, b.data())) break;
    const std::uint64_t length = ByteCursor::LoadBE(b.data(), 2);
    if (length < 2 || in.Size() - pos < length) break;
    const std::uint64_t body = pos + 2;
    const std::uint64_t bodyLen = length - 2;
    pos += length;

    bool counts = marker != kApp0 && !(marker == kComment && hadComment);
    if (marker == kApp1)
      counts =
          bodyLen >= 6 && w.Get(body, 6, b.data()) && std::memcmp(b.data(), "Exif\0\0", 6) == 0;
    if (marker == kComment) hadComment = true;
    if (counts && ++counted > kMaxCountedSegments) break;

    if (IsFrameMarker(marker) && bodyLen >= 6 && w.Get(body, 6, b.data()))
      size = FromFrameHeader(b.data());
  }
  return size;
}

}  // namespace orvane
