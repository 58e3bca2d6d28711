#include "settings/config_files.h"

#include <algorithm>

#include "base/numbers.h"
#include "base/strings.h"
#include "base/unicode.h"
#include "platform/user_folders.h"
#include "writers/html_style.h"

namespace orvane {
namespace {

template <std::size_t N>
std::string JoinInts(const std::array<int, N>& values) {
  std::string out;
  for (std::size_t i = 0; i < N; ++i) {
    if (i) out += '|';
    out += std::to_string(values[i]);
  }
  return out;
}

template <std::size_t N>
std::array<int, N> SplitInts(std::string_view text) {
  std::array<int, N> values{};
  for (std::size_t i = 0; i < N && !text.empty(); ++i) {
    std::size_t bar = text.find('|');
    values[i] = ParseDecimal(text.substr(0, bar));
    text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
  }
  return values;
}

std::string Key(int id) {
  return std::to_string(id);
}

void WriteStyleKeys(CProfile& p, const CHtmlStyleSet& s) {
  p.Set(kSettingsSection, Key(kKeyFrameColor), std::to_string(s[kStyleFrame].crColor));
  p.Set(kSettingsSection, Key(kKeyBackgroundColor), std::to_string(s[kStyleBackground].crColor));
  p.Set(kSettingsSection, Key(kKeyFrameSize), std::to_string(s[kStyleFrame].nSize));
  p.Set(kSettingsSection, Key(kKeyHeaderStyle), StyleToValue(s[kStyleHeader]));
  p.Set(kSettingsSection, Key(kKeyDirectoryStyle), StyleToValue(s[kStyleDirectory]));
  p.Set(kSettingsSection, Key(kKeyOddRowStyle), StyleToValue(s[kStyleOddRow]));
  p.Set(kSettingsSection, Key(kKeyEvenRowStyle), StyleToValue(s[kStyleEvenRow]));
}

void ReadStyleKeys(const CProfile& p, int dpi, CHtmlStyleSet& s) {
  auto get = [&p](int key) { return p.Get(kSettingsSection, Key(key)).value_or(""); };
  if (std::string v = get(kKeyFrameColor); !v.empty())
    s[kStyleFrame].crColor = static_cast<std::uint32_t>(ParseDecimal(v));
  if (std::string v = get(kKeyBackgroundColor); !v.empty())
    s[kStyleBackground].crColor = static_cast<std::uint32_t>(ParseDecimal(v));
  if (std::string v = get(kKeyFrameSize); !v.empty())
    s[kStyleFrame].nSize = std::clamp(ParseDecimal(v), 1, 100);
  StyleFromValue(get(kKeyHeaderStyle), s[kStyleHeader], dpi);
  StyleFromValue(get(kKeyDirectoryStyle), s[kStyleDirectory], dpi);
  StyleFromValue(get(kKeyOddRowStyle), s[kStyleOddRow], dpi);
  StyleFromValue(get(kKeyEvenRowStyle), s[kStyleEvenRow], dpi);
}

}  // namespace

std::optional<std::string> ControlValue(const COptionPages& pages, const COptionControl& c) {
  switch (c.m_kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kThreeState:
    case ControlKind::kRadio:
    case ControlKind::kCombo:
      return std::to_string(c.m_nValue);
    case ControlKind::kEdit:
      return c.m_strText;
    case ControlKind::kDatePicker:
      return std::to_string(c.m_tMoment);
    case ControlKind::kColumnOrder:
      return pages.ColumnOrder().Encode();
  }
  return std::nullopt;
}

void ApplyControlValue(COptionPages& pages, const COptionControl& c, const std::string& value) {
  switch (c.m_kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kThreeState:
    case ControlKind::kRadio:
      pages.SetCheck(c.m_nId, ParseDecimal(value));
      break;
    case ControlKind::kCombo:
      pages.SetSelection(c.m_nId, ParseDecimal(value));
      break;
    case ControlKind::kEdit:
      pages.SetText(c.m_nId, value);
      break;
    case ControlKind::kDatePicker:
      pages.SetMoment(c.m_nId, ParseDecimal64(value));
      break;
    case ControlKind::kColumnOrder:
      pages.EditColumnOrder([&](CColumnOrderList& order) { order.Decode(value); });
      break;
  }
}

void WriteOptions(CProfile& profile, bool full, const COptionPages& pages,
                  const CNamedSettings& named) {
  if (!full) {
    WriteStyleKeys(profile, pages.Styles());
    for (int id : {kKeyExternalCss, kKeyCssPath}) {
      if (const COptionControl* c = pages.Find(id))
        profile.Set(kSettingsSection, Key(id), ControlValue(pages, *c).value_or(""));
    }
    return;
  }
  bool stylesWritten = false;
  for (const COptionControl& c : pages.Controls()) {
    // The "Output options" page itself comes before its controls in the walk.
    if (c.m_page == OptionPage::kOutput && !stylesWritten) {
      WriteStyleKeys(profile, pages.Styles());
      stylesWritten = true;
    }
    if (auto value = ControlValue(pages, c)) profile.Set(kSettingsSection, Key(c.m_nId), *value);
  }
  if (named.m_window) profile.Set(kSettingsSection, "Window", JoinInts(*named.m_window));
  if (named.m_splitters) profile.Set(kSettingsSection, "Splitters", JoinInts(*named.m_splitters));
  profile.Set(kSettingsSection, "Language", named.m_strLanguage);
  profile.Set(kSettingsSection, Key(kKeyOpenAfterSave), named.m_bOpenAfterSave ? "1" : "0");
}

void ReadOptions(const CProfile& profile, COptionPages& pages, CNamedSettings& named,
                 const CLoadContext& context) {
  bool stylesRead = false;
  for (const COptionControl& c : pages.Controls()) {
    if (c.m_page == OptionPage::kOutput && !stylesRead) {
      pages.EditStyles(
          [&](CHtmlStyleSet& styles) { ReadStyleKeys(profile, context.m_nDisplayDpi, styles); });
      stylesRead = true;
    }
    std::string value = profile.Get(kSettingsSection, Key(c.m_nId)).value_or("");
    if (!value.empty()) ApplyControlValue(pages, c, value);
  }
  auto get = [&profile](const std::string& key) {
    return profile.Get(kSettingsSection, key).value_or("");
  };
  if (std::string v = get("Window"); !v.empty()) {
    named.m_window = SplitInts<9>(v);
    if (context.m_bBatchMode) (*named.m_window)[0] = 0;
  }
  if (std::string v = get("Splitters"); !v.empty()) named.m_splitters = SplitInts<4>(v);
  if (std::string v = get("Language"); !v.empty()) named.m_strLanguage = v;
  if (std::string v = get(Key(kKeyOpenAfterSave)); !v.empty())
    named.m_bOpenAfterSave = ParseDecimal(v) != 0 ? 1 : 0;
}

bool SaveOptions(const std::string& path, bool full, const COptionPages& pages,
                 const CNamedSettings& named) {
  CProfile profile;
  // Keys of an existing file are kept; a file that exists but cannot be opened is left alone.
  if (profile.Load(path) == TextReadStatus::kUnreadable) return false;
  WriteOptions(profile, full, pages, named);
  return profile.Save(path);
}

TextReadStatus LoadOptions(const std::string& path, COptionPages& pages, CNamedSettings& named,
                           const CLoadContext& context) {
  CProfile profile;
  TextReadStatus status = profile.Load(path);
  if (status == TextReadStatus::kOk) ReadOptions(profile, pages, named, context);
  return status;
}

std::string SettingsFileName(const std::string& appName) {
  const std::string ext = ".ini";
  if (appName.size() >= ext.size() && AsciiLower(appName.substr(appName.size() - 4)) == ext)
    return appName;
  return appName + ext;
}

std::string GetSettingsPath(bool create) {
  std::string folder = GetUserFolder(create);
  if (folder.empty()) return {};
  return folder + SettingsFileName(kProgramName);
}

std::vector<std::string> ListQuickConfigurations(const std::string& programFolder) {
  std::vector<std::string> names;
  if (programFolder.empty()) return names;
  for (std::string file : ListFilesWithExtension(programFolder, ".ovc")) {
    if (file.compare(file.size() - 4, 4, ".ovc") != 0) continue;  // names are case-sensitive
    file.resize(file.size() - 4);
    names.push_back(std::move(file));
  }
  return names;
}

std::string QuickConfigurationPath(const std::string& programFolder,
                                   const std::vector<std::string>& names, int index) {
  if (index < 0 || index >= kQuickConfigMax || index >= static_cast<int>(names.size())) return {};
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + names[static_cast<std::size_t>(index)] + ".ovc";
}

std::string FindQuickConfiguration(const std::string& programFolder, const std::string& name) {
  std::vector<std::string> names = ListQuickConfigurations(programFolder);
  auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) return {};
  return QuickConfigurationPath(programFolder, names, static_cast<int>(it - names.begin()));
}

}  // namespace orvane
