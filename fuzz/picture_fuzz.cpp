// Fuzz target for the picture reader: header tests and the JPEG segment walk, from memory and
// from a file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/picture_reader.h"
#include "fuzz_file.h"
#include "same_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  const bool read = orvane::ReadPictureBytes(std::span<const std::uint8_t>(data, size), media);
  orvane::MediaInfo fileMedia;
  if (orvane::ReadPictureInfo(fuzzfile::InputFile::Get().Write(data, size), fileMedia) != read)
    __builtin_trap();
  fuzzcheck::ExpectSame(media, fileMedia);
  return 0;
}
