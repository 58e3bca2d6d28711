// One listing generated synchronously for the batch command: the engine runs its job on the
// worker thread while this thread shows progress on stderr and waits for the end.
#pragma once

#include <map>
#include <string>

#include "base/checked_dirs.h"
#include "engine/listing_job.h"
#include "engine/listing_options.h"

namespace orvane {

// How one generation ended.
struct CListingResult {
  bool ok = false;         // the listing file was written completely
  bool cancelled = false;  // the job was cancelled
  std::string error;       // one line saying what went wrong, when it did
};

// Generates the listing of `checkedDirs` for `request` into `outputPath` ("-": standard
// output, written only once the listing is complete). With showProgress the status line is
// written to stderr (rewritten in place when stderr is a terminal).
CListingResult RunListing(const CListingOptions& options, const CheckedDirs& checkedDirs,
                          ListingRequest request, const std::string& outputPath, bool showProgress);

}  // namespace orvane
