// What identifies one version of a file on disk, and the per-user cache folder where Orvane
// keeps what it may compute again at any time (the checksums of unchanged files).
//
// Safe from any thread; they read the file system and the environment only.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// One version of a file: the same device, inode, size, modification and change time (in
// nanoseconds) mean the same contents, since every write moves the change time on.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file at path (symbolic links followed). False when it cannot be
// examined or is not a regular file (network paths included: they have no inode here).
bool GetFileIdentity(const std::string& path, FileIdentity& out);

// $XDG_CACHE_HOME (when absolute; else $HOME/.cache) + "/Brenmoor/Orvane/", each level created
// (mode 0700) when missing. Empty when no base folder is known or a level cannot be created.
std::string GetCacheFolder();

}  // namespace orvane
