// Video and sound information of Matroska files (.mkv, .mka) from the first 16,384 bytes:
// codec identifiers, picture size, frame rate, sampling frequency, bits per sample, channels
// and duration.
//
// Only elements that lie wholly within those bytes are used (the segment excepted), so a file
// whose track list starts later shows only what comes before it. Only what could be read is
// set. Reentrant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/media_info.h"

namespace orvane {

inline constexpr std::size_t kMatroskaHeadBytes = 16384;

// Reads the first kMatroskaHeadBytes of the file at path.
void ReadMatroskaInfo(const std::string& path, MediaInfo& media);
// The same for the start of a file in memory (bytes past kMatroskaHeadBytes are ignored).
void ReadMatroskaBytes(std::span<const std::uint8_t> head, MediaInfo& media);

}  // namespace orvane
