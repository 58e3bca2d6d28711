// Columns by name for the command line: the batch name of each column, finding a column by name
// or number, column lists, the --list-columns text, and the nearest name to a misspelt one.
// Pure functions; safe from any thread once the column catalogue is no longer renamed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/column_ids.h"

namespace orvane {

// The name of a column as the batch options take it: "last-write-date".
std::string ColumnName(ColumnId id);

// The column named by text (a number or a name, see above); none with `error` set when no
// column or more than one has that name.
std::optional<ColumnId> FindColumn(const std::string& text, std::string& error);

// Column list "name,size,20-22": names, ids and ranges of ids. False with `error` on a bad list.
bool ParseColumnList(const std::string& text, std::vector<ColumnId>& ids, std::string& error);

// The text of --list-columns: one line per column with its id, name and what fills it.
std::string ColumnListText();

// A number of at most nine decimal digits and nothing else.
bool ParseSmallNumber(const std::string& text, int& out);

// The candidate closest to text by edit distance (the first of equally close ones).
std::string NearestName(const std::string& text, const std::vector<std::string>& candidates);

}  // namespace orvane
