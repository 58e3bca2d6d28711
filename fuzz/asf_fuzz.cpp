// Fuzz target: Windows Media (ASF) headers, from memory and from a file.
#include <cstddef>
#include <cstdint>

#include "fileinfo/asf_reader.h"
#include "fuzz_file.h"
#include "same_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::Mp3Tags tags;
  orvane::ReadAsfBytes({data, size}, media, tags);
  orvane::MediaInfo fileMedia;
  orvane::Mp3Tags fileTags;
  orvane::ReadAsfInfo(fuzzfile::InputFile::Get().Write(data, size), 0, fileMedia, fileTags);
  fuzzcheck::ExpectSame(media, fileMedia);
  fuzzcheck::ExpectSame(tags, fileTags);
  return 0;
}
