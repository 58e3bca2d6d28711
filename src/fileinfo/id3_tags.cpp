#include "fileinfo/id3_tags.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"
#include "fileinfo/mp3_genres.h"
#include "platform/codepage.h"

namespace orvane {

namespace {

constexpr std::size_t kId3v1Size = 128;
constexpr std::size_t kId3v2HeaderSize = 10;
constexpr std::size_t kFrameHeaderSize = 10;
// Longest frame content decoded; the columns never need more text than this.
constexpr std::size_t kMaxFrameContent = 64 * 1024;
// Largest tag that is read whole to undo tag-wide unsynchronisation (ID3v2.3).
constexpr std::uint64_t kMaxUnsyncTag = 16 * 1024 * 1024;

std::uint32_t Syncsafe(const std::uint8_t* p) {
  return (std::uint32_t{p[0] & 0x7Fu} << 21) | (std::uint32_t{p[1] & 0x7Fu} << 14) |
         (std::uint32_t{p[2] & 0x7Fu} << 7) | std::uint32_t{p[3] & 0x7Fu};
}

std::string_view AsChars(std::span<const std::uint8_t> b) {
  return {reinterpret_cast<const char*>(b.data()), b.size()};
}

// The bytes up to the first zero byte (all of them when there is none).
std::span<const std::uint8_t> UpToNul(std::span<const std::uint8_t> b) {
  auto end = std::find(b.begin(), b.end(), std::uint8_t{0});
  return b.first(static_cast<std::size_t>(end - b.begin()));
}

std::string Trim(std::string s) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  auto last = s.find_last_not_of(kSpace);
  if (last == std::string::npos) return {};
  s.erase(last + 1);
  s.erase(0, s.find_first_not_of(kSpace));
  return s;
}

std::string Utf16BeToUtf8(std::span<const std::uint8_t> b) {
  std::vector<std::uint8_t> swapped(b.size() & ~std::size_t{1});
  for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
    swapped[i] = b[i + 1];
    swapped[i + 1] = b[i];
  }
  return Utf16LeToUtf8(swapped);
}

// Passes over a COMM frame's description; false when it has no terminator.
bool SkipDescription(std::span<const std::uint8_t>& rest, bool wide) {
  if (!wide) {
    auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (end == rest.end()) return false;
    rest = rest.subspan(static_cast<std::size_t>(end - rest.begin()) + 1);
    return true;
  }
  for (std::size_t i = 0; i + 1 < rest.size(); i += 2) {
    if (rest[i] == 0 && rest[i + 1] == 0) {
      rest = rest.subspan(i + 2);
      return true;
    }
  }
  return false;
}

// A window over the input for walking many small frame headers without a read for each.
class Window {
 public:
  explicit Window(const Mp3Input& in) : m_in(in), m_buf(64 * 1024) {}
  // The len bytes at offset, or nullptr when they are not all there (len at most 64 KiB).
  const std::uint8_t* At(std::uint64_t offset, std::size_t len) {
    if (offset < m_start || offset - m_start + len > m_len) {
      m_start = offset;
      m_len = m_in.ReadAt(offset, m_buf.data(), m_buf.size());
    }
    if (offset - m_start + len > m_len) return nullptr;
    return m_buf.data() + (offset - m_start);
  }

 private:
  const Mp3Input& m_in;
  std::vector<std::uint8_t> m_buf;
  std::uint64_t m_start = 0;
  std::size_t m_len = 0;
};

// The body of a tag (the bytes after its header) as an input of its own.
class BodyInput final : public Mp3Input {
 public:
  BodyInput(const Mp3Input& in, std::uint64_t start, std::uint64_t size)
      : m_in(in), m_start(start), m_size(size) {}
  std::uint64_t Size() const override { return m_size; }
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const override {
    if (offset >= m_size) return 0;
    len = static_cast<std::size_t>(std::min<std::uint64_t>(len, m_size - offset));
    return m_in.ReadAt(m_start + offset, out, len);
  }

 private:
  const Mp3Input& m_in;
  std::uint64_t m_start;
  std::uint64_t m_size;
};

struct WantedFrame {
  const char* id;
  std::string Id3Texts::*field;
};

// The frames looked up; "TDRC" (ID3v2.4's recording time) stands in for a missing "TYER".
constexpr std::array<WantedFrame, 9> kWanted = {{{"TALB", &Id3Texts::album},
                                                 {"TPE1", &Id3Texts::artist},
                                                 {"COMM", &Id3Texts::comments},
                                                 {"TCON", &Id3Texts::genre},
                                                 {"TIT2", &Id3Texts::title},
                                                 {"TRCK", &Id3Texts::track},
                                                 {"TYER", &Id3Texts::year},
                                                 {"TCOM", &Id3Texts::composer},
                                                 {"TDRC", nullptr}}};

