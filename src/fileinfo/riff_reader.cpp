#include "fileinfo/riff_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "fileinfo/byte_cursor.h"
#include "platform/file_source.h"

namespace orvane {

namespace {

// Chunks looked at in one list before giving up; real files have a handful.
constexpr int kMaxChunksPerList = 4096;
constexpr std::size_t kStreamHeaderBytes = 56;

struct Chunk {
  std::uint32_t id = 0;
  std::uint32_t size = 0;
  std::uint32_t listType = 0;  // for "LIST" and "RIFF" chunks, 0 when absent
  std::uint64_t body = 0;      // offset of the body
  std::uint64_t next = 0;      // offset of the following chunk (bodies are padded to even)
};

// Reads the chunk header at pos, which must lie within [pos, end). False when it does not fit.
bool ReadChunk(const ByteSource& src, std::uint64_t pos, std::uint64_t end, Chunk& chunk) {
  if (pos >= end || end - pos < 8) return false;
  std::uint8_t head[12] = {};
  std::size_t got = src.ReadAt(pos, head, sizeof head);
  if (got < 8) return false;
  chunk.id = ByteCursor::LoadLE(head, 4);
  chunk.size = ByteCursor::LoadLE(head + 4, 4);
  chunk.listType = got >= 12 ? ByteCursor::LoadLE(head + 8, 4) : 0;
  chunk.body = pos + 8;
  chunk.next = chunk.body + chunk.size + (chunk.size & 1u);
  return true;
}

// The body of a chunk, cut at `end` and at `cap` bytes.
std::vector<std::uint8_t> ReadBody(const ByteSource& src, const Chunk& chunk, std::uint64_t end,
                                   std::size_t cap) {
  std::uint64_t avail = chunk.body < end ? end - chunk.body : 0;
  std::size_t len = static_cast<std::size_t>(std::min<std::uint64_t>({chunk.size, avail, cap}));
  std::vector<std::uint8_t> out(len);
  out.resize(src.ReadAt(chunk.body, out.data(), len));
  return out;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 4 <= b.size() ? ByteCursor::LoadLE(b.data() + at, 4) : 0;
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 2 <= b.size() ? static_cast<std::uint16_t>(ByteCursor::LoadLE(b.data() + at, 2)) : 0;
}
std::int16_t Le16s(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int16_t>(Le16(b, at));
}

void TakeStreamHeader(const std::vector<std::uint8_t>& h, RiffStream& s) {
  s.type = Le32(h, 0);
  s.handler = Le32(h, 4);
  s.scale = Le32(h, 20);
  s.rate = Le32(h, 24);
  s.start = Le32(h, 28);
  s.length = Le32(h, 32);
  s.frameLeft = Le16s(h, 48);
  s.frameTop = Le16s(h, 50);
  s.frameRight = Le16s(h, 52);
  s.frameBottom = Le16s(h, 54);
}

// A video stream whose header leaves the frame rectangle empty takes the picture size of its
// bitmap header (whose height is negative for top-down pictures).
void FillFrameFromFormat(RiffStream& s) {
  if (s.type != FourCc("vids") || s.format.size() < 12) return;
  if (s.frameRight > s.frameLeft && s.frameBottom > s.frameTop) return;
  auto width = static_cast<std::int32_t>(Le32(s.format, 4));
  auto height = static_cast<std::int32_t>(Le32(s.format, 8));
  if (height < 0 && height != std::numeric_limits<std::int32_t>::min()) height = -height;
  if (width <= 0 || height <= 0) return;
  s.frameLeft = s.frameTop = 0;
  s.frameRight = width;
  s.frameBottom = height;
}

// One "strl" list: its stream header and format. False when it has no stream header.
bool ReadStreamList(const ByteSource& src, const Chunk& list, std::uint64_t end, RiffStream& s) {
  std::uint64_t listEnd = std::min(end, list.body + list.size);
  std::uint64_t pos = list.body + 4;
  bool haveHeader = false;
  Chunk c;
  for (int i = 0; i < kMaxChunksPerList && ReadChunk(src, pos, listEnd, c); ++i, pos = c.next) {
    if (c.id == FourCc("strh") && !haveHeader) {
      TakeStreamHeader(ReadBody(src, c, listEnd, kStreamHeaderBytes), s);
      haveHeader = true;
    } else if (c.id == FourCc("strf") && s.format.empty()) {
      s.format = ReadBody(src, c, listEnd, kMaxFormatBytes);
    }
  }
  if (haveHeader) FillFrameFromFormat(s);
  return haveHeader;
}

void ReadAviHeader(const ByteSource& src, const Chunk& hdrl, std::uint64_t end, RiffFile& file) {
  std::uint64_t hdrlEnd = std::min(end, hdrl.body + hdrl.size);
  std::uint64_t pos = hdrl.body + 4;
  Chunk c;
  for (int i = 0; i < kMaxChunksPerList && ReadChunk(src, pos, hdrlEnd, c); ++i, pos = c.next) {
    if (c.id != FourCc("LIST") || c.listType != FourCc("strl")) continue;
    RiffStream s;
    if (!ReadStreamList(src, c, hdrlEnd, s)) continue;
    file.streams.push_back(std::move(s));
    if (file.streams.size() == kMaxRiffStreams) break;
  }
}

void ReadAvi(const ByteSource& src, std::uint64_t end, RiffFile& file) {
  std::uint64_t pos = 12;
  Chunk c;
  for (int i = 0; i < kMaxChunksPerList && ReadChunk(src, pos, end, c); ++i, pos = c.next) {
    if (c.id != FourCc("LIST")) continue;
    if (c.listType == FourCc("hdrl")) {
      ReadAviHeader(src, c, end, file);
      break;
    }
    if (c.listType == FourCc("movi")) break;  // the header always precedes the data
  }
  if (!file.streams.empty()) file.kind = RiffKind::Avi;
}

// A WAV file is one audio stream whose samples are the blocks of its "data" chunk.
void ReadWave(const ByteSource& src, std::uint64_t end, RiffFile& file) {
  RiffStream s;
  bool haveFormat = false;
  bool haveData = false;
  std::uint64_t dataBytes = 0;
  std::uint64_t pos = 12;
  Chunk c;
  for (int i = 0; i < kMaxChunksPerList && !(haveFormat && haveData) && ReadChunk(src, pos, end, c);
       ++i, pos = c.next) {
    if (c.id == FourCc("fmt ") && !haveFormat) {
      s.format = ReadBody(src, c, end, kMaxFormatBytes);
      haveFormat = s.format.size() >= 14;
    } else if (c.id == FourCc("data") && !haveData) {
      // A streamed or cut-off file declares more than it holds: count what is there.
      std::uint64_t present = c.body < src.Size() ? src.Size() - c.body : 0;
      dataBytes = std::min<std::uint64_t>(c.size, present);
      haveData = true;
    }
  }
  if (!haveFormat) return;
  std::uint16_t blockAlign = Le16(s.format, 12);
  s.type = FourCc("auds");
  s.scale = blockAlign ? blockAlign : 1;
  s.rate = Le32(s.format, 8);
  std::uint64_t blocks = dataBytes / s.scale;
  s.length = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(blocks, std::numeric_limits<std::uint32_t>::max()));
  file.streams.push_back(std::move(s));
  file.kind = RiffKind::Wave;
}

}  // namespace

RiffFile ReadRiffStreams(const ByteSource& source) {
  RiffFile file;
  std::vector<std::uint8_t> head;
  if (!source.ReadExact(0, 12, head)) return file;
  if (Le32(head, 0) != FourCc("RIFF")) return file;
  // Trust the declared size only when the file holds it; writers that stream leave it 0.
  std::uint64_t declared = std::uint64_t{Le32(head, 4)} + 8;
  std::uint64_t end = declared >= 12 && declared <= source.Size() ? declared : source.Size();
  std::uint32_t form = Le32(head, 8);
  if (form == FourCc("AVI "))
    ReadAvi(source, end, file);
  else if (form == FourCc("WAVE"))
    ReadWave(source, end, file);
  return file;
}

std::int64_t RiffSampleToTime(const RiffStream& stream, std::int64_t sample) {
  if (stream.rate == 0 || stream.scale == 0 || sample <= 0) return 0;
  __int128 ms = static_cast<__int128>(sample) * stream.scale * 1000 / stream.rate;
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  return ms > kMax ? kMax : static_cast<std::int64_t>(ms);
}

}  // namespace orvane
