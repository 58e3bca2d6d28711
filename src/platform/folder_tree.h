// What the directory tree asks of the file system: the mounted volumes, the subfolders of a
// folder, and whether a folder holds any subfolder at all (the expand button).
//
// FolderSource is an interface so the tree can be tested on an in-memory tree. The POSIX source
// reads /proc/self/mountinfo and the folders themselves; network places go through the network
// finder. Every method may block (a dead network mount hangs in the kernel), so callers on the
// user-interface thread call them from a worker thread. Implementations must be safe to call
// from several threads at once.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// One subfolder as the tree shows it.
struct SubfolderEntry {
  std::string name;            // the name's bytes, as the file system has them
  bool isLink = false;         // a symbolic link to a folder: shown, never opened below itself
  bool hasSubfolders = false;  // filled only when asked for (ListSubfolders' probe flag)
};

// A mounted volume shown as a root of the tree.
struct MountedVolume {
  std::string mountPoint;  // absolute, no trailing "/" except the root "/"
  std::string label;       // the volume label, empty when it has none
  std::string device;      // the mount source ("/dev/sdb1", "server:/export", ...)
  bool removable = false;  // mounted where desktops mount removable media
};

class FolderSource {
 public:
  virtual ~FolderSource() = default;

  // Lists the subfolders of the folder `path` (absolute; a network path for network places),
  // links to folders included and marked, in no particular order. With probe, each entry's
  // hasSubfolders tells whether it holds a subfolder (a link never does). False, with out
  // empty, when the folder cannot be read.
  virtual bool ListSubfolders(const std::string& path, bool probe,
                              std::vector<SubfolderEntry>& out) = 0;
  // True when the folder holds at least one subfolder; false when it holds none or cannot be
  // read. Stops at the first one found.
  virtual bool HasSubfolder(const std::string& path) = 0;
  // The mounted volumes of real file systems: "/" first, then the others by mount point.
  virtual std::vector<MountedVolume> ListVolumes() = 0;
  // The name of the network root (the network finder's provider), or "" when the network
  // finder has no provider.
  virtual std::string NetworkRootName() = 0;
};

// The source over this machine's file system.
std::unique_ptr<FolderSource> MakeSystemFolderSource();

// The volumes a mountinfo text describes (the format of /proc/self/mountinfo): pseudo file
// systems and the system's own tmpfs mounts are left out, a later mount on the same point hides
// an earlier one, "/" comes first. labels maps a device path to its volume label.
std::vector<MountedVolume> ParseMountedVolumes(
    std::string_view mountinfo, const std::vector<std::pair<std::string, std::string>>& labels);

// The name the tree shows for a volume: "/" for the root, else its label, else the last
// component of its mount point.
std::string VolumeDisplayName(const MountedVolume& volume);

}  // namespace orvane
