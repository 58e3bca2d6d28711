// The HTML preview's column menu: which column a cell of the listing page belongs to, and what
// the menu's commands do to that column's entry in the column order list.
//
// The page names a cell's column only through its class ("aa".."cf", "fa".., "ka".. carry the
// column number; "i", "a", "q" and "headerq" are Name cells; header cells put "header" in
// front). Pure functions; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/column_order_list.h"

namespace orvane::ui {

enum class ColumnMenuCommand {
  kAlignLeft,
  kCenter,
  kAlignRight,
  kMoveLeft,
  kMoveRight,
  kRestoreDefault,
};

// The column number of a cell with these class names (blank-separated), or nothing when none
// of them names a column.
std::optional<int> ColumnOfCellClass(std::string_view classNames);

// The index of the column order entry that holds a column (the Name entry for the name group),
// or nothing.
std::optional<std::size_t> OrderEntryOf(const CColumnOrderList& order, int column);

// Applies a command to the column's entry: the alignments, a move by one place, or back to the
// column's default alignment and its place in the default order. False when nothing changed.
bool ApplyColumnMenuCommand(CColumnOrderList& order, int column, ColumnMenuCommand command);

// The text of the menu's first item: the header of the column's entry.
std::string ColumnMenuTitle(int column);

}  // namespace orvane::ui
