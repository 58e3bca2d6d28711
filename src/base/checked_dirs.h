// CheckedDirs: the directories a user ticked, each with or without its subdirectories.
//
// One type for the selection files, the directory tree and the listing engine. Keys are absolute
// paths in the form the finder takes ("/" for the root, no trailing "/" otherwise, network paths
// as "\\server\share"); a map keeps them in a stable order, so a listing of the same selection is
// always scanned in the same order. Plain data: no locking, copy it between threads.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

enum class DirCheck {
  kAlone,        // the directory's own entries only
  kWithSubdirs,  // the directory and every directory below it
};

using CheckedDirs = std::map<std::string, DirCheck>;

// The code a selection file stores for a check: "2" alone, "3" with subdirectories.
inline const char* SelectionCode(DirCheck check) {
  return check == DirCheck::kAlone ? "2" : "3";
}

// The check a selection-file code stands for; nothing for any other text.
inline std::optional<DirCheck> ParseSelectionCode(std::string_view code) {
  if (code == "2") return DirCheck::kAlone;
  if (code == "3") return DirCheck::kWithSubdirs;
  return std::nullopt;
}

}  // namespace orvane
