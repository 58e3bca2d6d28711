// Fuzz target: the zip lister's walk of end records and central directories, from memory and
// through the file's read windows; both must list the same members.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/zip_lister.h"
#include "fuzz_file.h"
#include "member_name_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzcheck::NameCheckingSink sink;
  orvane::ListZipArchive(std::span<const std::uint8_t>(data, size), "/fuzz", "a.zip", sink, 0);
  fuzzfile::InputFile& file = fuzzfile::InputFile::Get();
  file.Write(data, size);
  fuzzcheck::NameCheckingSink fileSink;
  orvane::ListZipArchive(file.Dir(), file.Name(), fileSink, 0);
  if (!(sink == fileSink)) __builtin_trap();
  return 0;
}
