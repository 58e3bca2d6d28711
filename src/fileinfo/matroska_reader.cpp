#include "fileinfo/matroska_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "fileinfo/byte_cursor.h"
#include "platform/codepage.h"
#include "platform/file_source.h"

namespace orvane {

namespace {

constexpr std::uint64_t kIdSegment = 0x18538067;
constexpr std::uint64_t kIdTracks = 0x1654AE6B;
constexpr std::uint64_t kIdInfo = 0x1549A966;
constexpr std::uint64_t kIdTimecodeScale = 0x2AD7B1;
constexpr std::uint64_t kIdDuration = 0x4489;
constexpr std::uint64_t kIdTrackEntry = 0xAE;
constexpr std::uint64_t kIdTrackType = 0x83;
constexpr std::uint64_t kIdCodecId = 0x86;
constexpr std::uint64_t kIdVideo = 0xE0;
constexpr std::uint64_t kIdPixelWidth = 0xB0;
constexpr std::uint64_t kIdPixelHeight = 0xBA;
constexpr std::uint64_t kIdAudio = 0xE1;
constexpr std::uint64_t kIdChannels = 0x9F;
constexpr std::uint64_t kIdSamplingFrequency = 0xB5;
constexpr std::uint64_t kIdBitDepth = 0x6264;
constexpr std::uint64_t kIdDefaultDuration = 0x23E383;

constexpr std::uint64_t kTrackVideo = 1;
constexpr std::uint64_t kTrackAudio = 2;

struct Element {
  std::uint64_t id = 0;
  std::uint64_t size = 0;
  std::uint64_t value = 0;  // the body as a big-endian number, when it has at most 8 bytes
  std::span<const std::uint8_t> body;
};

// An EBML variable-length integer: its length is one plus the leading zero bits of its first
// byte (at most 8 bytes). Identifiers keep their length marker, sizes lose it.
bool ReadVint(ByteCursor& cur, bool keepMarker, std::uint64_t& v) {
  std::uint8_t first = 0;
  if (!cur.U8(first) || first == 0) return false;
  int len = std::countl_zero(first) + 1;
  v = keepMarker ? first : first & (0xFFu >> len);
  for (int i = 1; i < len; ++i) {
    std::uint8_t b = 0;
    if (!cur.U8(b)) return false;
    v = (v << 8) | b;
  }
  return true;
}

// Reads an element header; the cursor ends at the start of its body.
bool ReadHeader(ByteCursor& cur, Element& e) {
  std::size_t start = cur.Pos();
  if (ReadVint(cur, true, e.id) && ReadVint(cur, false, e.size)) return true;
  cur.Seek(start);
  return false;
}

// Reads a whole element (header and body) that must fit in the cursor's bytes.
bool ReadElement(ByteCursor& cur, Element& e) {
  std::size_t start = cur.Pos();
  if (!ReadHeader(cur, e) || !cur.Sub(e.size, e.body)) {
    cur.Seek(start);
    return false;
  }
  e.value = e.size <= 8 ? ByteCursor::LoadBE64(e.body.data(), static_cast<int>(e.size)) : 0;
  return true;
}

// A float element of 4 or 8 bytes; other sizes read as 0.
double FloatValue(const Element& e) {
  if (e.size == 4) return std::bit_cast<float>(static_cast<std::uint32_t>(e.value));
  if (e.size == 8) return std::bit_cast<double>(e.value);
  return 0;
}

// Stores a number that is positive and fits the column.
void SetPositive(std::uint64_t v, std::int32_t& field, bool& present) {
  if (v == 0 || v > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return;
  field = static_cast<std::int32_t>(v);
  present = true;
}

// The whole number of a float that is positive and fits the column, else 0.
std::uint64_t WholePositive(double v) {
  if (!(v >= 1) || v >= 2147483648.0) return 0;
  return static_cast<std::uint64_t>(v);
}

// Segment information: the duration scaled to milliseconds. False on a damaged child.
bool ReadInfo(std::span<const std::uint8_t> body, MediaInfo& media) {
  ByteCursor cur(body);
  std::uint64_t timecodeScale = 1000000;
  double duration = 0;
  bool ok = true;
  while (!cur.AtEnd()) {
    Element e;
    if (!ReadElement(cur, e)) {
      ok = false;
      break;
    }
    if (e.id == kIdTimecodeScale) timecodeScale = e.value;
    if (e.id == kIdDuration) duration = FloatValue(e);
  }
  double ms = duration / 1000000.0 * static_cast<double>(timecodeScale);
  SetPositive(WholePositive(ms), media.length, media.hasLength);
  return ok;
}

// The children of a Video or Audio element, stored as they come. False on a damaged child.
bool ReadTrackSettings(std::span<const std::uint8_t> body, MediaInfo& media) {
  ByteCursor cur(body);
  while (!cur.AtEnd()) {
    Element e;
    if (!ReadElement(cur, e)) return false;
    switch (e.id) {
      case kIdPixelWidth:
        SetPositive(e.value, media.width, media.hasWidth);
        break;
      case kIdPixelHeight:
        SetPositive(e.value, media.height, media.hasHeight);
        break;
      case kIdChannels:
        SetPositive(e.value, media.channels, media.hasChannels);
        break;
      case kIdBitDepth:
        SetPositive(e.value, media.bitsPerChannel, media.hasBitsPerChannel);
        break;
      case kIdSamplingFrequency:
        SetPositive(WholePositive(FloatValue(e)) / 10, media.samplingFrequency,
                    media.hasSamplingFrequency);
        break;
      default:
        break;
    }
  }
  return true;
}

// One track entry. False on a damaged child; the codec and frame rate are then not taken.
bool ReadTrackEntry(std::span<const std::uint8_t> body, MediaInfo& media) {
  ByteCursor cur(body);
  std::uint64_t type = 0;
  std::uint64_t defaultDuration = 0;
  std::string codec;
  while (!cur.AtEnd()) {
    Element e;
    if (!ReadElement(cur, e)) return false;
    if (e.id == kIdTrackType) {
      type = e.value;
    } else if (e.id == kIdCodecId) {
      // The text may be padded with zero bytes.
      auto end = std::find(e.body.begin(), e.body.end(), std::uint8_t{0});
      std::string text(e.body.begin(), end);
      codec = AnsiToUtf8(text);
    } else if (e.id == kIdVideo || e.id == kIdAudio) {
      if (!ReadTrackSettings(e.body, media)) return false;
    } else if (e.id == kIdDefaultDuration) {
      defaultDuration = e.value;
    }
  }
  if (codec.size() >= 3 && (codec.starts_with("A_") || codec.starts_with("V_"))) codec.erase(0, 2);
  if (type == kTrackVideo) {
    media.videoFormat = codec;
    // Nanoseconds per frame to frames per second x 100.
    if (defaultDuration > 100)
      SetPositive(100000000000ull / defaultDuration, media.framesPerSecond,
                  media.hasFramesPerSecond);
  } else if (type == kTrackAudio) {
    media.audioFormat = codec;
  }
  return true;
}

}  // namespace

void ReadMatroskaBytes(std::span<const std::uint8_t> head, MediaInfo& media) {
  head = head.first(std::min(head.size(), kMatroskaHeadBytes));
  auto ebml = std::find(head.begin(), head.end(), std::uint8_t{0x1A});
  if (ebml == head.end()) return;
  ByteCursor cur(head.subspan(static_cast<std::size_t>(ebml - head.begin())));
  while (!cur.AtEnd()) {
    Element e;
    if (!ReadHeader(cur, e)) return;
    // The segment is entered even though its body runs past the buffer.
    if (e.id == kIdSegment) continue;
    std::size_t bodyStart = cur.Pos();
    if (!cur.Sub(e.size, e.body)) return;  // cut off by the buffer's end
    if (e.id == kIdTracks) {
      cur.Seek(bodyStart);  // walk on into the track entries
    } else if (e.id == kIdInfo) {
      if (!ReadInfo(e.body, media)) return;
    } else if (e.id == kIdTrackEntry) {
      if (!ReadTrackEntry(e.body, media)) return;
    }
  }
}

void ReadMatroskaInfo(const std::string& path, MediaInfo& media) {
  std::vector<std::uint8_t> head = ReadFileHead(path, kMatroskaHeadBytes);
  if (!head.empty()) ReadMatroskaBytes(head, media);
}

}  // namespace orvane
