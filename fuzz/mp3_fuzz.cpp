// Fuzz target for the MP3 reader: frame search, Xing header and both ID3 tags, from memory and
// from a file named like an MP3 file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/mp3_reader.h"
#include "fuzz_file.h"
#include "same_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::Mp3Tags tags;
  const bool read = orvane::ReadMp3Bytes(std::span<const std::uint8_t>(data, size), media, tags);
  orvane::MediaInfo fileMedia;
  orvane::Mp3Tags fileTags;
  const std::string& path = fuzzfile::InputFile::Get(".mp3").Write(data, size);
  if (orvane::ReadMp3Info(path, fileMedia, fileTags) != read) __builtin_trap();
  fuzzcheck::ExpectSame(media, fileMedia);
  fuzzcheck::ExpectSame(tags, fileTags);
  // The ID3v2 text decoder on its own, with the first byte choosing the frame kind.
  if (size > 0)
    orvane::DecodeId3v2Text(std::span<const std::uint8_t>(data + 1, size - 1), data[0] & 1);
  return 0;
}
