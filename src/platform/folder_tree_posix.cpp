#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/file_find.h"
#include "platform/folder_tree.h"
#include "platform/mount_table.h"

namespace orvane {
namespace {

// The provider the network finder answers for when it has one.
constexpr const char* kNetworkProvider = "Windows Network";

// /dev/disk/by-label writes the characters of a label it cannot use in a name as "\xHH".
std::string UnescapeHex(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && s.size() - i > 3 && s[i + 1] == 'x' && std::isxdigit(s[i + 2]) &&
        std::isxdigit(s[i + 3])) {
      out.push_back(static_cast<char>(std::stoi(std::string(s.substr(i + 2, 2)), nullptr, 16)));
      i += 3;
      continue;
    }
    out.push_back(s[i]);
  }
  return out;
}

// A volume is a mount that is not the system's own; snap packages are mounted read-only images,
// not volumes a user keeps files on.
bool IsVolumeMount(const std::string& fs, const std::string& point) {
  return !IsPseudoFileSystem(fs, point) && !(fs == "squashfs" && IsUnderPath(point, "/snap"));
}

// Whether the entry `name` of the open folder is a folder, and whether it is a link to one.
bool EntryIsFolder(int dirFd, const dirent& e, bool& isLink) {
  isLink = e.d_type == DT_LNK;
  if (e.d_type == DT_DIR) return true;
  if (e.d_type != DT_LNK && e.d_type != DT_UNKNOWN) return false;
  struct stat st;
  if (e.d_type == DT_UNKNOWN) {
    if (::fstatat(dirFd, e.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    if (!S_ISLNK(st.st_mode)) return false;
    isLink = true;
  }
  return ::fstatat(dirFd, e.d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool IsDots(const char* n) {
  return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}

// Reads the open folder fd (taken over and closed). With firstOnly, stops at the first
// subfolder. Probing opens each real subfolder below dirFd by name without following links.
bool ReadFolder(int fd, bool firstOnly, bool probe, std::vector<SubfolderEntry>* out, bool* found);

bool HasSubfolderAt(int parentFd, const char* name) {
  int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  bool found = false;
  if (fd >= 0) ReadFolder(fd, true, false, nullptr, &found);
  return found;
}

bool ReadFolder(int fd, bool firstOnly, bool probe, std::vector<SubfolderEntry>* out, bool* found) {
  DIR* d = ::fdopendir(fd);
  if (!d) {
    ::close(fd);
    return false;
  }
  const int dirFd = ::dirfd(d);
  while (const dirent* e = ::readdir(d)) {
    if (IsDots(e->d_name)) continue;
    bool isLink = false;
    if (!EntryIsFolder(dirFd, *e, isLink)) continue;
    if (found) *found = true;
    if (firstOnly) break;
    SubfolderEntry entry;
    entry.name = e->d_name;
    entry.isLink = isLink;
    if (probe && !isLink) entry.hasSubfolders = HasSubfolderAt(dirFd, e->d_name);
    out->push_back(std::move(entry));
  }
  ::closedir(d);
  return true;
}

// A folder opened by path, long paths included; -1 when it cannot be opened.
int OpenFolder(const std::string& path) {
  DirHandle h = DirHandle::Open(path);
  if (!h.IsOpen()) return -1;
  return ::fcntl(h.Fd(), F_DUPFD_CLOEXEC, 0);
}

std::vector<std::pair<std::string, std::string>> ReadVolumeLabels() {
  std::vector<std::pair<std::string, std::string>> labels;
  DIR* d = ::opendir("/dev/disk/by-label");
  if (!d) return labels;
  while (const dirent* e = ::readdir(d)) {
    if (IsDots(e->d_name)) continue;
    std::string link = std::string("/dev/disk/by-label/") + e->d_name;
    char real[PATH_MAX];
    if (::realpath(link.c_str(), real)) labels.emplace_back(real, UnescapeHex(e->d_name));
  }
  ::closedir(d);
  return labels;
}

class SystemFolderSource : public FolderSource {
 public:
  bool ListSubfolders(const std::string& path, bool probe,
                      std::vector<SubfolderEntry>& out) override {
    out.clear();
    if (path.empty() || path[0] != '/') return ListNetwork(path, out);
    int fd = OpenFolder(path);
    if (fd < 0) return false;
    bool found = false;
    if (ReadFolder(fd, false, probe, &out, &found)) return true;
    out.clear();
    return false;
  }

  bool HasSubfolder(const std::string& path) override {
    if (path.empty() || path[0] != '/') {
      std::vector<SubfolderEntry> entries;
      return ListNetwork(path, entries) && !entries.empty();
    }
    int fd = OpenFolder(path);
    bool found = false;
    if (fd >= 0) ReadFolder(fd, true, false, nullptr, &found);
    return found;
  }

  std::vector<MountedVolume> ListVolumes() override {
    std::ifstream f("/proc/self/mountinfo");
    std::stringstream text;
    text << f.rdbuf();
    return ParseMountedVolumes(text.str(), ReadVolumeLabels());
  }

  std::string NetworkRootName() override {
    CBRMNetFind find;
    return find.FindFile(std::string(kNetworkProvider)) ? kNetworkProvider : "";
  }

 private:
  // Network containers and shares: every entry the network finder marks as a folder.
  static bool ListNetwork(const std::string& path, std::vector<SubfolderEntry>& out) {
    CBRMNetFind find;
    if (!find.FindFile(path)) return false;
    while (find.FindNextFile()) {
      if (find.IsDots() || !find.IsDirectory()) continue;
      // Asking every server whether it has shares would cost a network round each: network
      // places always show an expand button.
      out.push_back({find.GetFileName(), find.IsLink(), true});
    }
    return true;
  }
};

}  // namespace

std::vector<MountedVolume> ParseMountedVolumes(
    std::string_view mountinfo, const std::vector<std::pair<std::string, std::string>>& labels) {
  std::vector<MountedVolume> list;
  std::istringstream lines{std::string(mountinfo)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    std::string id, parent, dev, root, point, options, field;
    if (!(in >> id >> parent >> dev >> root >> point >> options)) continue;
    while (in >> field && field != "-") {
    }
    std::string fsType, source;
    if (field != "-" || !(in >> fsType >> source)) continue;
    point = UnescapeMountField(point);
    if (point.empty() || point[0] != '/' || !IsVolumeMount(fsType, point)) continue;
    while (point.size() > 1 && point.back() == '/') point.pop_back();
    // A later mount on the same point hides the earlier one.
    std::erase_if(list, [&](const MountedVolume& v) { return v.mountPoint == point; });
    MountedVolume v;
    v.mountPoint = point;
    v.device = UnescapeMountField(source);
    for (const auto& [device, label] : labels)
      if (device == v.device) v.label = label;
    v.removable = IsUnderPath(point, "/media") || IsUnderPath(point, "/run/media");
    list.push_back(std::move(v));
  }
  if (std::none_of(list.begin(), list.end(),
                   [](const MountedVolume& v) { return v.mountPoint == "/"; }))
    list.push_back({"/", "", "", false});
  std::sort(list.begin(), list.end(), [](const MountedVolume& a, const MountedVolume& b) {
    if ((a.mountPoint == "/") != (b.mountPoint == "/")) return a.mountPoint == "/";
    return a.mountPoint < b.mountPoint;
  });
  return list;
}

std::string VolumeDisplayName(const MountedVolume& volume) {
  if (volume.mountPoint == "/") return "/";
  if (!volume.label.empty()) return volume.label;
  return volume.mountPoint.substr(volume.mountPoint.rfind('/') + 1);
}

std::unique_ptr<FolderSource> MakeSystemFolderSource() {
  return std::make_unique<SystemFolderSource>();
}

}  // namespace orvane
