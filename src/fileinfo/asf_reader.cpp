#include "fileinfo/asf_reader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <vector>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"
#include "fileinfo/riff_reader.h"
#include "platform/codepage.h"

namespace orvane {

namespace {

using Guid = std::array<std::uint8_t, 16>;

constexpr std::uint8_t HexValue(char c) {
  return static_cast<std::uint8_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
}

// A GUID in its usual text form, stored the way files hold it: the first three groups
// little-endian, the last two as written.
constexpr Guid MakeGuid(const char (&text)[37]) {
  constexpr int kOrder[16] = {6, 4, 2, 0, 11, 9, 16, 14, 19, 21, 24, 26, 28, 30, 32, 34};
  Guid g{};
  for (int i = 0; i < 16; ++i)
    g[i] =
        static_cast<std::uint8_t>(HexValue(text[kOrder[i]]) << 4 | HexValue(text[kOrder[i] + 1]));
  return g;
}

constexpr Guid kHeader = MakeGuid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
constexpr Guid kFileProperties = MakeGuid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
constexpr Guid kStreamProperties = MakeGuid("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
constexpr Guid kAudioMedia = MakeGuid("F8699E40-5B4D-11CF-A8FD-00805F5C442B");
constexpr Guid kVideoMedia = MakeGuid("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B");
constexpr Guid kHeaderExtension = MakeGuid("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
constexpr Guid kExtendedStreamProperties = MakeGuid("14E6A5CB-C672-4332-8399-A96952065B5A");
constexpr Guid kCodecList = MakeGuid("86D15240-311D-11D0-A3A4-00A0C90348F6");
constexpr Guid kContentDescription = MakeGuid("75B22633-668E-11CF-A6D9-00AA0062CE6C");
constexpr Guid kExtendedContentDescription = MakeGuid("D2D0A440-E307-11D2-97F0-00A0C95EA850");
constexpr Guid kStreamBitrateProperties = MakeGuid("7BF875CE-468D-11D1-8D82-006097C9A2B2");

// Texts are read up to this many bytes; the rest is skipped.
constexpr std::size_t kMaxTextBytes = 4094;
// Objects looked at in the header and in its extension; real files have a few dozen.
constexpr std::uint32_t kMaxObjects = 65536;
constexpr std::uint64_t kObjectHeaderBytes = 24;

// Sequential reads within [pos, end) of a source. A read that would pass the end reads
// nothing and fails.
class Reader {
 public:
  Reader(const ByteSource& src, std::uint64_t pos, std::uint64_t end)
      : m_src(src), m_pos(pos), m_end(end) {}
  std::uint64_t Pos() const { return m_pos; }
  std::uint64_t Left() const { return m_pos < m_end ? m_end - m_pos : 0; }
  bool Read(std::size_t n, std::vector<std::uint8_t>& out) {
    if (n > Left() || !m_src.ReadExact(m_pos, n, out)) return false;
    m_pos += n;
    return true;
  }
  bool Skip(std::uint64_t n) {
    if (n > Left()) return false;
    m_pos += n;
    return true;
  }
  // A little-endian number of `bytes` bytes (at most 8).
  bool Number(std::size_t bytes, std::uint64_t& v) {
    std::vector<std::uint8_t> b;
    if (!Read(bytes, b)) return false;
    v = ByteCursor::LoadLE64(b.data(), static_cast<int>(bytes));
    return true;
  }
  // A UTF-16 text of `bytes` bytes, of which at most kMaxTextBytes are kept; it ends at the
  // first zero character.
  bool Text(std::uint64_t bytes, std::string& out) {
    std::size_t keep = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, kMaxTextBytes));
    std::vector<std::uint8_t> b;
    if (!Read(keep, b) || !Skip(bytes - keep)) return false;
    out = Utf16LeToUtf8(b);
    return true;
  }

 private:
  const ByteSource& m_src;
  std::uint64_t m_pos;
  std::uint64_t m_end;
};

bool IsGuid(const std::vector<std::uint8_t>& b, std::size_t at, const Guid& g) {
  return b.size() >= at + 16 && std::equal(g.begin(), g.end(), b.begin() + at);
}

std::uint64_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
  return ByteCursor::LoadLE64(b.data() + at, n);
}

// Stores a number that is not zero and fits the column.
void SetNonZero(std::uint64_t v, std::int32_t& field, bool& present) {
  if (v == 0 || v > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return;
  field = static_cast<std::int32_t>(v);
  present = true;
}

std::string_view AsfAudioFormatName(std::uint64_t tag) {
  switch (tag) {
    case 0x0001:
      return "PCM";
    case 0x0002:
      return "ADPCM";
    case 0x0055:
      return "MPEG Layer-3";
    case 0x0160:
      return "WMA1";
    case 0x0161:
      return "WMA2";
    case 0x0162:
      return "WMA3";
    case 0x0163:
      return "WMA Lossless";
    case 0x0164:
      return "WMA S/PDIF";
    default:
      return {};
  }
}

// What the walk gathers besides the record fields.
struct WalkState {
  int videoStream = -1;
  std::array<std::uint64_t, 128> timePerFrame{};  // 100-ns units, by stream number
};

bool ReadFileProperties(Reader& r, MediaInfo& media) {
  std::vector<std::uint8_t> b;
  if (!r.Read(80, b)) return false;
  // Play duration in 100-ns units, less the preroll in milliseconds.
  std::uint64_t duration = Le(b, 40, 8) / 10000;
  std::uint64_t preroll = Le(b, 56, 8);
  if (duration > preroll) SetNonZero(duration - preroll, media.length, media.hasLength);
  return true;
}

bool ReadStreamProperties(Reader& r, MediaInfo& media, WalkState& state) {
  std::vector<std::uint8_t> b;
  if (!r.Read(54, b)) return false;
  int stream = static_cast<int>(Le(b, 48, 2) & 0x7F);
  std::vector<std::uint8_t> t;
  if (IsGuid(b, 0, kAudioMedia)) {
    if (!r.Read(18, t)) return false;
    media.audioFormat = std::string(AsfAudioFormatName(Le(t, 0, 2)));
    SetNonZero(Le(t, 4, 4) / 10, media.samplingFrequency, media.hasSamplingFrequency);
    SetNonZero(Le(t, 14, 2), media.bitsPerChannel, media.hasBitsPerChannel);
    SetNonZero(Le(t, 2, 2), media.channels, media.hasChannels);
  } else if (IsGuid(b, 0, kVideoMedia)) {
    if (!r.Read(51, t)) return false;
    state.videoStream = stream;
    // The compression code of the bitmap header as four characters, such as WMV3.
    auto code = t.begin() + 27;
    media.videoFormat = AnsiToUtf8(std::string(code, std::find(code, code + 4, 0)));
    SetNonZero(Le(t, 0, 4), media.width, media.hasWidth);
    SetNonZero(Le(t, 4, 4), media.height, media.hasHeight);
    SetNonZero(Le(t, 25, 2), media.bitsPerPixel, media.hasBitsPerPixel);
  }
  return true;
}

// The extension objects; only Extended Stream Properties are looked at.
bool ReadHeaderExtension(const ByteSource& src, Reader& r, WalkState& state) {
  std::vector<std::uint8_t> b;
  if (!r.Read(22, b)) return false;
  std::uint64_t pos = r.Pos();
  std::uint64_t end = pos + std::min<std::uint64_t>(Le(b, 18, 4), r.Left());
  for (std::uint32_t i = 0; i < kMaxObjects && pos < end; ++i) {
    std::vector<std::uint8_t> head;
    if (!Reader(src, pos, end).Read(kObjectHeaderBytes, head)) return false;
    std::uint64_t size = Le(head, 16, 8);
    if (size < kObjectHeaderBytes) return false;
    Reader obj(src, pos + kObjectHeaderBytes, pos + std::min(size, end - pos));
    if (IsGuid(head, 0, kExtendedStreamProperties)) {
      std::vector<std::uint8_t> esp;
      if (!obj.Read(64, esp)) return false;
      state.timePerFrame[Le(esp, 48, 2) & 0x7F] = Le(esp, 52, 8);
    }
    if (size > end - pos) break;
    pos += size;
  }
  return true;
}

bool ReadContentDescription(Reader& r, Mp3Tags& tags) {
  std::vector<std::uint8_t> b;
  if (!r.Read(10, b)) return false;
  std::string texts[5];  // title, author, copyright, description, rating
  for (int i = 0; i < 5; ++i)
    if (!r.Text(Le(b, 2 * i, 2), texts[i])) return false;
  tags.title = texts[0];
  tags.artist = texts[1];
  tags.copyright = texts[2];
  tags.comments = texts[3];
  return true;
}

// One attribute's value: a text for type 0, a number for the numeric types.
bool ReadAttributeValue(Reader& r, std::uint64_t type, std::uint64_t length, std::string& text,
                        bool& isNumber, std::uint64_t& number) {
  static constexpr int kNumberBytes[6] = {0, 0, 4, 4, 8, 2};
  if (type == 0) return r.Text(length, text);
  if (type < 2 || type > 5) return r.Skip(length);
  std::size_t bytes = std::min<std::size_t>(kNumberBytes[type], static_cast<std::size_t>(length));
  isNumber = true;
  return r.Number(bytes, number) && r.Skip(length - bytes);
}

bool ReadExtendedContentDescription(Reader& r, Mp3Tags& tags) {
  std::uint64_t count = 0;
  if (!r.Number(2, count)) return false;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t nameLength = 0, type = 0, valueLength = 0, number = 0;
    std::string name, text;
    bool isNumber = false;
    if (!r.Number(2, nameLength) || !r.Text(nameLength, name) || !r.Number(2, type) ||
        !r.Number(2, valueLength) ||
        !ReadAttributeValue(r, type, valueLength, text, isNumber, number))
      return false;
    if (name == "WM/TrackNumber")
      tags.track = type == 0 ? text : isNumber ? std::to_string(number) : std::string();
    else if (name == "WM/AlbumTitle")
      tags.album = text;
    else if (name == "WM/Year")
      tags.year = text;
    else if (name == "WM/Genre")
      tags.genre = text;
    else if (name == "WM/Composer")
      tags.composer = text;
    else if (name == "WM/AuthorURL")
      tags.url = text;
  }
  return true;
}

// The body of one header object, from body to end. False ends the walk.
bool ReadObject(const ByteSource& src, const Guid& id, std::uint64_t body, std::uint64_t end,
                MediaInfo& media, Mp3Tags& tags, WalkState& state) {
  Reader r(src, body, end);
  std::vector<std::uint8_t> unused;
  if (id == kFileProperties) return ReadFileProperties(r, media);
  if (id == kStreamProperties) return ReadStreamProperties(r, media, state);
  if (id == kHeaderExtension) return ReadHeaderExtension(src, r, state);
  if (id == kCodecList) return r.Read(20, unused);
  if (id == kContentDescription) return ReadContentDescription(r, tags);
  if (id == kExtendedContentDescription) return ReadExtendedContentDescription(r, tags);
  if (id == kStreamBitrateProperties) return r.Read(2, unused);
  return true;
}

}  // namespace

