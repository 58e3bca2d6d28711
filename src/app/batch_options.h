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

#include <functional>
#include <string>
#include <vector>

#include "app/column_names.h"
#include "engine/listing_options.h"

namespace orvane {

// The change one option makes to the listing options, ready to apply after the configuration.
using BatchEdit = std::function<void(CListingOptions&)>;

// Parses one "--name" or "--name=value" option into its edit; `args`/`index` give the following
// argument for options that take a value (index is advanced past it). Returns false with
// `error` set (one line, naming the nearest valid option or column) for an unknown option or a
// bad value. The options and their help come from one table.
bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& index, BatchEdit& edit,
                      std::string& error);

// The help text of the "--" options, one option per line (continued lines indented), made from
// the same table.
const char* BatchOptionsHelp();

}  // namespace orvane
