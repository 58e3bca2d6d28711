// Places of Orvane's own files: the per-user folder (settings, remembered selection), the
// program's data folder (quick configurations, language files, Reference.ini), and small
// questions about paths that the configuration code asks.
//
// All functions are safe from any thread; they read the environment and the file system only.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// $XDG_CONFIG_HOME (when absolute; else $HOME/.config) + "/Brenmoor/Orvane/", each level created
// (mode 0700) when missing. Empty when no base folder is known or a level cannot be created.
// With create false nothing is created and the path is returned whether it exists or not
// (for reading only).
std::string GetUserFolder(bool create = true);

// The installed data folder with a final "/": "share/orvane" next to the executable (the build
// tree), "../share/orvane" from it (an installation) or "../../share/orvane" (the window
// program in libexec/orvane/). Empty when none exists.
std::string GetProgramFolder();

// The executable's file name without folder and extension ("orvane").
std::string GetProgramBaseName();

enum class PathKind { kMissing, kRegular, kDirectory, kOther };
// What a path names, following symbolic links. kMissing also when it cannot be examined.
PathKind GetPathKind(const std::string& path);

// Names (not paths) of the regular files in folder whose names end with extension (compared
// without regard to ASCII case), sorted by name. Empty when the folder cannot be read.
std::vector<std::string> ListFilesWithExtension(const std::string& folder,
                                                const std::string& extension);

// The absolute form of path ("." and ".." resolved lexically, no final "/" except for the
// root). Symbolic links are kept as they are.
std::string AbsolutePath(const std::string& path);

// Removes one regular file (never a folder). False when it could not be removed.
bool RemoveRegularFile(const std::string& path);

}  // namespace orvane
