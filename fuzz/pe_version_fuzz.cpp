// Fuzz target of the version-resource reader: the input is a whole file image, and also a bare
// version block.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  orvane::VersionInfo info;
  orvane::ReadVersionInfo(bytes, info);
  orvane::VersionInfo block;
  orvane::ParseVersionResource(bytes, block);
  return 0;
}
