#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_identity.h"
#include "platform/net_provider.h"

namespace orvane {
namespace {

std::int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  return false;
}

}  // namespace

bool GetFileIdentity(const std::string& path, FileIdentity& out) {
  if (IsNetworkPath(path)) return false;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  out.device = static_cast<std::uint64_t>(st.st_dev);
  out.inode = static_cast<std::uint64_t>(st.st_ino);
  out.size = static_cast<std::uint64_t>(st.st_size);
  out.modifiedNs = Nanoseconds(st.st_mtim);
  out.changedNs = Nanoseconds(st.st_ctim);
  return true;
}

std::string GetCacheFolder() {
  std::string base;
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return std::string();
    base = std::string(home) + "/.cache";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string path = base;
  for (const char* level : {"", "/Brenmoor", "/Orvane"}) {
    path += level;
    if (!MakeFolder(path)) return std::string();
  }
  return path + "/";
}

}  // namespace orvane
