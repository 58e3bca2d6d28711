// The genre names of the one-byte ID3v1 genre field. Constant data, safe from any thread.
#pragma once

#include <string_view>

namespace orvane {

// Number of named ID3v1 genres (indices 0 to 147).
inline constexpr int kId3v1GenreCount = 148;

// Name of an ID3v1 genre byte; "Unknown" for any value past the table.
std::string_view Id3v1GenreName(int genre);

}  // namespace orvane
