// One listing generated synchronously for the batch command: the engine runs its job on the
// worker thread while this thread shows progress on stderr and waits for the end.
#pragma once

#include <map>
#include <string>

#include "engine/listing_options.h"

namespace orvane {

struct BatchResult {
  bool ok = false;         // the listing file was written completely
  bool cancelled = false;  // the job was cancelled
  std::string error;       // one line saying what went wrong
};

// Generates the listing of `checkedDirs` (path -> "2" this directory only, "3" with its
// subdirectories) for `request` (100 save ... 104) into `outputPath`. With showProgress the
// status line is written to stderr (rewritten in place when stderr is a terminal).
BatchResult RunListing(const CListingOptions& options,
                       const std::map<std::string, std::string>& checkedDirs, int request,
                       const std::string& outputPath, bool showProgress);

}  // namespace orvane
