// Fuzz target for the picture reader: header tests and the JPEG segment walk, from memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/picture_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::ReadPictureBytes(std::span<const std::uint8_t>(data, size), media);
  return 0;
}
