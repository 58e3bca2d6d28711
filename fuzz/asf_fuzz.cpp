// Fuzz target: Windows Media (ASF) headers.
#include <cstddef>
#include <cstdint>

#include "fileinfo/asf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::Mp3Tags tags;
  orvane::ReadAsfBytes({data, size}, media, tags);
  return 0;
}
