// Sorting of directories and items by up to three keys with descending flags, "Subdirs in front
// of files", and a fixed tie-break; a final tie-break on the path makes two runs over the same
// tree give the same order. The settings travel with each generation's job; pure functions,
// safe from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/unicode.h"
#include "engine/listing_options.h"
#include "engine/records.h"

namespace orvane {

struct SortSettings {
  std::array<int, 3> m_nFileSortKey{kNotSorted, kNotSorted, kNotSorted};
  std::array<int, 3> m_bFileSortDesc{};
  std::array<int, 3> m_nDirSortKey{kNotSorted, kNotSorted, kNotSorted};
  std::array<int, 3> m_bDirSortDesc{};
  int m_bSubdirsFirst = 1;
  static SortSettings FromOptions(const CListingOptions& o);
};

// A value a sort key compares: nothing, a number, or a folded text.
struct SortValue {
  enum Kind : std::uint8_t { kNone, kSigned, kUnsigned, kText, kExact } kind = kNone;
  std::int64_t num = 0;
  std::uint64_t unum = 0;
  std::string text;  // folded for kText; as is for kExact
};

// Sort values: a text folded for sorting, and numbers.
SortValue TextValue(std::string_view s);
SortValue SignedValue(std::int64_t n);
SortValue UnsignedValue(std::uint64_t n);

// The value of an item or directory key (a column id); nothing for a column that does not sort
// them (see the column table).
SortValue ItemSortValue(const CFileRecord& r, int key);
SortValue DirSortValue(const CDirRecord& d, int key);

void SortItems(std::vector<CFileRecord*>& items, const SortSettings& s);
void SortDirs(std::vector<CDirRecord*>& dirs, const SortSettings& s);

}  // namespace orvane
