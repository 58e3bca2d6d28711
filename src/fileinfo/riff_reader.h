// RIFF container reading for AVI and WAV files: the streams of a file with their stream
// headers and format blocks, and the conversion of a stream position to milliseconds.
//
// An AVI file gives one stream per "strl" list of its "hdrl" header (at most kMaxRiffStreams);
// a WAV file gives a single audio stream built from its "fmt " and "data" chunks, whose samples
// are blocks (scale = block align, rate = average bytes per second).
//
// Every size, offset and count in the file is treated as hostile: reads are
// bounded by the bytes present, loops by fixed caps, and format blocks are copied only up to
// kMaxFormatBytes. Parsing functions are reentrant; one source belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/byte_source.h"

namespace orvane {

// Four-character codes as little-endian 32-bit numbers ("vids" reads as 'v','i','d','s').
constexpr std::uint32_t FourCc(const char (&s)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[0])) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[3])) << 24;
}

inline constexpr std::size_t kMaxRiffStreams = 50;
inline constexpr std::size_t kMaxFormatBytes = 1024;

// One stream: the fields of its stream header that the media columns use, and the start of
// its format block (a bitmap-information header for video, a wave-format header for audio).
struct RiffStream {
  std::uint32_t type = 0;     // "vids", "auds", "txts", ...
  std::uint32_t handler = 0;  // preferred codec, often 0
  std::uint32_t scale = 0;    // rate / scale = samples per second
  std::uint32_t rate = 0;
  std::uint32_t start = 0;   // first sample
  std::uint32_t length = 0;  // samples
  // Frame rectangle; taken from the format block when the header leaves it empty.
  std::int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
  std::vector<std::uint8_t> format;  // at most kMaxFormatBytes
};

enum class RiffKind { None, Avi, Wave };

struct RiffFile {
  RiffKind kind = RiffKind::None;
  std::vector<RiffStream> streams;
};

// Reads the streams of an AVI or WAV file. A source that is neither, or that has no usable
// stream, gives kind None and no streams.
RiffFile ReadRiffStreams(const ByteSource& source);

// The time in milliseconds at which sample `sample` of the stream starts (sample * scale *
// 1000 / rate, rounded down); 0 when the rate or scale is 0.
std::int64_t RiffSampleToTime(const RiffStream& stream, std::int64_t sample);

}  // namespace orvane
