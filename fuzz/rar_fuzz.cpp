// Fuzz target: RAR 4 and RAR 5 headers, with and without header checksums.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/rar_lister.h"
#include "fileinfo/rar_reader.h"
#include "member_name_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  // Checksums off, so mutations reach the field parsing behind them.
  orvane::RarReader reader;
  reader.SetCheckHeaderCrc(false);
  if (reader.Open(bytes) == orvane::RarStatus::kOk) {
    orvane::RarFileHeader h;
    while (reader.ReadHeader(h) == orvane::RarStatus::kOk &&
           reader.Skip() == orvane::RarStatus::kOk) {
    }
  }
  fuzzcheck::NameCheckingSink sink;
  orvane::ListRarArchive(bytes, "/fuzz", "a.rar", sink, 0);
  return 0;
}
