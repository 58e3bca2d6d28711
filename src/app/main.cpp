// Orvane's entry point: the command line, the configuration and a listing without the window.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_startup.h"
#include "app/batch_options.h"
#include "app/batch_run.h"
#include "app/command_line.h"
#ifdef ORVANE_WINDOW
#include "ui/window/window_main.h"
#elif defined(ORVANE_WINDOW_PROGRAM)
#include "platform/window_program.h"
#endif

namespace {

bool IsBatchOption(const std::string& arg) {
  return arg.size() > 2 && arg.compare(0, 2, "--") == 0 && arg != "--help" && arg != "--version" &&
         arg != "--list-columns";
}

// Takes the batch options out of the arguments, each parsed once into its edit, and joins each
// "--name value" into "--name=value" so that the command line parser keeps every such option as
// one argument. False (with error) for an option the batch options do not know or a value they
// cannot use.
bool TakeBatchOptions(const std::vector<std::string>& args, std::vector<std::string>& out,
                      std::vector<orvane::BatchEdit>& edits, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!IsBatchOption(args[i])) {
      out.push_back(args[i]);
      continue;
    }
    std::size_t end = i;
    if (!orvane::ParseBatchOption(args, end, edits.emplace_back(), error)) return false;
    out.push_back(end > i ? args[i] + "=" + args[end] : args[i]);
    i = end;
  }
  return true;
}

// The picture check: "--screenshot FILE.png [/o CONFIG] [SELECTION]". Takes the option and the
// selection out of args (leaving /o CONFIG for the command line parser). False with error for
// a command line it cannot run.
bool TakeScreenshotOption(std::vector<std::string>& args, std::string& file, std::string& selection,
                          std::string& error) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.starts_with("--screenshot=")) {
      file = arg.substr(13);
    } else if (arg == "--screenshot") {
      if (i + 1 >= args.size()) {
        error = "--screenshot needs a file name";
        return false;
      }
      file = args[++i];
    } else {
      rest.push_back(arg);
    }
  }
  if (file.empty()) return true;
  args.clear();
  for (std::size_t i = 0; i < rest.size(); ++i) {
    std::string text;
    if (!orvane::SplitSwitch(rest[i], text, orvane::GetPathKind)) {
      selection = rest[i];
    } else if (text.starts_with("o")) {
      args.push_back(rest[i]);
      if (i + 1 < rest.size()) args.push_back(rest[++i]);
    } else {
      error = "--screenshot takes only /o CONFIG and a selection, not " + rest[i];
      return false;
    }
  }
  return true;
}

#if defined(ORVANE_WINDOW) || defined(ORVANE_WINDOW_PROGRAM)
constexpr const char* kScreenshotHelp =
    "\nA picture of the window, for checks without a person:\n"
    "  orvane --screenshot FILE.png [/o CONFIG] [SELECTION]\n"
    "      opens the window with CONFIG and the selection file or directory SELECTION,\n"
    "      waits until the preview shows the listing, saves a picture of the whole window\n"
    "      to FILE.png and exits (status 0 when it was written); ORVANE_SCREENSHOT_PAGE=2,\n"
    "      3 or 4 shows that option page. Any Qt platform will do, offscreen included.\n";
#endif

// Numbers in the C form, everything else from the environment; case folding of names needs a
// Unicode character type even under the plain C locale.
void SetUpLocale() {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  if (const char* ctype = std::setlocale(LC_CTYPE, nullptr);
      ctype && (std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0))
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

// The start-up's services for a listing without the window: the help text, the listing run and
// the batch options, parsed before and applied in the order given.
orvane::CStartupServices BatchServices(const std::vector<orvane::BatchEdit>& edits) {
  orvane::CStartupServices services = orvane::DefaultStartupServices();
  services.moreHelp =
      std::string(
          "\nBatch options (they change the options of the configuration for this run):\n") +
      orvane::BatchOptionsHelp();
#if defined(ORVANE_WINDOW) || defined(ORVANE_WINDOW_PROGRAM)
  services.moreHelp += kScreenshotHelp;
#endif
  services.runListing = [](const orvane::CListingOptions& options,
                           const orvane::CheckedDirs& selection, int kind,
                           const std::string& output) {
    return orvane::RunListing(options, selection, static_cast<orvane::ListingRequest>(kind), output,
                              true);
  };
  services.applyBatchOptions = [&edits](const std::vector<std::string>&,
                                        orvane::CListingOptions& into, std::string&) {
    for (const orvane::BatchEdit& edit : edits) edit(into);
    into.DeriveFormats();
    into.ApplyEffectiveValues();
    return true;
  };
  return services;
}

}  // namespace

int main(int argc, char** argv) {
  SetUpLocale();
  std::vector<std::string> args;
  std::vector<orvane::BatchEdit> edits;
  std::string error;
  std::vector<std::string> given(argv + 1, argv + argc);
  std::string screenshot;
  std::string selection;
  if (!TakeScreenshotOption(given, screenshot, selection, error) ||
      !TakeBatchOptions(given, args, edits, error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    return orvane::kExitUsage;
  }
  orvane::CStartupServices services = BatchServices(edits);
#ifdef ORVANE_WINDOW
  services.runWindow = [&](const std::string& configPath) {
    return orvane::ui::RunWindow(argc, argv, {configPath, screenshot, selection});
  };
  services.runListWindow = [&](const orvane::CListWindowStart& start) -> std::optional<int> {
    if (!orvane::ui::DisplayAvailable()) return std::nullopt;
    return orvane::ui::RunListWindow(argc, argv, start);
  };
#elif defined(ORVANE_WINDOW_PROGRAM)
  // The window is a program of its own (see window_program.h); it parses the command line again.
  if (!screenshot.empty()) return orvane::RunWindowProgram(argv);
  services.runWindow = [argv](const std::string&) { return orvane::RunWindowProgram(argv); };
  services.runListWindow = [argv](const orvane::CListWindowStart&) -> std::optional<int> {
    if (!orvane::DisplayNamed()) return std::nullopt;
    return orvane::RunWindowProgram(argv);
  };
#else
  if (!screenshot.empty()) {
    std::fprintf(stderr, "orvane: --screenshot needs the window, which this build leaves out\n");
    return orvane::kExitUsage;
  }
#endif
  return orvane::RunOrvane(args, services);
}