void ReadAsfSource(const ByteSource& source, MediaInfo& media, Mp3Tags& tags) {
  std::vector<std::uint8_t> head;
  if (!source.ReadExact(0, 30, head) || !IsGuid(head, 0, kHeader)) return;
  // The header objects lie within the header object, itself within the file.
  std::uint64_t headerEnd = std::min(Le(head, 16, 8), source.Size());
  auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(Le(head, 24, 4), kMaxObjects));
  WalkState state;
  std::uint64_t pos = 30;
  for (std::uint32_t i = 0; i < count && pos < headerEnd; ++i) {
    std::vector<std::uint8_t> obj;
    if (!Reader(source, pos, headerEnd).Read(kObjectHeaderBytes, obj)) break;
    std::uint64_t size = Le(obj, 16, 8);
    if (size < kObjectHeaderBytes) break;
    // An object cut off by the end of the header or of the file is read as far as it goes.
    std::uint64_t end = pos + std::min(size, headerEnd - pos);
    Guid id;
    std::copy_n(obj.begin(), 16, id.begin());
    if (!ReadObject(source, id, pos + kObjectHeaderBytes, end, media, tags, state)) break;
    if (size > headerEnd - pos) break;
    pos += size;
  }
  if (state.videoStream >= 0) {
    std::uint64_t timePerFrame = state.timePerFrame[static_cast<std::size_t>(state.videoStream)];
    if (timePerFrame)
      SetNonZero(1000000000ull / timePerFrame, media.framesPerSecond, media.hasFramesPerSecond);
  }
}

void ReadAsfBytes(std::span<const std::uint8_t> bytes, MediaInfo& media, Mp3Tags& tags) {
  SpanByteSource source(bytes);
  ReadAsfSource(source, media, tags);
}

void ReadAsfInfo(const std::string& path, int /*kind*/, MediaInfo& media, Mp3Tags& tags) {
  FileByteSource source(path);
  if (source.IsOpen()) ReadAsfSource(source, media, tags);
}

}  // namespace orvane
