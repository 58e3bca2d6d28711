// Fuzz target: compound files and the property sets inside them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fileinfo/compound_file.h"
#include "fileinfo/doc_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  orvane::DocProperties props;
  orvane::ReadDocumentProperties(bytes, props);
  // Every stream, not only the two property sets, to walk all chains the directory names.
  orvane::CompoundFile cf;
  if (cf.Open(bytes)) {
    std::vector<std::uint8_t> stream;
    for (std::size_t i = 0; i < cf.Entries().size() && i < 64; ++i)
      cf.ReadStream(static_cast<int>(i), 1 << 16, stream);
  }
  return 0;
}
