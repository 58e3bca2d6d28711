// Fuzz target: the start of a Matroska file.
#include <cstddef>
#include <cstdint>

#include "fileinfo/matroska_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::ReadMatroskaBytes({data, size}, media);
  return 0;
}
