// Fuzz target: RAR 4 and RAR 5 headers, with and without header checksums, from memory and
// from a file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/rar_lister.h"
#include "fileinfo/rar_reader.h"
#include "fuzz_file.h"
#include "member_name_check.h"

namespace {

// The longest name the RAR lister keeps, in code points.
constexpr std::size_t kMaxNameChars = 1023;

// Walks the headers with checksums off, so mutations reach the field parsing behind them. Every
// decoded name goes through the name cleaning; the bits of `skipMask` choose which headers'
// data is skipped explicitly and which is left for the next ReadHeader to pass over.
std::vector<std::string> WalkUnchecked(orvane::RarReader& reader, std::uint8_t skipMask) {
  std::vector<std::string> names;
  reader.SetCheckHeaderCrc(false);
  orvane::RarFileHeader h;
  for (unsigned i = 0; reader.ReadHeader(h) == orvane::RarStatus::kOk; ++i) {
    fuzzcheck::CheckStoredName(h.name, kMaxNameChars);
    names.push_back(h.name);
    if ((skipMask >> (i % 8)) & 1) {
      if (reader.Skip() != orvane::RarStatus::kOk) break;
    }
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  fuzzfile::InputFile& file = fuzzfile::InputFile::Get();
  const std::string& path = file.Write(data, size);
  // The last byte picks the skips; it is part of the archive too, usually its end block.
  const std::uint8_t skipMask = size > 0 ? static_cast<std::uint8_t>(~data[size - 1]) : 0xFF;

  orvane::RarReader memoryReader;
  orvane::RarReader fileReader;
  memoryReader.SetCheckHeaderCrc(false);
  fileReader.SetCheckHeaderCrc(false);
  const orvane::RarStatus opened = memoryReader.Open(bytes);
  if (fileReader.Open(path) != opened) __builtin_trap();
  if (opened == orvane::RarStatus::kOk &&
      WalkUnchecked(memoryReader, skipMask) != WalkUnchecked(fileReader, skipMask))
    __builtin_trap();

  fuzzcheck::NameCheckingSink sink;
  orvane::ListRarArchive(bytes, "/fuzz", "a.rar", sink, 0);
  fuzzcheck::NameCheckingSink fileSink;
  orvane::ListRarArchive(file.Dir(), file.Name(), fileSink, 0);
  if (!(sink == fileSink)) __builtin_trap();
  return 0;
}
