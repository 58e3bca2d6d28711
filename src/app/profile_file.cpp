#include "app/profile_file.h"

#include "engine/unicode.h"
#include "platform/temp_files.h"

namespace orvane {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
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
  TextReadStatus status = ReadTextLines(path, NoMarkAs::kUtf8, m_lines);
  if (status != TextReadStatus::kOk) m_lines.clear();
  return status;
}

TextReadStatus CProfile::LoadBytes(std::span<const std::uint8_t> bytes) {
  TextReadStatus status = DecodeTextLines(bytes, NoMarkAs::kUtf8, m_lines);
  if (status != TextReadStatus::kOk) m_lines.clear();
  return status;
}

std::size_t CProfile::FindKey(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (auto name = SectionOf(m_lines[i])) {
      inSection = SameNoCase(*name, section);
      continue;
    }
    if (!inSection) continue;
    auto k = KeyOf(m_lines[i]);
    if (k && SameNoCase(*k, key)) return i;
  }
  return npos;
}

std::optional<std::string> CProfile::Get(std::string_view section, std::string_view key) const {
  std::size_t i = FindKey(section, key);
  if (i == npos) return std::nullopt;
  const std::string& line = m_lines[i];
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return TruncateCodePoints(value, kMaxProfileValue);
}

void CProfile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + QuoteValue(value);
  std::size_t i = FindKey(section, key);
  if (i != npos) {
    m_lines[i] = std::move(line);
    return;
  }
  // After the last entry of the first matching section, or in a new section at the end.
  std::size_t insertAt = npos;
  bool inSection = false;
  for (std::size_t j = 0; j < m_lines.size(); ++j) {
    if (auto name = SectionOf(m_lines[j])) {
      if (inSection) break;
      inSection = SameNoCase(*name, section);
      if (inSection) insertAt = j + 1;
      continue;
    }
    if (inSection && !Trim(m_lines[j]).empty()) insertAt = j + 1;
  }
  if (insertAt == npos) {
    m_lines.push_back("[" + std::string(section) + "]");
    m_lines.push_back(std::move(line));
    return;
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

std::string CProfile::ToBytes() const {
  std::string out;
  for (const std::string& line : m_lines) {
    out += line;
    out += '\n';
  }
  return out;
}

bool CProfile::Save(const std::string& path) const {
  return ReplaceFileContent(path, ToBytes());
}

}  // namespace orvane
