// Fuzz target: zip central directories as minizip reads them through our memory reader.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/zip_lister.h"
#include "member_name_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::NameCheckingSink sink;
  orvane::ListZipArchive(std::span<const std::uint8_t>(data, size), "/fuzz", "a.zip", sink, 0);
  return 0;
}
