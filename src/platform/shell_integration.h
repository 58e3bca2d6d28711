// The shell integration: an "Orvane listing" entry in the context menus of the user's file
// managers, so a folder can be listed from its menu. The entry runs "orvane /l FOLDER", which
// lists the folder with the settings the window saved last.
//
// Three file managers keep user entries in a folder of their own; each gets the entry only when
// that folder already exists (the file manager is in use):
// - KDE (Dolphin): a service menu,
// $XDG_DATA_HOME/kio/servicemenus/org.brenmoor.Orvane.listing.desktop
// - GNOME Files (Nautilus): a script, $XDG_DATA_HOME/nautilus/scripts/Orvane listing
// - Thunar: a custom action inside $XDG_CONFIG_HOME/Thunar/uca.xml, among the user's own
// Removing takes away exactly what was added: the two files (only when they are Orvane's), and
// in uca.xml the one action, every other byte of the file kept. Files are replaced through a
// temporary file, so a failed write leaves the old file whole. Safe from any thread; concurrent
// calls for the same home are not serialised.
#pragma once

#include <string>
#include <vector>

namespace orvane {

struct ShellPlaces {
  std::string dataHome;    // $XDG_DATA_HOME, or $HOME/.local/share
  std::string configHome;  // $XDG_CONFIG_HOME, or $HOME/.config
  // The system's configuration folders ($XDG_CONFIG_DIRS, or /etc/xdg): Thunar's own actions
  // when the user has no uca.xml yet.
  std::vector<std::string> configDirs;
};

// The places of the current user from the environment (empty members when unknown).
ShellPlaces GetShellPlaces();

enum class FileManager { kKde, kNautilus, kThunar };

struct ShellIntegrationResult {
  std::vector<FileManager> changed;  // entries added (or removed)
  std::vector<FileManager> failed;   // the folder is there, but its entry could not be written
};

// Adds (or renews) the entry running program (an absolute path) in every file manager found.
ShellIntegrationResult InstallShellIntegration(const std::string& program,
                                               const ShellPlaces& places);
// Removes the entries InstallShellIntegration added; others are left alone.
ShellIntegrationResult RemoveShellIntegration(const ShellPlaces& places);

}  // namespace orvane
