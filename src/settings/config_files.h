// Settings, configuration (".ovc") and HTML style (".ovh") files.
//
// All three are INI files with one section "Settings" whose keys are the control identifiers
// of the option pages (plus "Window", "Splitters", "Language" and 1517 in the full kinds). Saving
// walks the controls and updates their keys in place; loading applies every key that has a
// non-empty value and leaves the controls of missing keys unchanged. Used on the
// user-interface thread (or the batch start-up) only.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "settings/option_pages.h"
#include "settings/profile_file.h"

namespace orvane {

inline constexpr const char* kSettingsSection = "Settings";
inline constexpr int kKeyOpenAfterSave = 1517;

// The named keys: window placement and splitters (kept and written back even when no window
// shows them), the language, and the document's "Open listing file after creation" flag.
struct CNamedSettings {
  // Show state, minimised x, y, maximised x, y, normal left, top, right, bottom.
  std::optional<std::array<int, 9>> m_window;
  // Current and minimum width of the main splitter's first column, then current and minimum
  // height of the right-hand splitter's first row.
  std::optional<std::array<int, 4>> m_splitters;
  std::string m_strLanguage = "English";
  int m_bOpenAfterSave = 0;
};

struct CLoadContext {
  // List or mail mode: a restored window placement gets the show state "hidden" (0).
  bool m_bBatchMode = false;
  // Pixels per logical inch of the screen, for the point sizes of the style fonts.
  int m_nDisplayDpi = 96;
};

// The text a control stores; nullopt for a control that stores nothing.
std::optional<std::string> ControlValue(const COptionPages& pages, const COptionControl& c);
// Applies a stored text to a control (callers skip empty values).
void ApplyControlValue(COptionPages& pages, const COptionControl& c, const std::string& value);

// Writes the keys into a profile: full = every control key, then "Window", "Splitters",
// "Language", 1517; otherwise the style keys, 1421 and 1422.
void WriteOptions(CProfile& profile, bool full, const COptionPages& pages,
                  const CNamedSettings& named);
// Reads every key the profile has into the pages and the named settings.
void ReadOptions(const CProfile& profile, COptionPages& pages, CNamedSettings& named,
                 const CLoadContext& context);

// Saves a settings or configuration file (full) or an HTML style file, keeping the other keys
// of an existing file. False, with the file unchanged, when it could not be written.
bool SaveOptions(const std::string& path, bool full, const COptionPages& pages,
                 const CNamedSettings& named);
// Loads any of the three kinds. A file that cannot be read changes nothing; the status says
// why. The caller then applies the pages to the listing options.
TextReadStatus LoadOptions(const std::string& path, COptionPages& pages, CNamedSettings& named,
                           const CLoadContext& context);

// appName + ".ini", unless appName already ends in ".ini" (any case).
std::string SettingsFileName(const std::string& appName);
// The per-user folder + "Orvane.ini"; empty when there is no per-user folder (then there is no
// settings file: nothing is read or written). create = false only finds the path, for reading.
std::string GetSettingsPath(bool create = true);

// Quick configurations: the ".ovc" files of the program's folder, as names without extension,
// sorted. Entry i is command 700 + i; only commands 700 to 764 (indexes 0 to 64) do anything.
inline constexpr int kQuickConfigCommand = 700;
inline constexpr int kQuickConfigMax = 65;
std::vector<std::string> ListQuickConfigurations(const std::string& programFolder);
// The path of entry index, or empty when the index does nothing (65 and up, or past the list).
std::string QuickConfigurationPath(const std::string& programFolder,
                                   const std::vector<std::string>& names, int index);
// The path of the quick configuration called name (without ".ovc"), or empty.
std::string FindQuickConfiguration(const std::string& programFolder, const std::string& name);

}  // namespace orvane
