// Video and sound information of AVI and WAV files: codec and sound format names, picture
// size, frames, frame rate, sampling frequency, bits per sample, channels and playing time.
//
// The streams come from the RIFF reader; the last video stream and the last audio stream decide
// the values, and the length runs from the earliest stream start to the latest stream end. Only
// what could be read is set; a file that is not AVI or WAV leaves the record untouched.
// Reentrant; each call uses its own file handle.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/media_info.h"

namespace orvane {

class ByteSource;

// Reads the AVI or WAV file at path. size is the file's size from the directory entry; an
// empty file is not opened.
void ReadAviInfo(const std::string& path, std::uint64_t size, MediaInfo& media);
// The same for bytes from a source (the whole file) or in memory.
void ReadAviSource(const ByteSource& source, MediaInfo& media);
void ReadAviBytes(std::span<const std::uint8_t> bytes, MediaInfo& media);

}  // namespace orvane
