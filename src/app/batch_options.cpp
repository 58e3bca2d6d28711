#include "app/batch_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

#include "base/unicode.h"
#include "engine/columns.h"

namespace orvane {
namespace {

// The batch name of each column (its English header, see batch_options.h) and what fills it.
// The names stay the same whatever language the headers are shown in, so scripts keep working.
struct ColumnText {
  const char* name;
  const char* filledBy;
};

constexpr ColumnText kColumnTexts[kColumnCount] = {
    {"number", "running number of the file rows (shown in the Name cell)"},
    {"path", "folder of the entry (shown in the Name cell)"},
    {"name", "name of the file or directory (always shown)"},
    {"extension", "file name extension (shown in the Name cell)"},
    {"count", "number of files of a directory row (shown in the Name cell)"},
    {"size", "file size; the total of its files for a directory"},
    {"creation-date", "birth time (blank where the file system keeps none)"},
    {"last-write-date", "time of the last change of the contents"},
    {"last-access-date", "time of the last access"},
    {"type", "description of the type from the shared MIME database"},
    {"attributes", "r read-only, a archive (regular file), h hidden, s system, c compressed"},
    {"owner", "user name of the file's owner"},
    {"file-version", "executable version resource: file version"},
    {"product-version", "executable version resource: product version"},
    {"product-name", "executable version resource: product name"},
    {"description", "executable version resource: file description"},
    {"copyright", "executable version resource: legal copyright"},
    {"company", "executable version resource: company name"},
    {"exe-comments", "executable version resource: comments"},
    {"language", "executable version resource: language"},
    {"crc32", "CRC32 checksum of the contents"},
    {"md5", "MD5 checksum of the contents"},
    {"sha1", "SHA-1 checksum of the contents"},
    {"doc-title", "Office document property: title"},
    {"subject", "Office document property: subject"},
    {"author", "Office document property: author"},
    {"keywords", "Office document property: keywords"},
    {"doc-comments", "Office document property: comments"},
    {"template", "Office document property: template"},
    {"last-author", "Office document property: last saved by"},
    {"revision", "Office document property: revision number"},
    {"last-printed", "Office document property: last printed"},
    {"created", "Office document property: created"},
    {"last-saved", "Office document property: last saved"},
    {"page-count", "Office document property: page count"},
    {"word-count", "Office document property: word count"},
    {"char-count", "Office document property: character count"},
    {"app-name", "Office document property: application name"},
    {"category", "Office document property: category"},
    {"security", "Office document property: document security"},
    {"video-format", "picture or video format"},
    {"width", "picture or video width in pixels"},
    {"height", "picture or video height in pixels"},
    {"bpp", "bits per pixel of a picture or video"},
    {"frames", "number of video frames"},
    {"fps", "video frames per second"},
    {"audio-format", "sound format"},
    {"frequency", "sound sampling frequency"},
    {"bpc", "bits per sound channel"},
    {"channels", "number of sound channels"},
    {"length", "play time of a video or sound"},
    {"track", "MP3 or Windows Media tag: track"},
    {"tag-title", "MP3 or Windows Media tag: title"},
    {"artist", "MP3 or Windows Media tag: artist"},
    {"album", "MP3 or Windows Media tag: album"},
    {"year", "MP3 or Windows Media tag: year"},
    {"genre", "MP3 or Windows Media tag: genre"},
    {"tag-comments", "MP3 or Windows Media tag: comments"},
};

bool ToInt(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  out = std::atoi(s.c_str());
  return true;
}

// Lower case, with "-" for every blank, "_" or "-".
std::string NormalName(const std::string& text) {
  std::string s = AsciiLower(text);
  for (char& c : s)
    if (c == ' ' || c == '_') c = '-';
  return s;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The candidate closest to text (the first of equally close ones).
std::string Nearest(const std::string& text, const std::vector<std::string>& candidates) {
  std::string best;
  std::size_t bestDistance = std::string::npos;
  for (const std::string& c : candidates) {
    std::size_t d = EditDistance(text, c);
    if (d < bestDistance) {
      bestDistance = d;
      best = c;
    }
  }
  return best;
}

// The "--name" options that BatchOptionsHelp lists.
std::vector<std::string> HelpOptionNames() {
  std::vector<std::string> names;
  const std::string help = BatchOptionsHelp();
  std::size_t pos = 0;
  while ((pos = help.find("--", pos)) != std::string::npos) {
    std::size_t end = pos + 2;
    while (end < help.size() &&
           (std::isalnum(static_cast<unsigned char>(help[end])) || help[end] == '-'))
      ++end;
    names.push_back(help.substr(pos, end - pos));
    pos = end;
  }
  names.insert(names.end(), {"--help", "--version"});
  return names;
}

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
    int id = kNotSorted;
    if (AsciiLower(key) != "none") {
      id = FindColumn(key, error);
      if (id < 0) return false;
      if (dirs ? !ColumnInfo(id).m_bDirSort : !ColumnInfo(id).m_bFileSort) {
        error = "the column " + ColumnName(id) + " cannot sort " + (dirs ? "directories" : "files");
        return false;
      }
    }
    keys[k] = id;
  }
  return true;
}

}  // namespace

