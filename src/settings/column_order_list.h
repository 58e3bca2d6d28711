// CColumnOrderList: the column order list of the "Output options" page without its window.
//
// One entry per column that is not folded into the Name cell (ids 2, 5, 6, ..., 57), each with
// its alignment; the Name entry stands for the whole name group (ids 0 to 4). An entry's item
// data keeps the column id in the low 16 bits and the alignment code in the high 16 bits.
// Plain value type; used on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/listing_options.h"

namespace orvane {

class CColumnOrderList {
 public:
  CColumnOrderList() { RestoreDefault(); }

  // Every column that has its own entry, in id order, with its default alignment.
  void RestoreDefault();

  std::size_t Size() const { return m_entries.size(); }
  int ColumnAt(std::size_t index) const { return static_cast<int>(m_entries[index] & 0xFFFF); }
  int AlignAt(std::size_t index) const { return static_cast<int>(m_entries[index] >> 16); }
  const std::vector<std::uint32_t>& Entries() const { return m_entries; }

  // Sets the alignment code (0 left, 1 right, 2 center) of an entry; other codes are ignored.
  void SetAlign(std::size_t index, int align);
  // Moves an entry to another position (both clamped to the list).
  void Move(std::size_t from, std::size_t to);

  // The stored form: "column,align" pairs joined by "|", in list order.
  std::string Encode() const;
  // Reads a stored value: the default list first, then for each pair the first entry of that
  // column from the target position on gets the pair's alignment and moves to the target
  // position; the target advances by one per pair, found or not. An empty value changes
  // nothing. Alignment codes other than 0, 1, 2 give the column's default alignment.
  void Decode(std::string_view value);

  // Writes the order (the Name entry expanded to ids 0 to 4) and the alignments.
  void ApplyTo(CListingOptions& options) const;

 private:
  std::vector<std::uint32_t> m_entries;
};

}  // namespace orvane
