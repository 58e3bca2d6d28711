#include "settings/profile_file.h"

#include "base/unicode.h"
#include "platform/temp_files.h"

namespace orvane {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The section name of a "[name]" line; nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line; nullopt for comments and other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return std::nullopt;
  std::size_t eq = line.find('=');
  if (eq == npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

std::string EntryKey(std::string_view section, std::string_view key) {
  return AsciiLower(Trim(section)) + '\n' + AsciiLower(Trim(key));
}

// The form of a value on disk: blanks at either end, or enclosing quotes, are kept by quoting.
std::string QuoteValue(std::string_view value) {
  std::string v(value);
  for (char& c : v) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  bool edgeBlank =
      !v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t');
  bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
  return edgeBlank || quoted ? "\"" + v + "\"" : v;
}

}  // namespace

TextReadStatus CProfile::Load(const std::string& path) {
  TextReadStatus status = ReadTextLines(path, NoMarkAs::kUtf8, kMaxProfileFileSize, m_lines);
  if (status != TextReadStatus::kOk) m_lines.clear();
  Index();
  return status;
}

TextReadStatus CProfile::LoadBytes(std::span<const std::uint8_t> bytes) {
  TextReadStatus status = DecodeTextLines(bytes, NoMarkAs::kUtf8, kMaxProfileFileSize, m_lines);
  if (status != TextReadStatus::kOk) m_lines.clear();
  Index();
  return status;
}

void CProfile::Index() {
  m_sections.clear();
  m_sectionIndex.clear();
  m_entries.clear();
  std::string current;
  // The section being read is the first of its name: new keys go after its last entry.
  std::size_t firstOccurrence = npos;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (auto name = SectionOf(m_lines[i])) {
      current = AsciiLower(*name);
      auto [it, inserted] = m_sectionIndex.emplace(current, m_sections.size());
      firstOccurrence = inserted ? m_sections.size() : npos;
      if (inserted) m_sections.push_back({std::string(*name), i, {}});
      continue;
    }
    if (firstOccurrence != npos && !Trim(m_lines[i]).empty()) m_sections[firstOccurrence].after = i;
    auto key = KeyOf(m_lines[i]);
    if (key && m_sectionIndex.count(current))
      m_entries.emplace(current + '\n' + AsciiLower(*key), Place{false, 0, i});
  }
}

std::optional<std::string> CProfile::Get(std::string_view section, std::string_view key) const {
  auto it = m_entries.find(EntryKey(section, key));
  if (it == m_entries.end()) return std::nullopt;
  const Place& place = it->second;
  const std::string& line =
      place.added ? m_sections[place.section].added[place.line] : m_lines[place.line];
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return TruncateCodePoints(value, kMaxProfileValue);
}

void CProfile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + QuoteValue(value);
  const std::string entry = EntryKey(section, key);
  if (auto it = m_entries.find(entry); it != m_entries.end()) {
    Place& place = it->second;
    (place.added ? m_sections[place.section].added[place.line] : m_lines[place.line]) =
        std::move(line);
    return;
  }
  const std::string folded = AsciiLower(Trim(section));
  auto [sit, inserted] = m_sectionIndex.emplace(folded, m_sections.size());
  if (inserted) m_sections.push_back({std::string(Trim(section)), npos, {}});
  Section& target = m_sections[sit->second];
  m_entries.emplace(entry, Place{true, sit->second, target.added.size()});
  target.added.push_back(std::move(line));
}

std::vector<std::string> CProfile::Lines() const {
  std::vector<std::vector<const Section*>> after(m_lines.size());
  for (const Section& s : m_sections) {
    if (s.after != npos && !s.added.empty()) after[s.after].push_back(&s);
  }
  std::vector<std::string> out;
  out.reserve(m_lines.size());
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    out.push_back(m_lines[i]);
    for (const Section* s : after[i]) out.insert(out.end(), s->added.begin(), s->added.end());
  }
  for (const Section& s : m_sections) {
    if (s.after != npos) continue;
    out.push_back("[" + s.name + "]");
    out.insert(out.end(), s.added.begin(), s.added.end());
  }
  return out;
}

std::string CProfile::ToBytes() const {
  std::string out;
  for (const std::string& line : Lines()) {
    out += line;
    out += '\n';
  }
  return out;
}

bool CProfile::Save(const std::string& path) const {
  return ReplaceFileContent(path, ToBytes());
}

}  // namespace orvane
