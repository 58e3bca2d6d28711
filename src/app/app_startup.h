// The start-up of Orvane without its window: parse the command line, load the configuration
// named with /o (or the settings file), then run list mode (/l: generate and save the
// listing), mail mode (/e: generate it and hand it to the mail program) or, with neither,
// interactive mode (the window, when it is built).
//
// The services the run needs (the listing generation, the desktop, the places of files) are
// passed in, so the whole sequence can be tested with fakes. A batch run never writes the
// settings file or the remembered selection. Runs on the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "engine/listing_options.h"
#include "settings/config_files.h"
#include "settings/option_pages.h"
#include "settings/selection_file.h"

namespace orvane {

// List mode without an output file, in the window: what the run hands to it.
struct CListWindowStart {
  std::string configPath;  // the /o file, else the settings file (only read)
  CheckedDirs selection;   // the directories to list, already read
  std::string selectionFile;
  bool removeSelection = false;  // /r: remove the selection file once the dialog has closed
  // The command line's "--" options, applied to each listing the window makes (may be empty).
  std::function<void(CListingOptions&)> adjustOptions;
};

struct CStartupServices {
  // Runs one generation of the kind (100 save, 102 e-mail) into outputPath ("-": standard
  // output) and waits for it.
  std::function<CListingResult(const CListingOptions&, const CheckedDirs&, int kind,
                               const std::string& outputPath)>
      runListing;
  // Applies the "--" batch options to the listing options; false with a message when they
  // cannot be used. May be empty (then any "--" option is an error).
  std::function<bool(const std::vector<std::string>&, CListingOptions&, std::string& error)>
      applyBatchOptions;
  std::function<bool(const std::string&)> openFile;                      // xdg-open
  std::function<bool()> mailAvailable;                                   // xdg-email on PATH
  std::function<bool(const std::string&, const std::string&)> sendMail;  // subject, file
  std::string settingsPath;   // the settings file ("" = none)
  std::string programFolder;  // quick configurations
  std::string tempFolder;     // e-mail attachments
  std::int64_t now = 0;       // seconds since 1970
  std::string moreHelp;       // printed after the usage text by --help
  // Opens the window (interactive mode) with the configuration to load (the /o file, else the
  // settings file) and returns the exit status; empty when Orvane was built without it.
  std::function<int(const std::string& configPath)> runWindow;
  // List mode without an output file: the minimised window asks where to save the listing.
  // Returns the exit status, or nothing when there is no display; empty when Orvane was built
  // without the window.
  std::function<std::optional<int>(const CListWindowStart&)> runListWindow;
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;
};

// The services of a real run (xdg tools, per-user folder, program folder, $TMPDIR, the clock,
// std::cout and std::cerr); runListing and applyBatchOptions are left to the caller.
CStartupServices DefaultStartupServices();

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // not written, cancelled, or not mailed
inline constexpr int kExitUsage = 2;   // the command line cannot be run

// Runs Orvane with the arguments after the program name; returns the exit status.
int RunOrvane(const std::vector<std::string>& args, const CStartupServices& services);

// Closing the main window: unless the run is a list or mail run, writes the settings file and,
// when "Remember dirs selection" (1257) is ticked, the remembered selection. Empty paths are
// skipped. False when a write failed (the window closes all the same, without a message).
bool SaveSessionOnClose(bool batchMode, const COptionPages& pages, const CNamedSettings& named,
                        const CheckedDirs& selection, const std::string& settingsPath,
                        const std::string& rememberedSelectionPath);

}  // namespace orvane