int WantedIndex(const std::uint8_t* id) {
  for (std::size_t i = 0; i < kWanted.size(); ++i)
    if (std::memcmp(id, kWanted[i].id, 4) == 0) return static_cast<int>(i);
  return -1;
}

// How one frame's content is laid out, from its format flags (the second flag byte).
struct FrameLayout {
  bool usable = true;      // not compressed or encrypted
  std::size_t prefix = 0;  // bytes before the data: group identifier, data length
  bool unsync = false;
};

FrameLayout LayoutOf(std::uint8_t format, const Id3v2Header& tag) {
  FrameLayout l;
  if (tag.version == 4) {
    l.usable = (format & 0x0C) == 0;
    l.prefix = ((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0);
    l.unsync = (format & 0x02) || (tag.flags & 0x80);
  } else {
    l.usable = (format & 0xC0) == 0;
    l.prefix = (format & 0x20) ? 1 : 0;
  }
  return l;
}

std::string FrameText(const Mp3Input& body, std::uint64_t pos, std::uint64_t size,
                      const FrameLayout& layout, bool isComment) {
  std::uint64_t avail = body.Size() - pos;
  std::size_t len =
      static_cast<std::size_t>(std::min({size, avail, std::uint64_t{kMaxFrameContent}}));
  std::vector<std::uint8_t> raw(len);
  raw.resize(body.ReadAt(pos, raw.data(), len));
  std::span<const std::uint8_t> data(raw);
  if (layout.prefix > data.size()) return {};
  data = data.subspan(layout.prefix);
  if (!layout.unsync) return DecodeId3v2Text(data, isComment);
  std::vector<std::uint8_t> plain = RemoveUnsynchronisation(data);
  return DecodeId3v2Text(plain, isComment);
}

// Walks the frames of a tag body from its first frame header on.
void WalkFrames(const Mp3Input& body, std::uint64_t pos, const Id3v2Header& tag, Id3Texts& out) {
  std::array<bool, kWanted.size()> done{};
  std::string recorded;  // the text of "TDRC"
  std::size_t left = kWanted.size();
  Window win(body);
  while (left > 0 && body.Size() - pos >= kFrameHeaderSize) {
    const std::uint8_t* h = win.At(pos, kFrameHeaderSize);
    if (!h || h[0] == 0) break;  // padding
    std::uint64_t size = tag.version == 4 ? Syncsafe(h + 4) : ByteCursor::LoadBE(h + 4, 4);
    int idx = WantedIndex(h);
    FrameLayout layout = LayoutOf(h[9], tag);
    if (idx >= 0 && !done[idx] && layout.usable) {
      const WantedFrame& w = kWanted[static_cast<std::size_t>(idx)];
      std::string text =
          FrameText(body, pos + kFrameHeaderSize, size, layout, w.field == &Id3Texts::comments);
      (w.field ? out.*w.field : recorded) = std::move(text);
      done[static_cast<std::size_t>(idx)] = true;
      --left;
    }
    pos += kFrameHeaderSize + size;
    if (pos >= body.Size()) break;
  }
  if (out.year.empty()) out.year = TruncateCodePoints(recorded, 4);
}

bool IsUtf8(std::string_view s) {
  return SanitizeUtf8(s) == s;
}

bool HasNonAscii(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Bytes at the end of a text that start a UTF-8 character and stop before it is complete: a
// lead byte followed by fewer continuation bytes than it announces. 0 when there are none.
std::size_t CutCharacterLength(std::string_view s) {
  for (std::size_t k = 1; k <= 3 && k <= s.size(); ++k) {
    const auto b = static_cast<unsigned char>(s[s.size() - k]);
    if ((b & 0xC0) == 0x80) continue;
    const std::size_t need = (b & 0xE0) == 0xC0   ? 2
                             : (b & 0xF0) == 0xE0 ? 3
                             : (b & 0xF8) == 0xF0 ? 4
                                                  : 0;
    return need > k ? k : 0;
  }
  return 0;
}

}  // namespace

std::string DecodeId3v1Field(std::span<const std::uint8_t> field) {
  const std::span<const std::uint8_t> bytes = UpToNul(field);
  const std::string_view text = AsChars(bytes);
  if (HasNonAscii(text)) {
    if (IsUtf8(text)) return std::string(text);
    // An encoder that writes UTF-8 cuts a long text at the field's width, possibly inside a
    // character: when the field is full and the rest is UTF-8 with characters beyond ASCII,
    // the cut character is dropped. A single byte at the end proves nothing alone: a text
    // that is otherwise ASCII stays with the code page.
    const std::size_t cut = bytes.size() == field.size() ? CutCharacterLength(text) : 0;
    const std::string_view kept = text.substr(0, text.size() - cut);
    if (cut > 0 && HasNonAscii(kept) && IsUtf8(kept)) return std::string(kept);
  }
  return AnsiToUtf8(text);
}

bool ReadId3v1(const Mp3Input& in, Id3Texts& out) {
  if (in.Size() < kId3v1Size) return false;
  std::array<std::uint8_t, kId3v1Size> tag{};
  if (in.ReadAt(in.Size() - kId3v1Size, tag.data(), tag.size()) != kId3v1Size) return false;
  if (std::memcmp(tag.data(), "TAG", 3) != 0) return false;
  std::span<const std::uint8_t> t(tag);
  auto field = [&](std::size_t at, std::size_t len) {
    return DecodeId3v1Field(t.subspan(at, len));
  };
  out.title = field(3, 30);
  out.artist = field(33, 30);
  out.album = field(63, 30);
  out.year = field(93, 4);
  out.comments = Trim(field(97, 30));
  if (tag[97 + 28] == 0 && tag[97 + 29] != 0) out.track = std::to_string(tag[97 + 29]);
  out.genre = std::string(Id3v1GenreName(tag[127]));
  return true;
}

std::uint64_t Id3v2Header::TotalSize() const {
  std::uint64_t total = kId3v2HeaderSize + std::uint64_t{size};
  if (version >= 4 && (flags & 0x10)) total += kId3v2HeaderSize;
  return total;
}

bool ParseId3v2Header(std::span<const std::uint8_t> head, Id3v2Header& out) {
  if (head.size() < kId3v2HeaderSize || std::memcmp(head.data(), "ID3", 3) != 0) return false;
  out.version = head[3];
  out.flags = head[5];
  out.size = Syncsafe(head.data() + 6);
  return true;
}

bool ReadId3v2(const Mp3Input& in, Id3Texts& out) {
  std::array<std::uint8_t, kId3v2HeaderSize> head{};
  Id3v2Header tag;
  if (in.ReadAt(0, head.data(), head.size()) != head.size() || !ParseId3v2Header(head, tag))
    return false;
  std::uint64_t bodySize = std::min<std::uint64_t>(tag.size, in.Size() - kId3v2HeaderSize);
  BodyInput body(in, kId3v2HeaderSize, bodySize);

  // ID3v2.3 unsynchronises the tag as a whole; ID3v2.4 marks it on every frame.
  const bool wholeTagUnsync = tag.version != 4 && (tag.flags & 0x80) && bodySize <= kMaxUnsyncTag;
  std::vector<std::uint8_t> plain;
  if (wholeTagUnsync) {
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(bodySize));
    raw.resize(body.ReadAt(0, raw.data(), raw.size()));
    plain = RemoveUnsynchronisation(raw);
  }
  SpanMp3Input plainInput(plain);
  const Mp3Input* frames = wholeTagUnsync ? static_cast<const Mp3Input*>(&plainInput) : &body;

  std::uint64_t first = 0;
  if (tag.flags & 0x40) {
    std::array<std::uint8_t, 4> ext{};
    if (frames->ReadAt(0, ext.data(), ext.size()) != ext.size()) return true;
    // ID3v2.4 counts the size field itself; ID3v2.3 does not.
    first = tag.version == 4 ? Syncsafe(ext.data())
                             : 4 + std::uint64_t{ByteCursor::LoadBE(ext.data(), 4)};
    if (first < ext.size()) return true;
  }
  if (first < frames->Size()) WalkFrames(*frames, first, tag, out);
  return true;
}

