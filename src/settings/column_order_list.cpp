#include "settings/column_order_list.h"

#include <algorithm>

#include "base/numbers.h"
#include "engine/columns.h"
#include "writers/html_style.h"

namespace orvane {
namespace {

std::uint32_t MakeEntry(int column, int align) {
  return (static_cast<std::uint32_t>(align) << 16) | static_cast<std::uint32_t>(column);
}

bool ValidAlign(int align) {
  return align == kAlignLeft || align == kAlignRight || align == kAlignCenter;
}

}  // namespace

void CColumnOrderList::RestoreDefault() {
  m_entries.clear();
  for (ColumnId id : kAllColumns) {
    const CColumnInfo& info = ColumnInfo(id);
    if (!info.m_bFolded) m_entries.push_back(MakeEntry(ColumnNumber(id), info.m_nDefaultAlign));
  }
}

void CColumnOrderList::SetAlign(std::size_t index, int align) {
  if (index < m_entries.size() && ValidAlign(align))
    m_entries[index] = MakeEntry(ColumnAt(index), align);
}

void CColumnOrderList::Move(std::size_t from, std::size_t to) {
  if (m_entries.empty()) return;
  from = std::min(from, m_entries.size() - 1);
  to = std::min(to, m_entries.size() - 1);
  std::uint32_t entry = m_entries[from];
  m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(from));
  m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(to), entry);
}

std::string CColumnOrderList::Encode() const {
  std::string out;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (i) out += '|';
    out += std::to_string(ColumnAt(i)) + "," + std::to_string(AlignAt(i));
  }
  return out;
}

void CColumnOrderList::Decode(std::string_view value) {
  if (value.empty()) return;
  RestoreDefault();
  std::size_t target = 0;
  while (!value.empty() && target < m_entries.size()) {
    std::size_t bar = value.find('|');
    std::string_view pair = value.substr(0, bar);
    value = bar == std::string_view::npos ? std::string_view() : value.substr(bar + 1);
    std::size_t comma = pair.find(',');
    const int column = ParseDecimal(pair.substr(0, comma));
    int align = comma == std::string_view::npos ? 0 : ParseDecimal(pair.substr(comma + 1));
    for (std::size_t i = target; i < m_entries.size(); ++i) {
      if (ColumnAt(i) != column) continue;
      if (!ValidAlign(align)) align = ColumnInfo(ColumnFromNumber(column)).m_nDefaultAlign;
      m_entries[i] = MakeEntry(column, align);
      Move(i, target);
      break;
    }
    ++target;
  }
}

void CColumnOrderList::ApplyTo(CListingOptions& options) const {
  std::size_t slot = 0;
  auto put = [&](ColumnId id) {
    if (slot < options.m_columnOrder.size()) options.m_columnOrder[slot++] = id;
  };
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    // The entries hold only the numbers RestoreDefault put there.
    const ColumnId id = ColumnFromNumber(ColumnAt(i));
    options.m_nAlign[id] = AlignAt(i);
    if (id == ColumnId::kName) {
      for (ColumnId g : {ColumnId::kNumber, ColumnId::kPath, ColumnId::kName, ColumnId::kExtension,
                         ColumnId::kCount})
        put(g);
    } else {
      put(id);
    }
  }
}

}  // namespace orvane
