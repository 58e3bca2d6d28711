// Shared by the fuzz targets: a reader must find the same values in a file as in the same bytes
// in memory, so a fault in a read cache or a refill shows as a difference and stops the run.
#pragma once

#include <tuple>

#include "fileinfo/media_info.h"

namespace fuzzcheck {

inline auto Fields(const orvane::MediaInfo& m) {
  return std::tie(m.videoFormat, m.width, m.hasWidth, m.height, m.hasHeight, m.bitsPerPixel,
                  m.hasBitsPerPixel, m.frames, m.hasFrames, m.framesPerSecond, m.hasFramesPerSecond,
                  m.audioFormat, m.samplingFrequency, m.hasSamplingFrequency, m.bitsPerChannel,
                  m.hasBitsPerChannel, m.channels, m.hasChannels, m.length, m.hasLength);
}

inline auto Fields(const orvane::Mp3Tags& t) {
  return std::tie(t.track, t.title, t.artist, t.album, t.year, t.genre, t.comments, t.composer,
                  t.origArtist, t.copyright, t.url, t.encodedBy);
}

template <typename T>
void ExpectSame(const T& fromMemory, const T& fromFile) {
  if (Fields(fromMemory) != Fields(fromFile)) __builtin_trap();
}

}  // namespace fuzzcheck
