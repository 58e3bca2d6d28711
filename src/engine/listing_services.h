// ListingServices: what a generation asks the system about entries besides reading files: the
// folders and their entries, the type name of a name, the owner of a path, the volume of a
// mount point.
//
// An engine uses SystemListingServices() unless its creator passes others (tests pass fakes to
// build rows the disk cannot give). The calls come from the engine's worker thread; several
// engines may call one services object at once, so an implementation must be thread-safe.
#pragma once

#include <string>

#include "platform/folder_walker.h"

namespace orvane {

class ListingServices {
 public:
  virtual ~ListingServices() = default;
  // The folders the scan walks and their entries (the system's unless a test gives others).
  virtual FolderWalker& Folders() { return SystemFolderWalker(); }
  // The description of the type of a file or directory name; "" when none is known.
  virtual std::string TypeName(const std::string& name, bool isDirectory) = 0;
  // The owner text of the entry at path; "" when it cannot be examined.
  virtual std::string Owner(const std::string& path) = 0;
  // True, with its serial and file system, when path is the mount point of a volume.
  virtual bool Volume(const std::string& path, VolumeInfo& out) = 0;
  // The mount point of the volume that holds path ("/" for the root volume).
  virtual std::string MountPoint(const std::string& path) = 0;
};

// The services of this system (the shared MIME database, the user database, the mount table).
ListingServices& SystemListingServices();

}  // namespace orvane