std::string DecodeId3v2Text(std::span<const std::uint8_t> content, bool isComment) {
  if (content.empty()) return {};
  const std::uint8_t encoding = content[0];
  if (encoding > 3) return Trim(AnsiToUtf8(AsChars(UpToNul(content))));
  std::span<const std::uint8_t> rest = content.subspan(1);
  const bool wide = encoding == 1 || encoding == 2;
  if (isComment) {
    if (rest.size() < 3) return {};
    rest = rest.subspan(3);  // language
    if (!SkipDescription(rest, wide)) return {};
  }
  switch (encoding) {
    case 0:
      return Trim(AnsiToUtf8(AsChars(UpToNul(rest))));
    case 3:
      return Trim(SanitizeUtf8(AsChars(UpToNul(rest))));
    case 2:
      return Trim(Utf16BeToUtf8(rest));
    default:  // 1: UTF-16 with a byte-order mark
      if (rest.size() < 2) return {};
      if (rest[0] == 0xFF && rest[1] == 0xFE) return Trim(Utf16LeToUtf8(rest.subspan(2)));
      if (rest[0] == 0xFE && rest[1] == 0xFF) return Trim(Utf16BeToUtf8(rest.subspan(2)));
      return {};
  }
}

std::vector<std::uint8_t> RemoveUnsynchronisation(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0) ++i;
  }
  return out;
}

}  // namespace orvane
