// Windows Media files (.wma, .wmv, .asf): the objects of the Advanced Systems Format header give
// the video and sound information of the multimedia columns and the tags of the tag columns
// (title, artist, album, year, genre, track, comments, and the hidden composer, copyright and
// URL fields).
//
// Only the header is read, object by object; every declared size and count is checked against
// the bytes of the header object and of the file, and texts longer than 4,094 bytes are cut to
// their first 4,094 bytes. Only what could be read is set. Reentrant.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/media_info.h"

namespace orvane {

class ByteSource;

// Reads the file at path. kind is the dispatcher's file kind (18 wma, 19 wmv, 20 asf); all
// three are read alike.
void ReadAsfInfo(const std::string& path, int kind, MediaInfo& media, Mp3Tags& tags);
// The same for a whole file from a source or in memory.
void ReadAsfSource(const ByteSource& source, MediaInfo& media, Mp3Tags& tags);
void ReadAsfBytes(std::span<const std::uint8_t> bytes, MediaInfo& media, Mp3Tags& tags);

}  // namespace orvane
