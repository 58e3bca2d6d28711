#include "platform/watched_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace orvane {

CWatchedFile::CWatchedFile(const std::string& path)
    : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

CWatchedFile::~CWatchedFile() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string CWatchedFile::ReadAll() const {
  std::string text;
  if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) < 0) return text;
  char buf[8192];
  for (ssize_t n; (n = ::read(m_fd, buf, sizeof buf)) > 0;)
    text.append(buf, static_cast<std::size_t>(n));
  return text;
}

}  // namespace orvane
