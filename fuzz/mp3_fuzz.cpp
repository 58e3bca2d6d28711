// Fuzz target for the MP3 reader: frame search, Xing header and both ID3 tags, from memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/mp3_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::Mp3Tags tags;
  orvane::ReadMp3Bytes(std::span<const std::uint8_t>(data, size), media, tags);
  // The ID3v2 text decoder on its own, with the first byte choosing the frame kind.
  if (size > 0)
    orvane::DecodeId3v2Text(std::span<const std::uint8_t>(data + 1, size - 1), data[0] & 1);
  return 0;
}
