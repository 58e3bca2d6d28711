// Temporary files and safe replacement of files.
//
// Temporary listings live in $TMPDIR (default /tmp) and are created exclusively with mode 0600.
// A file that is rewritten (settings, configuration, selection) is written next to itself under
// a temporary name and renamed over the old one, so a failed write leaves the old file intact.
// All functions are safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The longest path the system takes, in bytes (PATH_MAX, with the final NUL).
inline constexpr std::size_t kMaxPathBytes = 4096;

// $TMPDIR when set and not empty, else "/tmp"; always with a final "/".
std::string GetTempFolder();

enum class CreateResult { kCreated, kExists, kFailed };
// Creates an empty file that must not exist yet (O_CREAT|O_EXCL, mode 0600), and closes it.
CreateResult CreateExclusiveFile(const std::string& path);

// Writes bytes as the new content of path: a temporary file in the same folder is written,
// flushed and renamed over path (a symbolic link at path is followed and its target replaced).
// The permissions of an existing file are kept; a new file gets 0644 less the umask.
// False, with the old file untouched, when anything fails.
bool ReplaceFileContent(const std::string& path, std::string_view bytes);

// Creates a new folder (mode 0700) parent + prefix + six random characters; returns its path
// with a final "/", or empty on failure.
std::string MakePrivateFolder(const std::string& parent, const std::string& prefix);

// Removes, below parent, every folder owned by this user whose name starts with prefix and
// that was last modified more than maxAgeSeconds before now, together with the regular files
// directly inside it. Symbolic links are never followed. Returns how many folders went.
int RemoveStaleFolders(const std::string& parent, const std::string& prefix,
                       std::int64_t maxAgeSeconds, std::int64_t now);

// An unnamed temporary file, open for reading and writing: it has no name from the start (or
// loses it at once), so nothing is left behind however the program ends. Closed when the object
// goes. One object belongs to one thread.
class AnonymousFile {
 public:
  // A file in folder ($TMPDIR-style, with a final "/"); IsOpen() is false when none can be made.
  explicit AnonymousFile(const std::string& folder);
  ~AnonymousFile();
  AnonymousFile(const AnonymousFile&) = delete;
  AnonymousFile& operator=(const AnonymousFile&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  // A path that opens this same file while the object lives ("/proc/self/fd/N").
  std::string Path() const;
  // Copies the whole file, from its start, to standard output. False when a read or a write
  // fails.
  bool CopyToStdout() const;

 private:
  int m_fd = -1;
};

}  // namespace orvane
