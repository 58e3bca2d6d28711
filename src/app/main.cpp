// Orvane's batch entry: orvane -l SELECTION OUTPUT [--options].
#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/batch_options.h"
#include "app/batch_run.h"
#include "engine/listing_engine.h"
#include "engine/strings.h"
#include "engine/unicode.h"

namespace {

using orvane::CListingOptions;

// Reads a selection file: lines "code|path", UTF-8 with BOM or UTF-16LE; only codes 2 and 3.
bool ReadSelection(const std::string& file, std::map<std::string, std::string>& out) {
  std::ifstream f(file, std::ios::binary);
  if (!f) return false;
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::string text;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text = bytes.substr(3);
  } else {
    std::size_t skip = bytes.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0;
    text = orvane::Utf16LeToUtf8(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()) + skip,
                                      bytes.size() - skip),
        false);
  }
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t bar = line.find('|');
    std::string code = line.substr(0, bar);
    if (code != "2" && code != "3") continue;
    std::string path = bar == std::string::npos ? std::string() : line.substr(bar + 1);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (!path.empty()) out[path] = code;
  }
  return true;
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char* cwd = getcwd(nullptr, 0);
  std::string base = cwd ? cwd : ".";
  std::free(cwd);
  std::string p = path == "." ? std::string() : path;
  if (p.compare(0, 2, "./") == 0) p = p.substr(2);
  return p.empty() ? base : (base == "/" ? "/" + p : base + "/" + p);
}

void Usage(FILE* to) {
  std::fprintf(to,
               "Usage: orvane -l SELECTION OUTPUT [options]\n"
               "  SELECTION  a selection file (.ovs) or a directory (listed with its "
               "subdirectories)\n"
               "  OUTPUT     the listing file to write\n"
               "  --help     show this text;  --version  show the version\n\n%s",
               orvane::BatchOptionsHelp());
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  // Case folding of names needs a Unicode character type even under the plain C locale.
  if (const char* ctype = std::setlocale(LC_CTYPE, nullptr);
      ctype && (std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0))
    std::setlocale(LC_CTYPE, "C.UTF-8");
  std::vector<std::string> args(argv + 1, argv + argc);
  CListingOptions options;
  std::string selection, output;
  bool list = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      return 0;
    }
    if (a == "--version") {
      std::printf("%s %s\n", orvane::kProgramName, ORVANE_VERSION);
      return 0;
    }
    if (a == "-l" || a == "/l" || a == "-L" || a == "/L") {
      if (i + 2 >= args.size()) {
        std::fprintf(stderr, "orvane: -l needs a selection and an output file\n");
        return 2;
      }
      list = true;
      selection = args[++i];
      output = args[++i];
      continue;
    }
    if (a.compare(0, 2, "--") == 0) {
      std::string error;
      if (!orvane::ParseBatchOption(args, i, options, error)) {
        std::fprintf(stderr, "orvane: %s\n", error.c_str());
        return 2;
      }
      continue;
    }
    std::fprintf(stderr, "orvane: unexpected argument %s (see --help)\n", a.c_str());
    return 2;
  }
  if (!list) {
    Usage(stderr);
    return 2;
  }
  std::map<std::string, std::string> checked;
  struct stat st;
  if (stat(selection.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::string dir = Absolute(selection);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    checked[dir] = "3";
  } else if (!ReadSelection(selection, checked)) {
    std::fprintf(stderr, "orvane: cannot read the selection %s: %s\n", selection.c_str(),
                 std::strerror(errno));
    return 1;
  }
  options.DeriveFormats();
  options.ApplyEffectiveValues();
  orvane::BatchResult r = orvane::RunListing(options, checked, orvane::kRequestSave, output, true);
  if (!r.ok) {
    std::fprintf(stderr, "orvane: %s\n", r.error.c_str());
    return 1;
  }
  return 0;
}
