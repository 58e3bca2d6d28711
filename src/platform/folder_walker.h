// FolderWalker: the file system as the listing scan walks it. Folders are opened by path or
// relative to an open folder, so paths of any length and trees of any depth can be walked; a
// folder's entries are read in one go with their status and handed out in the finder's order
// (ascending case-folded name, ties by the name's bytes; see CBRMFileFind).
//
// The system's walker is the network finder over DirHandle, network places included; tests
// give one of their own to build trees the disk cannot hold. Calls may come from several
// threads at once; one open folder or listing is used by one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_find.h"

namespace orvane {

// An open folder of a walker (a descriptor, a network place, a node of a fake tree).
class OpenFolder {
 public:
  virtual ~OpenFolder() = default;
};
using FolderPtr = std::unique_ptr<OpenFolder>;

// The entries of one folder, read when the listing was made.
class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // The next entry, or null after the last; the caller may change it, and it is valid until
  // the next call. "." and ".." never come. Times are as the file system gives them (0: no
  // birth time).
  virtual FindData* Next() = 0;
  // The names of the entries still to come that are folders (not links), in order.
  virtual void Subfolders(std::vector<std::string>& names) const = 0;
  // How many entries are still to come, when the listing knows (0 when it does not).
  virtual std::size_t EntriesLeft() const { return 0; }
};

class FolderWalker {
 public:
  virtual ~FolderWalker() = default;
  // Each returns null when the folder cannot be opened.
  virtual FolderPtr Open(const std::string& path) = 0;
  // The subfolder `name`, without following a symbolic link.
  virtual FolderPtr OpenChild(const OpenFolder& parent, const std::string& name) = 0;
  virtual FolderPtr OpenParent(const OpenFolder& folder) = 0;
  // The entries of an open folder with their status; null when it cannot be read (the scan
  // lists such a folder as empty). Entries that vanish while it is read are left out.
  virtual std::unique_ptr<FolderListing> List(const OpenFolder& folder) = 0;
  // Lists the folder at `path` on its own, apart from the walk's open folders, so folders can
  // be read ahead on other threads. False when the walker leaves it to the walk (a network
  // place, a path too long to open in one go, a folder it cannot open by its path); otherwise
  // true, with the listing, or null when the folder cannot be read.
  virtual bool ListAhead(const std::string& path, std::unique_ptr<FolderListing>& out) = 0;
  // Status of one object by path (following links); false when it cannot be asked.
  virtual bool Stat(const std::string& path, FindData& out) = 0;
};

// The walker of this system (local folders and network places).
FolderWalker& SystemFolderWalker();

}  // namespace orvane
