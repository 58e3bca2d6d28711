#include "app/column_names.h"

#include <algorithm>
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

}  // namespace

bool ParseSmallNumber(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  out = std::atoi(s.c_str());
  return true;
}

namespace {

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

}  // namespace

std::string NearestName(const std::string& text, const std::vector<std::string>& candidates) {
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

std::string ColumnName(ColumnId id) {
  return kColumnTexts[ColumnIndex(id)].name;
}

std::optional<ColumnId> FindColumn(const std::string& text, std::string& error) {
  int number = -1;
  if (ParseSmallNumber(text, number)) {
    if (IsColumnNumber(number)) return ColumnFromNumber(number);
    error = "no column has the number " + text + " (they go from 0 to " +
            std::to_string(kColumnCount - 1) + ")";
    return std::nullopt;
  }
  const std::string wanted = NormalName(text);
  std::vector<ColumnId> matches;
  std::vector<std::string> names;
  for (ColumnId i : kAllColumns) {
    names.push_back(ColumnName(i));
    if (wanted == names.back()) return i;
    if (wanted == NormalName(ColumnInfo(i).m_strName) || wanted == NormalName(ColumnLabel(i)))
      matches.push_back(i);
  }
  if (matches.size() == 1) return matches[0];
  if (matches.empty()) {
    error = "unknown column \"" + text + "\"; did you mean \"" + NearestName(wanted, names) + "\"?";
  } else {
    error = "the column name \"" + text + "\" is ambiguous: ";
    for (std::size_t i = 0; i < matches.size(); ++i)
      error += (i == 0 ? "" : i + 1 == matches.size() ? " or " : ", ") + ColumnName(matches[i]);
  }
  return std::nullopt;
}

bool ParseColumnList(const std::string& text, std::vector<ColumnId>& ids, std::string& error) {
  ids.clear();
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t dash = item.find('-');
    int a = 0, b = 0;
    if (dash != std::string::npos && ParseSmallNumber(item.substr(0, dash), a) &&
        ParseSmallNumber(item.substr(dash + 1), b)) {
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
      const std::optional<ColumnId> id = FindColumn(item, error);
      if (!id) return false;
      a = b = ColumnNumber(*id);
    }
    for (int i = a; i <= b; ++i) ids.push_back(ColumnFromNumber(i));
  }
  return true;
}

std::string ColumnListText() {
  std::string out;
  for (ColumnId id : kAllColumns) {
    const int n = ColumnNumber(id);
    std::string line = (n < 10 ? " " : "") + std::to_string(n) + "  " + ColumnName(id);
    line.resize(std::max<std::size_t>(line.size() + 2, 24), ' ');
    out += line + kColumnTexts[ColumnIndex(id)].filledBy + "\n";
  }
  return out;
}

}  // namespace orvane
