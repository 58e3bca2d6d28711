// Orvane's entry point: the command line, the configuration and a listing without the window.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_startup.h"
#include "app/batch_options.h"
#include "app/batch_run.h"

namespace {

bool IsBatchOption(const std::string& arg) {
  return arg.size() > 2 && arg.compare(0, 2, "--") == 0 && arg != "--help" && arg != "--version" &&
         arg != "--list-columns";
}

// Joins each "--name value" of the batch options into "--name=value", so the command line
// parser can keep every such option as one argument. False (with error) for an option the
// batch options do not know or a value they cannot use.
bool JoinBatchOptions(const std::vector<std::string>& args, std::vector<std::string>& out,
                      std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!IsBatchOption(args[i])) {
      out.push_back(args[i]);
      continue;
    }
    std::size_t end = i;
    orvane::CListingOptions scratch;
    if (!orvane::ParseBatchOption(args, end, scratch, error)) return false;
    out.push_back(end > i ? args[i] + "=" + args[end] : args[i]);
    i = end;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  // Case folding of names needs a Unicode character type even under the plain C locale.
  if (const char* ctype = std::setlocale(LC_CTYPE, nullptr);
      ctype && (std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0))
    std::setlocale(LC_CTYPE, "C.UTF-8");

  std::vector<std::string> args;
  std::string error;
  if (!JoinBatchOptions(std::vector<std::string>(argv + 1, argv + argc), args, error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    return orvane::kExitUsage;
  }
  orvane::CStartupServices services = orvane::DefaultStartupServices();
  services.moreHelp =
      std::string(
          "\nBatch options (they change the options of the configuration for this run):\n") +
      orvane::BatchOptionsHelp();
  services.runListing = [](const orvane::CListingOptions& options,
                           const orvane::SelectionMap& selection, int kind,
                           const std::string& output) {
    return orvane::RunListing(options, orvane::CheckedDirsOfSelection(selection),
                              static_cast<orvane::ListingRequest>(kind), output, true);
  };
  services.applyBatchOptions = [](const std::vector<std::string>& options,
                                  orvane::CListingOptions& into, std::string& message) {
    for (std::size_t i = 0; i < options.size(); ++i) {
      if (!orvane::ParseBatchOption(options, i, into, message)) return false;
    }
    into.DeriveFormats();
    into.ApplyEffectiveValues();
    return true;
  };
  return orvane::RunOrvane(args, services);
}
