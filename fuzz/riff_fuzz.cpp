// Fuzz target: AVI and WAV files through the RIFF reader and the AVI values, from memory and
// from a file.
#include <cstddef>
#include <cstdint>

#include "fileinfo/avi_reader.h"
#include "fuzz_file.h"
#include "same_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::ReadAviBytes({data, size}, media);
  orvane::MediaInfo fileMedia;
  orvane::ReadAviInfo(fuzzfile::InputFile::Get().Write(data, size), size, fileMedia);
  if (size > 0) fuzzcheck::ExpectSame(media, fileMedia);
  return 0;
}