std::string ColumnName(int id) {
  if (id < 0 || id >= kColumnCount) return {};
  return kColumnTexts[id].name;
}

int FindColumn(const std::string& text, std::string& error) {
  int id = -1;
  if (ToInt(text, id)) {
    if (id < kColumnCount) return id;
    error = "no column has the number " + text + " (they go from 0 to " +
            std::to_string(kColumnCount - 1) + ")";
    return -1;
  }
  const std::string wanted = NormalName(text);
  std::vector<int> matches;
  std::vector<std::string> names;
  for (int i = 0; i < kColumnCount; ++i) {
    names.push_back(ColumnName(i));
    if (wanted == names.back()) return i;
    if (wanted == NormalName(ColumnInfo(i).m_strName) || wanted == NormalName(ColumnLabel(i)))
      matches.push_back(i);
  }
  if (matches.size() == 1) return matches[0];
  if (matches.empty()) {
    error = "unknown column \"" + text + "\"; did you mean \"" + Nearest(wanted, names) + "\"?";
  } else {
    error = "the column name \"" + text + "\" is ambiguous: ";
    for (std::size_t i = 0; i < matches.size(); ++i)
      error += (i == 0 ? "" : i + 1 == matches.size() ? " or " : ", ") + ColumnName(matches[i]);
  }
  return -1;
}

bool ParseColumnList(const std::string& text, std::vector<int>& ids, std::string& error) {
  ids.clear();
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t dash = item.find('-');
    int a = 0, b = 0;
    if (dash != std::string::npos && ToInt(item.substr(0, dash), a) &&
        ToInt(item.substr(dash + 1), b)) {
      // A range of numbers: "20-22".
      if (b >= kColumnCount || a > b) {
        error = "bad column range " + item;
        return false;
      }
    } else {
      if (item.empty()) {
        error = "empty column name in \"" + text + "\"";
        return false;
      }
      a = b = FindColumn(item, error);
      if (a < 0) return false;
    }
    for (int i = a; i <= b; ++i) ids.push_back(i);
  }
  return true;
}

