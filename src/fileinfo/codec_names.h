// Names of video codecs and sound formats, for the format columns of AVI and WAV files.
//
// Orvane carries its own tables: a video codec is known when its four-character code is in the
// table (a code that is not counts as a codec without a decompressor), and a wave format tag
// gives the name of its sound format. Pure lookups, safe from any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// The name of the video codec with the given four-character code (the little-endian number
// of its four characters, as stored in AVI headers). Letters match in either case ("divx" is
// DIVX). Empty when the code is unknown.
std::string_view VideoCodecName(std::uint32_t fourcc);

// The name of the sound format with the given wave format tag (1 "PCM", 0x55 "MPEG Layer-3",
// ...). Empty when the tag is unknown.
std::string_view WaveFormatName(std::uint16_t tag);

}  // namespace orvane
