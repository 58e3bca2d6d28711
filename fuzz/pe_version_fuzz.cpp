// Fuzz target of the version-resource reader: the input is a whole file image, from memory and
// from a file, and also a bare version block.
#include <cstddef>
#include <cstdint>
#include <span>
#include <tuple>

#include "fileinfo/pe_version.h"
#include "fuzz_file.h"

namespace {

auto Fields(const orvane::VersionInfo& v) {
  return std::tie(v.fileVersion, v.fileVersionNumber, v.productVersion, v.productVersionNumber,
                  v.productName, v.comments, v.company, v.description, v.copyright, v.language);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  orvane::VersionInfo info;
  const bool read = orvane::ReadVersionInfo(bytes, info);
  orvane::VersionInfo fileInfo;
  if (orvane::ReadVersionInfo(fuzzfile::InputFile::Get().Write(data, size), fileInfo) != read ||
      Fields(info) != Fields(fileInfo))
    __builtin_trap();
  orvane::VersionInfo block;
  orvane::ParseVersionResource(bytes, block);
  return 0;
}
