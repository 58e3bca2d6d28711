#include "fileinfo/mp3_reader.h"

#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "base/unicode.h"
#include "fileinfo/byte_cursor.h"

namespace orvane {

namespace {

constexpr std::size_t kScanBlock = 8192;
// Fewer bytes than this left in the file cannot hold a frame worth looking at.
constexpr std::uint64_t kMinFrameBytes = 24;
// Frames examined after the first one when there is no Xing header.
constexpr int kScanFrames = 20;
constexpr std::uint64_t kId3v1Size = 128;

// kbit/s by [MPEG-1 or not][layer number - 1][bitrate index]; index 15 is rejected earlier.
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};

// Hz by [version field][sampling-rate index]; version 1 is reserved.
constexpr int kSampleRates[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

constexpr int kMpeg1 = 3;
constexpr int kLayer3 = 1;

struct FoundFrame {
  std::uint64_t pos = 0;
  MpegFrameHeader header;
};

// Frames of one stream share their layer, sampling rate and channel count.
bool SameStream(const MpegFrameHeader& a, const MpegFrameHeader& b) {
  return a.layer == b.layer && a.rateIndex == b.rateIndex && a.Channels() == b.Channels();
}

class Mp3Scan {
 public:
  explicit Mp3Scan(const Mp3Input& in) : m_in(in), m_size(in.Size()), m_block(kScanBlock) {}

  // The first frame at or after pos that the header following it confirms; with a known first
  // frame, only frames of the same stream count.
  std::optional<FoundFrame> FindFrame(std::uint64_t pos, const MpegFrameHeader* first) {
    while (pos < m_size && m_size - pos >= kMinFrameBytes) {
      std::size_t n = m_in.ReadAt(pos, m_block.data(), m_block.size());
      if (n < kMinFrameBytes) return std::nullopt;
      for (std::size_t i = 0; i + 4 <= n; ++i) {
        if (m_block[i] != 0xFF || m_block[i + 1] < 0x20) continue;
        MpegFrameHeader h;
        if (!DecodeMpegHeader(At(i), h) || h.frameSize < static_cast<int>(kMinFrameBytes)) continue;
        if (first && !SameStream(h, *first)) continue;
        if (Confirmed(h, pos, i, n)) return FoundFrame{pos + i, h};
      }
      // Step back three bytes so that a header across the block end is still seen.
      pos += n - 3;
    }
    return std::nullopt;
  }

  // The frame count of a Xing header in the given first frame: nullopt when it has none, 0 when
  // the header does not give the count.
  std::optional<std::uint64_t> XingFrames(const FoundFrame& f) const {
    const MpegFrameHeader& h = f.header;
    if (h.layer != kLayer3) return std::nullopt;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(h.frameSize));
    if (m_in.ReadAt(f.pos, frame.data(), frame.size()) != frame.size()) return std::nullopt;
    const bool mono = h.Channels() == 1;
    std::size_t at = 4 + (h.version == kMpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    ByteCursor c(frame);
    std::uint32_t flags = 0;
    if (!c.Seek(at) || !c.Match("Xing") || !c.U32BE(flags)) return std::nullopt;
    std::uint32_t frames = 0;
    if ((flags & 1) && !c.U32BE(frames)) frames = 0;
    return frames;
  }

 private:
  // True when the header one frame further on (in the block or read from the file) belongs to
  // the same stream.
  bool Confirmed(const MpegFrameHeader& h, std::uint64_t blockPos, std::size_t i, std::size_t n) {
    const std::size_t next = i + static_cast<std::size_t>(h.frameSize);
    MpegFrameHeader following;
    if (next + 4 <= n) return DecodeMpegHeader(At(next), following) && SameStream(following, h);
    std::array<std::uint8_t, 4> bytes{};
    return m_in.ReadAt(blockPos + next, bytes.data(), bytes.size()) == bytes.size() &&
           DecodeMpegHeader(bytes, following) && SameStream(following, h);
  }

  // The four bytes at i of the block (the caller checks that they lie inside it).
  std::span<const std::uint8_t, 4> At(std::size_t i) const {
    return std::span<const std::uint8_t, 4>(&m_block[i], 4);
  }

  const Mp3Input& m_in;
  std::uint64_t m_size;
  std::vector<std::uint8_t> m_block;
};

// Where to start looking for audio: past an ID3v2 tag that fits in the file, so that a picture
// or other binary data inside the tag cannot pass for frames.
std::uint64_t AudioSearchStart(const Mp3Input& in) {
  std::array<std::uint8_t, 10> head{};
  Id3v2Header tag;
  if (in.ReadAt(0, head.data(), head.size()) != head.size() || !ParseId3v2Header(head, tag))
    return 0;
  return tag.TotalSize() <= in.Size() ? tag.TotalSize() : 0;
}

// Number of frames of a stream without a Xing header: from the size of the last of up to 21
// examined frames, or from their average size when their bitrates differ.
std::uint64_t CountFrames(Mp3Scan& scan, const FoundFrame& first, std::uint64_t audioBytes) {
  std::uint64_t sumSize = static_cast<std::uint64_t>(first.header.frameSize);
  std::uint64_t summed = 1;
  bool variable = false;
  MpegFrameHeader last = first.header;
  std::uint64_t pos = first.pos;
  for (int k = 0; k < kScanFrames; ++k) {
    std::optional<FoundFrame> f = scan.FindFrame(pos, &first.header);
    if (!f) break;
    sumSize += static_cast<std::uint64_t>(f->header.frameSize);
    ++summed;
    if (f->header.bitrateIndex != first.header.bitrateIndex) variable = true;
    last = f->header;
    pos = f->pos + static_cast<std::uint64_t>(f->header.frameSize);
  }
  std::uint64_t frameSize =
      variable ? sumSize / summed : static_cast<std::uint64_t>(last.frameSize);
  return audioBytes / frameSize;
}

// The playing time in milliseconds, a whole number of seconds; 0 when it comes out as zero or
// too large to keep.
std::int32_t LengthMs(const MpegFrameHeader& h, std::uint64_t frames) {
  constexpr std::uint64_t kMaxSeconds = std::numeric_limits<std::int32_t>::max() / 1000;
  if (frames > (std::uint64_t{1} << 40)) return 0;
  std::uint64_t seconds = frames * static_cast<std::uint64_t>(h.SamplesPerFrame()) /
                          static_cast<std::uint64_t>(h.sampleRate);
  if (seconds > kMaxSeconds) return 0;
  return static_cast<std::int32_t>(seconds * 1000);
}

// Each field takes the ID3v2 text when it is longer than the ID3v1 text.
const std::string& Longer(const std::string& v2, const std::string& v1) {
  return CountCodePoints(v2) > CountCodePoints(v1) ? v2 : v1;
}

void StoreTags(const Id3Texts& v1, const Id3Texts& v2, Mp3Tags& tags) {
  tags.track = Longer(v2.track, v1.track);
  tags.title = Longer(v2.title, v1.title);
  tags.artist = Longer(v2.artist, v1.artist);
  tags.album = Longer(v2.album, v1.album);
  tags.year = Longer(v2.year, v1.year);
  tags.genre = Longer(v2.genre, v1.genre);
  tags.comments = Longer(v2.comments, v1.comments);
  tags.composer = v2.composer;
}

}  // namespace

int MpegFrameHeader::SamplesPerFrame() const {
  if (layer == 3) return 384;
  if (layer == 2 || version == kMpeg1) return 1152;
  return 576;
}

std::string MpegFrameHeader::FormatText() const {
  const char* v = version == kMpeg1 ? "MPEG-1" : version == 2 ? "MPEG-2" : "MPEG-2.5";
  return std::string(v) + " Layer " + std::to_string(LayerNumber());
}

bool DecodeMpegHeader(std::span<const std::uint8_t, 4> p, MpegFrameHeader& out) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
  MpegFrameHeader h;
  h.version = (p[1] >> 3) & 3;
  h.layer = (p[1] >> 1) & 3;
  h.bitrateIndex = p[2] >> 4;
  h.rateIndex = (p[2] >> 2) & 3;
  h.padding = (p[2] >> 1) & 1;
  h.channelMode = p[3] >> 6;
  const int emphasis = p[3] & 3;
  if (h.version == 1 || h.layer == 0 || h.bitrateIndex == 15 || h.rateIndex == 3 || emphasis == 2)
    return false;
  const bool mpeg1 = h.version == kMpeg1;
  h.bitrate = kBitrates[mpeg1 ? 0 : 1][h.LayerNumber() - 1][h.bitrateIndex];
  h.sampleRate = kSampleRates[h.version][h.rateIndex];
  const int pad = h.padding ? 1 : 0;
  if (h.LayerNumber() == 1) {
    h.frameSize = (12000 * h.bitrate / h.sampleRate + pad) * 4;
  } else if (h.LayerNumber() == 2 || mpeg1) {
    h.frameSize = 144000 * h.bitrate / h.sampleRate + pad;
  } else {
    h.frameSize = 144000 * h.bitrate / (h.sampleRate * 2) + pad;
  }
  out = h;
  return true;
}

