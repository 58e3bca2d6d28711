#include "platform/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

static_assert(orvane::kMaxPathBytes == PATH_MAX, "kMaxPathBytes must be the system's PATH_MAX");

namespace orvane {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a path finally names: symbolic links at the end resolved, up to a few levels.
std::string ResolveFinalLinks(std::string path) {
  for (int depth = 0; depth < 16; ++depth) {
    char buf[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return path;
    std::string target(buf, static_cast<std::size_t>(n));
    if (target[0] != '/') {
      std::size_t slash = path.rfind('/');
      target = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
    }
    path = target;
  }
  return path;
}

mode_t DefaultFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0644 & ~mask);
}

}  // namespace

std::string GetTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

CreateResult CreateExclusiveFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return errno == EEXIST ? CreateResult::kExists : CreateResult::kFailed;
  ::close(fd);
  return CreateResult::kCreated;
}

bool ReplaceFileContent(const std::string& path, std::string_view bytes) {
  if (path.empty()) return false;
  const std::string target = ResolveFinalLinks(path);
  std::size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmpl = folder + "." + name + ".XXXXXX";
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return false;
  struct stat st;
  mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : DefaultFileMode();
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(tmpl.c_str(), target.c_str()) == 0) return true;
  ::unlink(tmpl.c_str());
  return false;
}

std::string MakePrivateFolder(const std::string& parent, const std::string& prefix) {
  std::string tmpl = parent;
  if (!tmpl.empty() && tmpl.back() != '/') tmpl += '/';
  tmpl += prefix + "XXXXXX";
  if (!::mkdtemp(tmpl.data())) return {};
  return tmpl + "/";
}

int RemoveStaleFolders(const std::string& parent, const std::string& prefix,
                       std::int64_t maxAgeSeconds, std::int64_t now) {
  std::string base = parent;
  if (!base.empty() && base.back() != '/') base += '/';
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return 0;
  std::vector<std::string> stale;
  while (const dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() == prefix.size()) continue;
    struct stat st;
    if (::lstat((base + name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (st.st_uid != ::getuid()) continue;
    if (now - static_cast<std::int64_t>(st.st_mtime) > maxAgeSeconds) stale.push_back(base + name);
  }
  ::closedir(dir);
  int removed = 0;
  for (const std::string& folder : stale) {
    if (DIR* d = ::opendir(folder.c_str())) {
      while (const dirent* e = ::readdir(d)) {
        std::string file = folder + "/" + e->d_name;
        struct stat st;
        if (::lstat(file.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(file.c_str());
      }
      ::closedir(d);
    }
    if (::rmdir(folder.c_str()) == 0) ++removed;
  }
  return removed;
}

AnonymousFile::AnonymousFile(const std::string& folder) {
  m_fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (m_fd >= 0) return;
  // File systems without unnamed files: a named one, unlinked at once.
  std::string name = folder + "orvane-XXXXXX";
  m_fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (m_fd >= 0) ::unlink(name.c_str());
}

AnonymousFile::~AnonymousFile() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string AnonymousFile::Path() const {
  return "/proc/self/fd/" + std::to_string(m_fd);
}

bool AnonymousFile::CopyToStdout() const {
  if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) return false;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(STDOUT_FILENO, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

}  // namespace orvane
