#include "platform/file_source.h"
#include "platform/net_provider.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace orvane {

FileSource::FileSource() = default;

FileSource::FileSource(const std::string& path) {
  Open(path);
}

FileSource::~FileSource() {
  Close();
}

bool FileSource::Open(const std::string& path) {
  Close();
  if (IsNetworkPath(path)) {
    m_net = OpenNetworkFile(path);
    m_size = m_net ? m_net->Size() : 0;
    return m_net != nullptr;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

void FileSource::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_net.reset();
  m_size = 0;
}

long long FileSource::ReadInto(std::uint64_t offset, void* buf, std::size_t len) const {
  if (m_net) return m_net->ReadAt(offset, buf, len);
  if (m_fd < 0) return -1;
  std::size_t done = 0;
  auto* p = static_cast<char*>(buf);
  while (done < len) {
    ssize_t n = ::pread(m_fd, p + done, len - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return done ? static_cast<long long>(done) : -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long long>(done);
}

bool FileSource::ReadAt(std::uint64_t offset, std::size_t len,
                        std::vector<std::uint8_t>& out) const {
  out.resize(len);
  long long n = ReadInto(offset, out.data(), len);
  if (n <= 0) {
    out.clear();
    return false;
  }
  out.resize(static_cast<std::size_t>(n));
  return true;
}

std::vector<std::uint8_t> ReadFileHead(const std::string& path, std::size_t maxLen) {
  FileSource f(path);
  std::vector<std::uint8_t> out;
  if (f.IsOpen()) {
    std::size_t len = f.Size() < maxLen ? static_cast<std::size_t>(f.Size()) : maxLen;
    if (len) f.ReadAt(0, len, out);
  }
  return out;
}

}  // namespace orvane
