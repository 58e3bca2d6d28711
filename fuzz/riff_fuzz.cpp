// Fuzz target: AVI and WAV files through the RIFF reader and the AVI values.
#include <cstddef>
#include <cstdint>

#include "fileinfo/avi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::ReadAviBytes({data, size}, media);
  return 0;
}
