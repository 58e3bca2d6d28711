#include "fileinfo/avi_reader.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "base/strings.h"
#include "fileinfo/byte_cursor.h"
#include "fileinfo/codec_names.h"
#include "fileinfo/riff_reader.h"

namespace orvane {

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr int kTextUncompressed = 5016;

// The first n bytes of a format block, zero-filled where the block is shorter.
std::vector<std::uint8_t> FormatHead(const RiffStream& s, std::size_t n) {
  std::vector<std::uint8_t> head(n, 0);
  std::copy_n(s.format.begin(), std::min(n, s.format.size()), head.begin());
  return head;
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
  return ByteCursor::LoadLE(b.data() + at, n);
}

void TakeVideo(const RiffStream& s, MediaInfo& media) {
  media.frames = static_cast<std::int32_t>(std::min<std::int64_t>(s.length, kInt32Max));
  media.hasFrames = true;
  // Frames per second x 100 = frames / playing time, rounded. The exact playing time is
  // length x scale / rate, so this is 100 x rate / scale; rounding the time to milliseconds
  // first would turn a short clip at 29.97 frames per second into 30.00.
  if (s.length > 0 && s.rate > 0 && s.scale > 0) {
    std::uint64_t fps = (std::uint64_t{s.rate} * 200 / s.scale + 1) / 2;
    if (fps > 0 && fps <= kInt32Max) {
      media.framesPerSecond = static_cast<std::int32_t>(fps);
      media.hasFramesPerSecond = true;
    }
  }
  media.width = s.frameRight - s.frameLeft;
  media.height = s.frameBottom - s.frameTop;
  media.hasWidth = media.hasHeight = true;

  // Bitmap-information header: bit count at 14, compression at 16.
  if (s.format.empty()) return;
  std::vector<std::uint8_t> bmi = FormatHead(s, 40);
  std::uint32_t compression = Le(bmi, 16, 4);
  std::int32_t bitCount = static_cast<std::int32_t>(Le(bmi, 14, 2));
  if (compression == 0) {
    media.videoFormat = GetText(kTextUncompressed);
  } else {
    std::string_view name = VideoCodecName(s.handler);
    if (name.empty()) name = VideoCodecName(compression);
    if (name.empty()) return;  // no decompressor for this codec
    media.videoFormat = std::string(name);
  }
  media.bitsPerPixel = bitCount;
  media.hasBitsPerPixel = true;
}

void TakeAudio(const RiffStream& s, MediaInfo& media) {
  std::vector<std::uint8_t> wf = FormatHead(s, 40);
  auto tag = static_cast<std::uint16_t>(Le(wf, 0, 2));
  std::uint32_t channels = Le(wf, 2, 2);
  std::uint32_t samplesPerSec = Le(wf, 4, 4);
  std::uint32_t bitsPerSample = Le(wf, 14, 2);
  // The extensible format names its real format in the first two bytes of its sub-format.
  constexpr std::uint16_t kExtensible = 0xFFFE;
  if (tag == kExtensible && s.format.size() >= 40 && Le(wf, 16, 2) >= 22)
    tag = static_cast<std::uint16_t>(Le(wf, 24, 2));
  std::string_view name = WaveFormatName(tag);
  if (!name.empty()) media.audioFormat = std::string(name);
  if (channels) {
    media.channels = static_cast<std::int32_t>(channels);
    media.hasChannels = true;
  }
  if (samplesPerSec / 10) {
    media.samplingFrequency = static_cast<std::int32_t>(samplesPerSec / 10);
    media.hasSamplingFrequency = true;
  }
  if (bitsPerSample) {
    media.bitsPerChannel = static_cast<std::int32_t>(bitsPerSample);
    media.hasBitsPerChannel = true;
  }
}

}  // namespace

void ReadAviSource(const ByteSource& source, MediaInfo& media) {
  RiffFile file = ReadRiffStreams(source);
  if (file.streams.empty()) return;
  std::int64_t first = std::numeric_limits<std::int64_t>::max();
  std::int64_t last = std::numeric_limits<std::int64_t>::min();
  for (const RiffStream& s : file.streams) {
    std::int64_t start = RiffSampleToTime(s, s.start);
    std::int64_t end = RiffSampleToTime(s, std::int64_t{s.start} + s.length);
    if (s.type == FourCc("vids"))
      TakeVideo(s, media);
    else if (s.type == FourCc("auds"))
      TakeAudio(s, media);
    first = std::min(first, start);
    last = std::max(last, end);
  }
  std::int64_t length = last - first;
  if (length >= 0 && length <= kInt32Max) {
    media.length = static_cast<std::int32_t>(length);
    media.hasLength = true;
  }
}

void ReadAviBytes(std::span<const std::uint8_t> bytes, MediaInfo& media) {
  SpanByteSource source(bytes);
  ReadAviSource(source, media);
}

void ReadAviInfo(const std::string& path, std::uint64_t size, MediaInfo& media) {
  if (size == 0) return;
  FileByteSource source(path);
  if (source.IsOpen()) ReadAviSource(source, media);
}

}  // namespace orvane
