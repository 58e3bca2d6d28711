// Fuzz target: the start of a Matroska file, from memory and from a file (of which the reader
// takes only the head).
#include <cstddef>
#include <cstdint>

#include "fileinfo/matroska_reader.h"
#include "fuzz_file.h"
#include "same_result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvane::MediaInfo media;
  orvane::ReadMatroskaBytes({data, size}, media);
  orvane::MediaInfo fileMedia;
  orvane::ReadMatroskaInfo(fuzzfile::InputFile::Get().Write(data, size), fileMedia);
  if (size > 0 && size <= orvane::kMatroskaHeadBytes) fuzzcheck::ExpectSame(media, fileMedia);
  return 0;
}
