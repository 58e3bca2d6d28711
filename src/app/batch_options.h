// The batch command's "--" options: each maps onto a field of the listing options record, the
// same fields the option pages and configuration files set.
#pragma once

#include <string>
#include <vector>

#include "engine/listing_options.h"

namespace orvane {

// Parses one "--name" or "--name=value" option; `args`/`index` give the following argument
// for options that take a value (index is advanced past it). Returns false with `error` set
// for an unknown option or a bad value.
bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& index,
                      CListingOptions& options, std::string& error);

// Column list "2,5-7,20": ids and ranges. False on a bad list.
bool ParseColumnList(const std::string& text, std::vector<int>& ids);

// The help text of the "--" options.
const char* BatchOptionsHelp();

}  // namespace orvane
