// The batch command's "--" options: each maps onto a field of the listing options record, the
// same fields the option pages and configuration files set. They are applied after the
// configuration, so a command line can change one thing of a saved configuration.
//
// Columns are named by number or by name. A column's name is its header text in lower case with
// "-" for blanks ("last-write-date"); the headers that occur more than once carry their group in
// front ("exe-comments", "doc-comments", "tag-comments", "doc-title", "tag-title"). The header
// and check-box texts themselves are accepted too, compared without regard to case and with "-",
// "_" or a blank between words. Pure functions; safe from any thread once the column catalogue
// is no longer renamed.
#pragma once

#include <string>
#include <vector>

#include "engine/listing_options.h"

namespace orvane {

// Parses one "--name" or "--name=value" option; `args`/`index` give the following argument
// for options that take a value (index is advanced past it). Returns false with `error` set
// (one line, naming the nearest valid option or column) for an unknown option or a bad value.
bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& index,
                      CListingOptions& options, std::string& error);

// The name of a column id (0..57) as the batch options take it: "last-write-date".
std::string ColumnName(int id);

// The column id named by text (a number or a name, see above); -1 with `error` set when no
// column or more than one has that name.
int FindColumn(const std::string& text, std::string& error);

// Column list "name,size,20-22": names, ids and ranges of ids. False with `error` on a bad list.
bool ParseColumnList(const std::string& text, std::vector<int>& ids, std::string& error);

// The text of --list-columns: one line per column with its id, name and what fills it.
std::string ColumnListText();

// The help text of the "--" options, one option per line.
const char* BatchOptionsHelp();

}  // namespace orvane
