// The media dispatcher: picks the reader of a file's multimedia properties by its extension
// (pictures, AVI/WAV, Windows Media, Matroska) and lets the MP3 reader fill MP3 files. Reentrant.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fileinfo/media_info.h"

namespace orvane {

// Reader groups of the extension table.
enum MediaGroup : int {
  kMediaNone = 0,
  kMediaDocument = 1,
  kMediaPicture = 2,
  kMediaSound = 3,
  kMediaVideo = 4,
  kMediaWindowsMedia = 5,
  kMediaMatroska = 6,
};

struct MediaKind {
  int kind = 0;  // 0: not in the table
  int group = kMediaNone;
};

// Looks the text after the last "." of the path up (without regard to case).
MediaKind MediaKindOf(std::string_view path);

// Fills `media` (and, for Windows Media files, `tags`) by the file's extension. `size` is the
// file's size from the directory entry.
void ReadMediaInfo(const std::string& path, std::uint64_t size, MediaInfo& media, Mp3Tags& tags);

// True when the name ends in "mp3" (the MP3 reader's files).
bool IsMp3Name(std::string_view path);

}  // namespace orvane