std::string ColumnListText() {
  std::string out;
  for (int id = 0; id < kColumnCount; ++id) {
    std::string line = (id < 10 ? " " : "") + std::to_string(id) + "  " + ColumnName(id);
    line.resize(std::max<std::size_t>(line.size() + 2, 24), ' ');
    out += line + kColumnTexts[id].filledBy + "\n";
  }
  return out;
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
  auto bad = [&](const std::string& expected) {
    error = "bad value for " + name + ": \"" + value + "\" (expected " + expected + ")";
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
    return bad("text, html or csv");
  }
  if (name == "--encoding") {
    if (!take()) return false;
    std::string v = AsciiLower(value);
    if (v == "ansi") return flag(o.m_nEncoding, kEncodingAnsi);
    if (v == "utf8" || v == "utf-8") return flag(o.m_nEncoding, kEncodingUtf8);
    if (v == "utf16" || v == "utf-16") return flag(o.m_nEncoding, kEncodingUtf16);
    return bad("ansi, utf8 or utf16");
  }
  if (name == "--columns") {
    if (!take()) return false;
    std::vector<int> ids;
    if (!ParseColumnList(value, ids, error)) {
      error = name + ": " + error;
      return false;
    }
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
  if (name == "--sort" || name == "--dir-sort") {
    if (!take()) return false;
    const bool dirs = name == "--dir-sort";
    bool ok = dirs ? ParseSortKeys(value, o.m_nDirSortKey, o.m_bDirSortDesc, true, error)
                   : ParseSortKeys(value, o.m_nFileSortKey, o.m_bFileSortDesc, false, error);
    if (!ok) error = name + ": " + error;
    return ok;
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
    if (CountCodePoints(value) != 1) return bad("one character or tab");
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
    return bad("bytes, kb, mb, gb or dynamic");
  }
  if (name == "--precision") {
    if (!take()) return false;
    int v;
    if (!ToInt(value, v) || v > 4) return bad("0 to 4");
    return flag(o.m_nSizePrecision, v);
  }
  if (name == "--path-form") {
    if (!take()) return false;
    int v;
    if (!ToInt(value, v) || v > 3) return bad("0 to 3");
    return flag(o.m_nPathForm, v);
  }
  if (name == "--recursion") {
    if (!take()) return false;
    int v;
    if (!ToInt(value, v) || v > 100) return bad("0 to 100");
    o.m_bLimitRecursion = 1;
    return flag(o.m_nRecursionLevel, v);
  }
  if (name == "--summary") {
    if (!take()) return false;
    std::string v = AsciiLower(value);
    if (v != "top" && v != "bottom") return bad("top or bottom");
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
  for (const Switch& s : kSwitches) {
    if (name != s.name) continue;
    if (hasValue) {
      error = name + " takes no value";
      return false;
    }
    return flag(o.*(s.field), s.value);
  }
  error = "unknown option " + name + "; did you mean " + Nearest(name, HelpOptionNames()) + "?";
  return false;
}

const char* BatchOptionsHelp() {
  return "  --type text|html|csv         output type (default text)\n"
         "  --encoding utf8|utf16|ansi   character encoding (default utf8)\n"
         "  --columns LIST               shown columns by name or number, e.g.\n"
         "                               name,size,last-write-date,md5 or 5-7,20\n"
         "                               (Name is always shown; see --list-columns)\n"
         "  --sort KEYS                  up to three file sort columns, '-' in front for\n"
         "                               descending, 'none' for unsorted, e.g. -size,name\n"
         "  --dir-sort KEYS              up to three directory sort columns\n"
         "  --mask MASKS                 name patterns separated by ';' (default *.*)\n"
         "  --separator tab|CHAR         CSV separator (default ;)\n"
         "  --title TEXT                 HTML title\n"
         "  --size-unit bytes|kb|mb|gb|dynamic  unit of sizes\n"
         "  --precision N                decimals of sizes in kb, mb, gb (0 to 4)\n"
         "  --path-form 0|1|2|3          full path, without mount point, from the checked\n"
         "                               directory, checked directory as root\n"
         "  --recursion N                list N levels of subdirectories at most\n"
         "  --summary top|bottom         add the summary at the top or bottom\n"
         "  --archives                   list zip and rar archives as directories\n"
         "  --auto-widths                fit text columns to their contents\n"
         "  --wrap                       wrap long texts in text columns\n"
         "  --files-together             list all files together, not by directory\n"
         "  --hide-empty                 leave out directories without listed files\n"
         "  --no-dir-rows                leave out the directory rows\n"
         "  --no-file-rows               leave out the file rows\n"
         "  --no-subdirs                 do not descend into subdirectories\n"
         "  --no-header                  leave out the column names\n"
         "  --no-program-info            leave out the line about the program\n"
         "  --no-time                    dates without the time of day\n"
         "  --links                      HTML: link file names to the files\n"
         "  --dir-links                  HTML: link directory names to the directories\n"
         "  --listing-in-each-dir        also write a listing into every listed directory\n"
         "  --list-columns               show the columns' numbers and names, and exit\n";
}

}  // namespace orvane
