#include "platform/mount_table.h"

#include <cstring>

namespace orvane {

std::string UnescapeMountField(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      int v = 0;
      bool ok = true;
      for (std::size_t k = 1; k <= 3; ++k) {
        char c = s[i + k];
        if (c < '0' || c > '7') ok = false;
        v = v * 8 + (c - '0');
      }
      if (ok) {
        out.push_back(static_cast<char>(v));
        i += 3;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

bool IsUnderPath(const std::string& point, const char* top) {
  std::size_t n = std::strlen(top);
  return point.compare(0, n, top) == 0 && (point.size() == n || point[n] == '/');
}

bool IsPseudoFileSystem(const std::string& fs, const std::string& point) {
  static const char* const kPseudo[] = {
      "proc",       "sysfs",     "cgroup",   "cgroup2",         "devpts",      "devtmpfs",
      "mqueue",     "debugfs",   "tracefs",  "securityfs",      "pstore",      "bpf",
      "autofs",     "hugetlbfs", "configfs", "fusectl",         "binfmt_misc", "efivarfs",
      "rpc_pipefs", "nsfs",      "ramfs",    "fuse.gvfsd-fuse", "fuse.portal"};
  for (const char* p : kPseudo)
    if (fs == p) return true;
  if (fs == "tmpfs")
    for (const char* sys : {"/dev", "/run", "/sys", "/proc"})
      if (IsUnderPath(point, sys)) return true;
  return false;
}

}  // namespace orvane
