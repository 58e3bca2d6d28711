#include "platform/user_folders.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "base/unicode.h"

namespace orvane {
namespace {

bool EnsureFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  return GetPathKind(path) == PathKind::kDirectory;
}

std::string ExecutablePath() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<std::size_t>(n));
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  return AsciiLower(s.substr(s.size() - tail.size())) == AsciiLower(tail);
}

}  // namespace

std::string GetUserFolder(bool create) {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return {};
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string path = base;
  if (create && !EnsureFolder(path)) return {};
  for (const char* level : {"Brenmoor", "Orvane"}) {
    path += "/";
    path += level;
    if (create && !EnsureFolder(path)) return {};
  }
  return path + "/";
}

std::string GetProgramFolder() {
  std::string exe = ExecutablePath();
  std::size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return {};
  std::string dir = exe.substr(0, slash);
  for (const std::string& candidate :
       {dir + "/share/orvane", dir + "/../share/orvane", dir + "/../../share/orvane"}) {
    if (GetPathKind(candidate) == PathKind::kDirectory) return AbsolutePath(candidate) + "/";
  }
  return {};
}

std::string GetProgramBaseName() {
  std::string exe = ExecutablePath();
  std::size_t slash = exe.rfind('/');
  std::string name = slash == std::string::npos ? exe : exe.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? std::string("orvane") : name;
}

PathKind GetPathKind(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathKind::kMissing;
  if (S_ISREG(st.st_mode)) return PathKind::kRegular;
  if (S_ISDIR(st.st_mode)) return PathKind::kDirectory;
  return PathKind::kOther;
}

std::vector<std::string> ListFilesWithExtension(const std::string& folder,
                                                const std::string& extension) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  while (const dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name.size() <= extension.size() || !EndsWithNoCase(name, extension)) continue;
    if (GetPathKind(base + name) == PathKind::kRegular) names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  if (ec) p = path;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

bool RemoveRegularFile(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

}  // namespace orvane
