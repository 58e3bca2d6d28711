// The column catalogue: header text, sort availability, folding and default alignment of the 58
// columns. One catalogue for the whole run; a language load may rename the columns (on the
// user-interface thread, while no generation runs).
#pragma once

#include <string>

#include "engine/listing_options.h"

namespace orvane {

enum Align : int { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

struct CColumnInfo {
  std::string m_strName;
  bool m_bFileSort = false;
  bool m_bDirSort = false;
  bool m_bFolded = false;
  int m_nDefaultAlign = kAlignLeft;
};

// The catalogue entry of a column id (0..57).
const CColumnInfo& ColumnInfo(int id);
// Renames a column (language files).
void SetColumnName(int id, std::string name);
// The label of a column's check box on the "Displayed columns" page.
const char* ColumnLabel(int id);
// The text width the options give a column when automatic widths are off.
int FixedColumnWidth(const CListingOptions& o, int id);

}  // namespace orvane