bool ReadMp3Stream(const Mp3Input& in, MediaInfo& media, Mp3Tags& tags) {
  Mp3Scan scan(in);
  std::optional<FoundFrame> first = scan.FindFrame(AudioSearchStart(in), nullptr);
  if (!first) return false;
  std::uint64_t audioBytes = in.Size() - first->pos;

  Id3Texts v1, v2;
  if (ReadId3v1(in, v1)) audioBytes = audioBytes > kId3v1Size ? audioBytes - kId3v1Size : 0;
  ReadId3v2(in, v2);

  std::optional<std::uint64_t> frames = scan.XingFrames(*first);
  if (!frames) frames = CountFrames(scan, *first, audioBytes);

  const MpegFrameHeader& h = first->header;
  media.audioFormat = h.FormatText();
  media.samplingFrequency = h.sampleRate / 10;
  media.hasSamplingFrequency = true;
  media.channels = h.Channels();
  media.hasChannels = true;
  media.length = LengthMs(h, *frames);
  media.hasLength = media.length > 0;
  StoreTags(v1, v2, tags);
  return true;
}

bool ReadMp3Bytes(std::span<const std::uint8_t> bytes, MediaInfo& media, Mp3Tags& tags) {
  return ReadMp3Stream(SpanMp3Input(bytes), media, tags);
}

bool ReadMp3Info(const std::string& path, MediaInfo& media, Mp3Tags& tags) {
  if (path.size() < 3 || AsciiLower(path.substr(path.size() - 3)) != "mp3") return false;
  FileByteSource file(path);
  if (!file.IsOpen()) return false;
  return ReadMp3Stream(file, media, tags);
}

}  // namespace orvane
