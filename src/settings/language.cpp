#include "settings/language.h"

#include "base/column_ids.h"
#include "base/strings.h"
#include "base/unicode.h"
#include "engine/columns.h"
#include "platform/codepage.h"
#include "platform/file_source.h"
#include "platform/user_folders.h"
#include "settings/window_texts.h"

namespace orvane {
namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> mark) {
  if (bytes.size() < mark.size()) return false;
  std::size_t i = 0;
  for (std::uint8_t b : mark) {
    if (bytes[i++] != b) return false;
  }
  return true;
}

// The lines of a decoded text; a CR before the LF belongs to the line end.
template <class Fn>
void ForEachLine(std::string_view text, Fn fn) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    fn(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::string FolderPath(const std::string& folder, const std::string& file) {
  if (folder.empty() || folder.back() == '/') return folder + file;
  return folder + "/" + file;
}

TextReadStatus ReadBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  PathKind kind = GetPathKind(path);
  if (kind == PathKind::kMissing) return TextReadStatus::kMissing;
  if (kind != PathKind::kRegular) return TextReadStatus::kUnreadable;
  FileSource source;
  if (!source.Open(path)) return TextReadStatus::kUnreadable;
  if (source.Size() > kMaxLanguageFileSize) return TextReadStatus::kTooLarge;
  if (source.Size() > 0 && !source.ReadAt(0, static_cast<std::size_t>(source.Size()), bytes))
    return TextReadStatus::kUnreadable;
  return TextReadStatus::kOk;
}

}  // namespace

std::vector<std::string> SplitPieces(std::string_view text) {
  std::vector<std::string> pieces;
  for (;;) {
    std::size_t bar = text.find('|');
    pieces.emplace_back(text.substr(0, bar));
    if (bar == std::string_view::npos) return pieces;
    text.remove_prefix(bar + 1);
  }
}

std::vector<std::string> ItemsFromCaption(const std::vector<std::string>& items,
                                          std::string_view caption) {
  std::vector<std::string> out = items;
  if (caption.empty()) return out;
  std::vector<std::string> pieces = SplitPieces(caption);
  for (std::size_t i = 0; i < out.size() && i < pieces.size(); ++i) out[i] = std::move(pieces[i]);
  return out;
}

TextReadStatus DecodeLanguageText(std::span<const std::uint8_t> bytes, std::string& text) {
  text.clear();
  if (bytes.size() > kMaxLanguageFileSize) return TextReadStatus::kTooLarge;
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
    text = SanitizeUtf8(raw.substr(3));
  } else if (StartsWith(bytes, {0xFF, 0xFE})) {
    text = Utf16LeToUtf8(bytes.subspan(2), false);
  } else if (SanitizeUtf8(raw) == raw) {
    text.assign(raw);
  } else {
    text = AnsiToUtf8(raw);
  }
  if (text.find('\0') != std::string::npos) {
    text.clear();
    return TextReadStatus::kNotText;
  }
  return TextReadStatus::kOk;
}

TextReadStatus CTranslationMap::Load(const std::string& path) {
  m_map.clear();
  std::vector<std::uint8_t> bytes;
  TextReadStatus status = ReadBytes(path, bytes);
  return status == TextReadStatus::kOk ? LoadBytes(bytes) : status;
}

TextReadStatus CTranslationMap::LoadBytes(std::span<const std::uint8_t> bytes) {
  m_map.clear();
  std::string text;
  TextReadStatus status = DecodeLanguageText(bytes, text);
  if (status == TextReadStatus::kOk) ForEachLine(text, [this](std::string_view l) { AddLine(l); });
  return status;
}

bool CTranslationMap::AddLine(std::string_view line) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  m_map.insert_or_assign(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
  return true;
}

const std::string* CTranslationMap::Find(std::string_view english) const {
  auto it = m_map.find(std::string(english));
  return it == m_map.end() ? nullptr : &it->second;
}

std::string CTranslationMap::Translate(std::string_view text) const {
  std::string joined;
  bool first = true;
  for (const std::string& piece : SplitPieces(text)) {
    if (!first) joined += '|';
    first = false;
    const std::string* translated = Find(piece);
    joined += translated ? *translated : piece;
  }
  return ReplaceProgramName(joined);
}

TextReadStatus CLanguage::Load(const std::string& programFolder, const std::string& name) {
  if (programFolder.empty() || name.empty() || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos)
    return TextReadStatus::kMissing;
  CTranslationMap map;
  TextReadStatus status = map.Load(FolderPath(programFolder, name + kLanguageExtension));
  if (status != TextReadStatus::kOk) return status;
  CProfile reference;
  reference.Load(FolderPath(programFolder, kReferenceFileName));  // missing: no lookups
  Set(name, std::move(map), std::move(reference));
  return TextReadStatus::kOk;
}

void CLanguage::Set(std::string name, CTranslationMap map, CProfile reference) {
  m_strName = std::move(name);
  m_map = std::move(map);
  m_reference = std::move(reference);
  m_bHasReference = !m_reference.Lines().empty();
}

std::optional<std::string> CLanguage::English(int section, std::string_view key) const {
  return m_reference.Get(std::to_string(section), key);
}

std::optional<std::string> CLanguage::Text(int section, std::string_view key) const {
  std::optional<std::string> english = English(section, key);
  if (!english) return std::nullopt;
  return m_map.Translate(*english);
}

std::optional<std::string> CLanguage::MenuTitle(int position) const {
  return Caption(kMenuTitleSection + position);
}

std::vector<std::string> CLanguage::ColumnNames() const {
  std::optional<std::string> caption = Caption(kColumnOrderSection);
  if (!caption || caption->empty()) return {};
  return SplitPieces(*caption);
}

void ApplyLanguageTexts(const CLanguage& language) {
  for (int id : TextIds()) {
    // An empty English text in Reference.ini keeps the table's text.
    std::optional<std::string> english = language.English(id, "Hint");
    if (english && !english->empty()) SetText(id, language.Translate(*english));
  }
  // The window's own texts: an empty or missing caption keeps the text shown.
  for (const WindowTextRow& row : WindowTextRows()) {
    std::optional<std::string> caption = language.Caption(row.id);
    if (caption && !caption->empty()) SetWindowText(row.id, *caption);
  }
  // A caption with fewer pieces than columns renames the first ones; the others keep their
  // names, so no listing gets a column without a title.
  std::vector<std::string> names = language.ColumnNames();
  for (std::size_t i = 0; i < names.size() && i < kAllColumns.size(); ++i)
    SetColumnName(kAllColumns[i], names[i]);
}

TextReadStatus LoadLanguage(const std::string& programFolder, const std::string& name,
                            CLanguage& language) {
  TextReadStatus status = language.Load(programFolder, name);
  if (status == TextReadStatus::kOk) ApplyLanguageTexts(language);
  return status;
}

std::vector<std::string> ListLanguages(const std::string& programFolder) {
  std::vector<std::string> names;
  if (programFolder.empty()) return names;
  const std::string ext = kLanguageExtension;
  for (std::string file : ListFilesWithExtension(programFolder, ext)) {
    if (file.size() <= ext.size() || file.compare(file.size() - ext.size(), ext.size(), ext) != 0)
      continue;  // names are case-sensitive
    file.resize(file.size() - ext.size());
    names.push_back(std::move(file));
  }
  return names;
}

}  // namespace orvane
