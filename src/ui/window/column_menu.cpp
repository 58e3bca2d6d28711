#include "ui/window/column_menu.h"

#include "base/column_ids.h"
#include "engine/columns.h"

namespace orvane::ui {
namespace {

// The column number in a two-letter class made from the bases "aa", "fa" or "ka".
std::optional<int> DecodeClass(std::string_view name) {
  if (name.starts_with("header")) name.remove_prefix(6);
  if (name == "i" || name == "a" || name == "q") return ColumnNumber(ColumnId::kName);
  if (name.size() != 2 || name[1] < 'a' || name[1] > 'z') return std::nullopt;
  for (char base : {'a', 'f', 'k'}) {
    if (name[0] < base || name[0] > base + 2) continue;
    const int number = (name[0] - base) * 26 + (name[1] - 'a');
    if (IsColumnNumber(number)) return number;
  }
  return std::nullopt;
}

// The column whose entry holds a column: the Name entry for the columns folded into Name.
int EntryColumn(int column) {
  if (!IsColumnNumber(column)) return -1;
  return ColumnInfo(ColumnFromNumber(column)).m_bFolded ? ColumnNumber(ColumnId::kName) : column;
}

}  // namespace

std::optional<int> ColumnOfCellClass(std::string_view classNames) {
  while (!classNames.empty()) {
    const std::size_t blank = classNames.find(' ');
    std::string_view name = classNames.substr(0, blank);
    if (auto column = DecodeClass(name)) return column;
    if (blank == std::string_view::npos) break;
    classNames.remove_prefix(blank + 1);
  }
  return std::nullopt;
}

std::optional<std::size_t> OrderEntryOf(const CColumnOrderList& order, int column) {
  const int wanted = EntryColumn(column);
  for (std::size_t i = 0; i < order.Size(); ++i) {
    if (order.ColumnAt(i) == wanted) return i;
  }
  return std::nullopt;
}

bool ApplyColumnMenuCommand(CColumnOrderList& order, int column, ColumnMenuCommand command) {
  const std::optional<std::size_t> at = OrderEntryOf(order, column);
  if (!at) return false;
  const std::string before = order.Encode();
  switch (command) {
    case ColumnMenuCommand::kAlignLeft:
      order.SetAlign(*at, kAlignLeft);
      break;
    case ColumnMenuCommand::kCenter:
      order.SetAlign(*at, kAlignCenter);
      break;
    case ColumnMenuCommand::kAlignRight:
      order.SetAlign(*at, kAlignRight);
      break;
    case ColumnMenuCommand::kMoveLeft:
      if (*at > 0) order.Move(*at, *at - 1);
      break;
    case ColumnMenuCommand::kMoveRight:
      order.Move(*at, *at + 1);
      break;
    case ColumnMenuCommand::kRestoreDefault: {
      const CColumnOrderList defaults;
      const std::size_t home = *OrderEntryOf(defaults, column);
      order.SetAlign(*at, defaults.AlignAt(home));
      order.Move(*at, home);
      break;
    }
  }
  return order.Encode() != before;
}

std::string ColumnMenuTitle(int column) {
  const int entry = EntryColumn(column);
  return entry < 0 ? std::string() : ColumnInfo(ColumnFromNumber(entry)).m_strName;
}

}  // namespace orvane::ui
