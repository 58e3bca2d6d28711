#include "app/batch_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

#include "base/unicode.h"
#include "engine/columns.h"

namespace orvane {
namespace {

// A sort key: a column, "-" in front for descending, "none" for not sorted.
bool ParseSortKeys(const std::string& text, std::array<int, 3>& keys, std::array<int, 3>& desc,
                   bool dirs, std::string& error) {
  keys = {kNotSorted, kNotSorted, kNotSorted};
  desc = {0, 0, 0};
  std::size_t pos = 0;
  for (std::size_t k = 0; pos <= text.size(); ++k) {
    std::size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    std::string key = text.substr(pos, end - pos);
    pos = end + 1;
    if (k == 3) {
      error = "at most three sort keys";
      return false;
    }
    if (!key.empty() && key[0] == '-') {
      desc[k] = 1;
      key.erase(0, 1);
    }
    int stored = kNotSorted;  // sort keys are kept as the numbers the settings file stores
    if (AsciiLower(key) != "none") {
      const std::optional<ColumnId> id = FindColumn(key, error);
      if (!id) return false;
      if (dirs ? !ColumnInfo(*id).m_bDirSort : !ColumnInfo(*id).m_bFileSort) {
        error =
            "the column " + ColumnName(*id) + " cannot sort " + (dirs ? "directories" : "files");
        return false;
      }
      stored = ColumnNumber(*id);
    }
    keys[k] = stored;
  }
  return true;
}

}  // namespace

namespace {

using O = CListingOptions;

// Reads the value of an option with a value into edit; false with error (the expected values,
// or a full line when it starts with the option's name) for a value it cannot use.
using ValueParser = bool (*)(const std::string& name, const std::string& value, BatchEdit& edit,
                             std::string& error);

// One "--" option: its name, its value in the help (nullptr: a switch), its help lines, and
// either the parser of its value or the flag a switch sets. A row with neither is read by the
// command line itself and listed here for the help alone.
struct BatchOptionRow {
  const char* name;
  const char* value;
  const char* help;  // "\n" starts a continuation line
  ValueParser parse;
  OptionFlag flag;
  int flagValue;
};

BatchEdit SetField(OptionFlag field, int value) {
  return [field, value](CListingOptions& o) { o.*field = value; };
}

// A value that is one of the words (compared without case); its index goes into field.
bool Choose(const std::string& value,
            std::initializer_list<std::initializer_list<const char*>> words, OptionFlag field,
            BatchEdit& edit) {
  int index = 0;
  for (const auto& spellings : words) {
    for (const char* w : spellings) {
      if (AsciiLower(value) == w) {
        edit = SetField(field, index);
        return true;
      }
    }
    ++index;
  }
  return false;
}

bool ParseType(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  error = "text, html or csv";
  return Choose(v, {{"text", "txt"}, {"html"}, {"csv"}}, &O::m_nOutputType, edit);
}

bool ParseEncoding(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  error = "ansi, utf8 or utf16";
  return Choose(v, {{"ansi"}, {"utf8", "utf-8"}, {"utf16", "utf-16"}}, &O::m_nEncoding, edit);
}

bool ParseColumns(const std::string& name, const std::string& v, BatchEdit& edit,
                  std::string& error) {
  std::vector<ColumnId> ids;
  if (!ParseColumnList(v, ids, error)) {
    error = name + ": " + error;
    return false;
  }
  edit = [ids](CListingOptions& o) {
    o.m_bColumn.fill(0);
    o.m_bFileCountInDirRow = 0;
    for (ColumnId id : ids) {
      if (id == ColumnId::kCount)
        o.m_bFileCountInDirRow = 1;
      else
        o.m_bColumn[id] = 1;
    }
  };
  return true;
}

bool ParseSort(const std::string& name, const std::string& v, BatchEdit& edit, std::string& error) {
  const bool dirs = name == "--dir-sort";
  std::array<int, 3> keys{}, desc{};
  if (!ParseSortKeys(v, keys, desc, dirs, error)) {
    error = name + ": " + error;
    return false;
  }
  edit = [dirs, keys, desc](CListingOptions& o) {
    (dirs ? o.m_nDirSortKey : o.m_nFileSortKey) = keys;
    (dirs ? o.m_bDirSortDesc : o.m_bFileSortDesc) = desc;
  };
  return true;
}

bool ParseMask(const std::string&, const std::string& v, BatchEdit& edit, std::string&) {
  edit = [v](CListingOptions& o) { o.m_strMask = v; };
  return true;
}

bool ParseSeparator(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  const bool tab = v == "tab" || v == "\t";
  if (!tab && CountCodePoints(v) != 1) {
    error = "one character or tab";
    return false;
  }
  edit = [tab, v](CListingOptions& o) {
    o.m_bCsvTab = tab ? 1 : 0;
    o.m_strCsvSeparator = tab ? std::string(1, '\t') : v;
  };
  return true;
}

bool ParseTitle(const std::string&, const std::string& v, BatchEdit& edit, std::string&) {
  edit = [title = TruncateCodePoints(v, 512)](CListingOptions& o) { o.m_strHtmlTitle = title; };
  return true;
}

bool ParseSizeUnit(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  error = "bytes, kb, mb, gb or dynamic";
  return Choose(v, {{"bytes"}, {"kb"}, {"mb"}, {"gb"}, {"dynamic"}}, &O::m_nSizeUnit, edit);
}

// A number from 0 to high into field.
bool Number(const std::string& v, int high, OptionFlag field, BatchEdit& edit, std::string& error) {
  int n;
  if (!ParseSmallNumber(v, n) || n > high) {
    error = "0 to " + std::to_string(high);
    return false;
  }
  edit = SetField(field, n);
  return true;
}

bool ParsePrecision(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  return Number(v, 4, &O::m_nSizePrecision, edit, error);
}

bool ParsePathForm(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  return Number(v, 3, &O::m_nPathForm, edit, error);
}

bool ParseRecursion(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  if (!Number(v, 100, &O::m_nRecursionLevel, edit, error)) return false;
  edit = [level = std::move(edit)](CListingOptions& o) {
    o.m_bLimitRecursion = 1;
    level(o);
  };
  return true;
}

bool ParseSummary(const std::string&, const std::string& v, BatchEdit& edit, std::string& error) {
  error = "top or bottom";
  if (!Choose(v, {{"top"}, {"bottom"}}, &O::m_nSummaryPos, edit)) return false;
  edit = [position = std::move(edit)](CListingOptions& o) {
    o.m_bSummary = 1;
    position(o);
  };
  return true;
}

// Every "--" option, in the order of the help.
const BatchOptionRow kBatchOptions[] = {
    {"--type", "text|html|csv", "output type (default text)", ParseType, nullptr, 0},
    {"--encoding", "utf8|utf16|ansi", "character encoding (default utf8)", ParseEncoding, nullptr,
     0},
    {"--columns", "LIST",
     "shown columns by name or number, e.g.\nname,size,last-write-date,md5 or 5-7,20\n"
     "(Name is always shown; see --list-columns)",
     ParseColumns, nullptr, 0},
    {"--sort", "KEYS",
     "up to three file sort columns, '-' in front for\ndescending, 'none' for unsorted, e.g. "
     "-size,name",
     ParseSort, nullptr, 0},
    {"--dir-sort", "KEYS", "up to three directory sort columns", ParseSort, nullptr, 0},
    {"--mask", "MASKS", "name patterns separated by ';' (default *.*)", ParseMask, nullptr, 0},
    {"--separator", "tab|CHAR", "CSV separator (default ;)", ParseSeparator, nullptr, 0},
    {"--title", "TEXT", "HTML title", ParseTitle, nullptr, 0},
    {"--size-unit", "bytes|kb|mb|gb|dynamic", "unit of sizes", ParseSizeUnit, nullptr, 0},
    {"--precision", "N", "decimals of sizes in kb, mb, gb (0 to 4)", ParsePrecision, nullptr, 0},
    {"--path-form", "0|1|2|3",
     "full path, without mount point, from the checked\ndirectory, checked directory as root",
     ParsePathForm, nullptr, 0},
    {"--recursion", "N", "list N levels of subdirectories at most", ParseRecursion, nullptr, 0},
    {"--summary", "top|bottom", "add the summary at the top or bottom", ParseSummary, nullptr, 0},
    {"--archives", nullptr, "list zip and rar archives as directories", nullptr,
     &O::m_bArchivesAsDirs, 1},
    {"--auto-widths", nullptr, "fit text columns to their contents", nullptr,
     &O::m_bAutoColumnWidths, 1},
    {"--wrap", nullptr, "wrap long texts in text columns", nullptr, &O::m_bWrapColumns, 1},
    {"--files-together", nullptr, "list all files together, not by directory", nullptr,
     &O::m_bFilesTogether, 1},
    {"--hide-empty", nullptr, "leave out directories without listed files", nullptr,
     &O::m_bHideEmptyDirs, 1},
    {"--no-dir-rows", nullptr, "leave out the directory rows", nullptr, &O::m_bDirRows, 0},
    {"--no-file-rows", nullptr, "leave out the file rows", nullptr, &O::m_bFileRows, 0},
    {"--no-subdirs", nullptr, "do not descend into subdirectories", nullptr, &O::m_bSubdirs, 0},
    {"--no-header", nullptr, "leave out the column names", nullptr, &O::m_bColumnNamesInHeader, 0},
    {"--no-program-info", nullptr, "leave out the line about the program", nullptr,
     &O::m_bProgramInfoInHeader, 0},
    {"--no-time", nullptr, "dates without the time of day", nullptr, &O::m_bShowTimeInDates, 0},
    {"--links", nullptr, "HTML: link file names to the files", nullptr, &O::m_bLinksToFiles, 1},
    {"--dir-links", nullptr, "HTML: link directory names to the directories", nullptr,
     &O::m_bLinksToDirs, 1},
    {"--listing-in-each-dir", nullptr, "also write a listing into every listed directory", nullptr,
     &O::m_bListingInEachDir, 1},
    {"--list-columns", nullptr, "show the columns' numbers and names, and exit", nullptr, nullptr,
     0},
};

std::string BuildHelp() {
  constexpr std::size_t kTextColumn = 31;
  std::string help;
  for (const BatchOptionRow& row : kBatchOptions) {
    std::string head =
        std::string("  ") + row.name + (row.value ? std::string(" ") + row.value : "");
    head.append(head.size() + 2 <= kTextColumn ? kTextColumn - head.size() : 2, ' ');
    std::string_view text = row.help;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;
         text.remove_prefix(end + 1)) {
      help += head;
      help.append(text.substr(0, end));
      help += '\n';
      head.assign(kTextColumn, ' ');
    }
    help += head;
    help.append(text);
    help += '\n';
  }
  return help;
}

// The "--name" options a misspelt name is compared with.
std::vector<std::string> OptionNames() {
  std::vector<std::string> names;
  for (const BatchOptionRow& row : kBatchOptions) names.push_back(row.name);
  names.insert(names.end(), {"--help", "--version"});
  return names;
}

}  // namespace

bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& index, BatchEdit& edit,
                      std::string& error) {
  std::string name = args[index];
  std::string value;
  const std::size_t eq = name.find('=');
  const bool hasValue = eq != std::string::npos;
  if (hasValue) {
    value = name.substr(eq + 1);
    name.resize(eq);
  }
  for (const BatchOptionRow& row : kBatchOptions) {
    if (name != row.name || (!row.parse && !row.flag)) continue;
    if (!row.parse) {
      if (hasValue) {
        error = name + " takes no value";
        return false;
      }
      edit = SetField(row.flag, row.flagValue);
      return true;
    }
    if (!hasValue) {
      if (index + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++index];
    }
    std::string expected;
    if (row.parse(name, value, edit, expected)) return true;
    error = expected.starts_with(name)
                ? expected
                : "bad value for " + name + ": \"" + value + "\" (expected " + expected + ")";
    return false;
  }
  error = "unknown option " + name + "; did you mean " + NearestName(name, OptionNames()) + "?";
  return false;
}

const char* BatchOptionsHelp() {
  static const std::string help = BuildHelp();
  return help.c_str();
}

}  // namespace orvane
