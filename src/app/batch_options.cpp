#include "app/batch_options.h"

#include <cstdlib>

#include "engine/columns.h"
#include "engine/unicode.h"

namespace orvane {
namespace {

bool ToInt(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 10);
  if (*end) return false;
  out = static_cast<int>(v);
  return true;
}

// A sort key: a column id or header name, "-" in front for descending, "none" for not sorted.
bool ParseSortKeys(const std::string& text, std::array<int, 3>& keys, std::array<int, 3>& desc,
                   bool dirs) {
  keys = {kNotSorted, kNotSorted, kNotSorted};
  desc = {0, 0, 0};
  std::size_t pos = 0;
  for (int k = 0; k < 3 && pos <= text.size(); ++k) {
    std::size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    std::string key = AsciiLower(text.substr(pos, end - pos));
    pos = end + 1;
    if (key.empty()) return false;
    if (key[0] == '-') {
      desc[static_cast<std::size_t>(k)] = 1;
      key.erase(0, 1);
    }
    int id = -1;
    if (key == "none") {
      id = kNotSorted;
    } else if (!ToInt(key, id)) {
      for (int i = 0; i < kColumnCount; ++i)
        if (AsciiLower(ColumnInfo(i).m_strName) == key) {
          id = i;
          break;
        }
    }
    if (id != kNotSorted) {
      if (id < 0 || id >= kColumnCount) return false;
      if (dirs ? !ColumnInfo(id).m_bDirSort : !ColumnInfo(id).m_bFileSort) return false;
    }
    keys[static_cast<std::size_t>(k)] = id;
    if (end == text.size()) break;
  }
  return true;
}

}  // namespace

bool ParseColumnList(const std::string& text, std::vector<int>& ids) {
  ids.clear();
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(pos, end - pos);
    pos = end + 1;
    std::size_t dash = item.find('-');
    int a = 0, b = 0;
    if (dash == std::string::npos) {
      if (!ToInt(item, a)) return false;
      b = a;
    } else if (!ToInt(item.substr(0, dash), a) || !ToInt(item.substr(dash + 1), b)) {
      return false;
    }
    if (a < 0 || b >= kColumnCount || a > b) return false;
    for (int i = a; i <= b; ++i) ids.push_back(i);
    if (end == text.size()) break;
  }
  return !ids.empty();
}

bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& index, CListingOptions& o,
                      std::string& error) {
  std::string name = args[index];
  std::string value;
  bool hasValue = false;
  if (auto eq = name.find('='); eq != std::string::npos) {
    value = name.substr(eq + 1);
    name = name.substr(0, eq);
    hasValue = true;
  }
  auto take = [&]() -> bool {
    if (hasValue) return true;
    if (index + 1 >= args.size()) {
      error = name + " needs a value";
      return false;
    }
    value = args[++index];
    return true;
  };
  auto bad = [&]() {
    error = "bad value for " + name + ": " + value;
    return false;
  };
  auto flag = [&](int& field, int v) {
    field = v;
    return true;
  };
  if (name == "--type") {
    if (!take()) return false;
    std::string v = AsciiLower(value);
    if (v == "text" || v == "txt") return flag(o.m_nOutputType, kOutputText);
    if (v == "html") return flag(o.m_nOutputType, kOutputHtml);
    if (v == "csv") return flag(o.m_nOutputType, kOutputCsv);
    return bad();
  }
  if (name == "--encoding") {
    if (!take()) return false;
    std::string v = AsciiLower(value);
    if (v == "ansi") return flag(o.m_nEncoding, kEncodingAnsi);
    if (v == "utf8" || v == "utf-8") return flag(o.m_nEncoding, kEncodingUtf8);
    if (v == "utf16" || v == "utf-16") return flag(o.m_nEncoding, kEncodingUtf16);
    return bad();
  }
  if (name == "--columns") {
    if (!take()) return false;
    std::vector<int> ids;
    if (!ParseColumnList(value, ids)) return bad();
    o.m_bColumn.fill(0);
    o.m_bFileCountInDirRow = 0;
    for (int id : ids) {
      if (id == kColCount)
        o.m_bFileCountInDirRow = 1;
      else
        o.m_bColumn[static_cast<std::size_t>(id)] = 1;
    }
    return true;
  }
  if (name == "--sort") {
    if (!take()) return false;
    return ParseSortKeys(value, o.m_nFileSortKey, o.m_bFileSortDesc, false) || bad();
  }
  if (name == "--dir-sort") {
    if (!take()) return false;
    return ParseSortKeys(value, o.m_nDirSortKey, o.m_bDirSortDesc, true) || bad();
  }
  if (name == "--mask") {
    if (!take()) return false;
    o.m_strMask = value;
    return true;
  }
  if (name == "--separator") {
    if (!take()) return false;
    if (value == "tab" || value == "\t") {
      o.m_bCsvTab = 1;
      o.m_strCsvSeparator.assign(1, '\t');
      return true;
    }
    if (CountCodePoints(value) != 1) return bad();
    o.m_bCsvTab = 0;
    o.m_strCsvSeparator = value;
    return true;
  }
  if (name == "--title") {
    if (!take()) return false;
    o.m_strHtmlTitle = TruncateCodePoints(value, 512);
    return true;
  }
  if (name == "--size-unit") {
    if (!take()) return false;
    const char* units[] = {"bytes", "kb", "mb", "gb", "dynamic"};
    for (int i = 0; i < 5; ++i)
      if (AsciiLower(value) == units[i]) return flag(o.m_nSizeUnit, i);
    return bad();
  }
  if (name == "--precision") {
    if (!take()) return false;
    int v;
    if (!ToInt(value, v) || v < 0 || v > 4) return bad();
    return flag(o.m_nSizePrecision, v);
  }
  if (name == "--path-form") {
    if (!take()) return false;
    int v;
    if (!ToInt(value, v) || v < 0 || v > 3) return bad();
    return flag(o.m_nPathForm, v);
  }
  if (name == "--recursion") {
    if (!take()) return false;
    int v;
    if (!ToInt(value, v) || v < 0 || v > 100) return bad();
    o.m_bLimitRecursion = 1;
    return flag(o.m_nRecursionLevel, v);
  }
  if (name == "--summary") {
    if (!take()) return false;
    std::string v = AsciiLower(value);
    if (v != "top" && v != "bottom") return bad();
    o.m_bSummary = 1;
    return flag(o.m_nSummaryPos, v == "top" ? 0 : 1);
  }
  struct Switch {
    const char* name;
    int CListingOptions::*field;
    int value;
  };
  static const Switch kSwitches[] = {
      {"--archives", &CListingOptions::m_bArchivesAsDirs, 1},
      {"--auto-widths", &CListingOptions::m_bAutoColumnWidths, 1},
      {"--wrap", &CListingOptions::m_bWrapColumns, 1},
      {"--files-together", &CListingOptions::m_bFilesTogether, 1},
      {"--no-dir-rows", &CListingOptions::m_bDirRows, 0},
      {"--no-file-rows", &CListingOptions::m_bFileRows, 0},
      {"--no-subdirs", &CListingOptions::m_bSubdirs, 0},
      {"--hide-empty", &CListingOptions::m_bHideEmptyDirs, 1},
      {"--no-header", &CListingOptions::m_bColumnNamesInHeader, 0},
      {"--no-program-info", &CListingOptions::m_bProgramInfoInHeader, 0},
      {"--no-time", &CListingOptions::m_bShowTimeInDates, 0},
      {"--links", &CListingOptions::m_bLinksToFiles, 1},
      {"--dir-links", &CListingOptions::m_bLinksToDirs, 1},
      {"--listing-in-each-dir", &CListingOptions::m_bListingInEachDir, 1},
  };
  for (const Switch& s : kSwitches)
    if (name == s.name && !hasValue) return flag(o.*(s.field), s.value);
  error = "unknown option " + args[index];
  return false;
}

const char* BatchOptionsHelp() {
  return "Listing options:\n"
         "  --type text|html|csv        output type (default text)\n"
         "  --encoding ansi|utf8|utf16  character encoding (default utf8)\n"
         "  --columns LIST              shown columns by id, e.g. 2,5-7,20 (Name is always shown)\n"
         "  --sort KEYS                 up to three file sort keys (id or header name, '-' for\n"
         "                              descending, 'none'), e.g. --sort -size,name\n"
         "  --dir-sort KEYS             directory sort keys\n"
         "  --mask MASK                 name patterns separated by ';' (default *.*)\n"
         "  --separator C|tab           CSV separator (default ;)\n"
         "  --title TEXT                HTML title\n"
         "  --size-unit bytes|kb|mb|gb|dynamic, --precision N (0-4)\n"
         "  --path-form 0-3             full, no drive, from top-checked dir, top-checked is root\n"
         "  --recursion N               limit the recursion level\n"
         "  --summary top|bottom        display the summary\n"
         "  --archives --auto-widths --wrap --files-together --hide-empty --no-dir-rows\n"
         "  --no-file-rows --no-subdirs --no-header --no-program-info --no-time --links\n"
         "  --dir-links --listing-in-each-dir\n";
}

}  // namespace orvane
