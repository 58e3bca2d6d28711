// The multimedia groups of a file record: MediaInfo (columns 40 to 50) and Mp3Tags (columns 51
// to 57 and the hidden tag fields). Plain values; each number has its own present flag and a
// column shows a number only when the flag is set.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

struct MediaInfo {
  std::string videoFormat;  // video codec or picture format (40)
  std::int32_t width = 0;   // pixels (41)
  bool hasWidth = false;
  std::int32_t height = 0;  // pixels (42)
  bool hasHeight = false;
  std::int32_t bitsPerPixel = 0;  // (43)
  bool hasBitsPerPixel = false;
  std::int32_t frames = 0;  // (44)
  bool hasFrames = false;
  std::int32_t framesPerSecond = 0;  // frames per second x 100 (45)
  bool hasFramesPerSecond = false;
  std::string audioFormat;             // (46)
  std::int32_t samplingFrequency = 0;  // hertz / 10 (47)
  bool hasSamplingFrequency = false;
  std::int32_t bitsPerChannel = 0;  // bits per sample (48)
  bool hasBitsPerChannel = false;
  std::int32_t channels = 0;  // (49)
  bool hasChannels = false;
  std::int32_t length = 0;  // milliseconds (50)
  bool hasLength = false;
};

struct Mp3Tags {
  std::string track;     // 51
  std::string title;     // 52
  std::string artist;    // 53
  std::string album;     // 54
  std::string year;      // 55
  std::string genre;     // 56
  std::string comments;  // 57
  // Hidden tag fields that no column shows.
  std::string composer;
  std::string origArtist;
  std::string copyright;
  std::string url;
  std::string encodedBy;
};

}  // namespace orvane
