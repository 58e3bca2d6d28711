// The column table: for each of the 58 columns its header text, sort availability, folding,
// default alignment and fixed width, which readers load its information, how an item's cell is
// made and how items and directories sort by it. One catalogue for the whole run; a language
// load may rename the columns (on the user-interface thread, while no generation runs).
// Everything else in the table is constant and safe from any thread.
#pragma once

#include <string>

#include "engine/formatting.h"
#include "engine/listing_options.h"
#include "engine/records.h"
#include "engine/sorting.h"

namespace orvane {

enum Align : int { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

struct CColumnInfo {
  std::string m_strName;
  bool m_bFileSort = false;
  bool m_bDirSort = false;
  bool m_bFolded = false;
  int m_nDefaultAlign = kAlignLeft;
};

// The readers that load the information of a column (bits; a column may need two).
enum ColumnReader : unsigned {
  kReadNone = 0,
  kReadType = 1u << 0,     // the type name, from the name alone
  kReadOwner = 1u << 1,    // the owner of the path
  kReadVersion = 1u << 2,  // the version resource of a program file
  kReadCrc32 = 1u << 3,    // the checksums, all in one pass over the file
  kReadMd5 = 1u << 4,
  kReadSha1 = 1u << 5,
  kReadDocument = 1u << 6,  // the property sets of a compound document
  kReadMedia = 1u << 7,     // pictures, video and audio
  kReadMp3 = 1u << 8,       // MP3 audio values and tags, after the media reader
  kReadFileContents =
      kReadVersion | kReadCrc32 | kReadMd5 | kReadSha1 | kReadDocument | kReadMedia | kReadMp3,
};

// What an item cell is formatted with.
struct CellFormat {
  const CListingOptions& options;
  const NumberFormat& numbers;
};

struct ColumnSpec {
  using ItemCell = void (*)(const CFileRecord& rec, const CellFormat& format, std::string& cell);
  using ItemSort = SortValue (*)(const CFileRecord& rec);
  using DirSort = SortValue (*)(const CDirRecord& dir);

  const char* header;  // the title in a listing
  const char* label;   // the check box on the "Displayed columns" page
  bool fileSort, dirSort, folded;
  int align;
  int width;           // the fixed text width when > 0; else one of the width rules
  unsigned readers;    // ColumnReader bits
  bool filesOnly;      // subdirectory rows leave the cell empty
  ItemCell itemCell;   // null: the row fills it (number, path, name)
  ItemSort itemSort;   // null: items do not sort by it
  DirSort dirSortKey;  // null: directories do not sort by it
};

// The table row of a column id (0..57).
const ColumnSpec& ColumnSpecOf(ColumnId id);
// The readers the shown columns of the options need.
unsigned ShownColumnReaders(const CListingOptions& o);

// The catalogue entry of a column id (0..57).
const CColumnInfo& ColumnInfo(ColumnId id);
// Renames a column (language files).
void SetColumnName(ColumnId id, std::string name);
// The label of a column's check box on the "Displayed columns" page.
const char* ColumnLabel(ColumnId id);
// The text width the options give a column when automatic widths are off.
int FixedColumnWidth(const CListingOptions& o, ColumnId id);

}  // namespace orvane
