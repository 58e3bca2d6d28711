// Shared by the fuzz targets: the input as a file that the readers open by path, the way the
// listing opens them, so read caches, refills and reads cut short by the end of the file run
// under the fuzzer too. The file lives in memory (memfd); where that is not available, in a
// private temporary folder removed at exit. A reader that goes by the name's extension gets a
// private folder with "input.EXT", a link to the memory file.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzzfile {

class InputFile {
 public:
  // The one file of this process; every call of Write replaces its content. `extension`
  // (with its ".") ends the file's name; the first call decides it.
  static InputFile& Get(const char* extension = "") {
    static InputFile file(extension);
    return file;
  }

  // Replaces the content with the input and returns the file's path.
  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(m_fd, 0) != 0) __builtin_trap();
    for (std::size_t done = 0; done < size;) {
      const ssize_t n = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
      if (n <= 0) __builtin_trap();
      done += static_cast<std::size_t>(n);
    }
    return m_path;
  }

  // The path as a folder and a name, for the archive listers.
  const std::string& Dir() const { return m_dir; }
  const std::string& Name() const { return m_name; }

 private:
  explicit InputFile(const std::string& extension) {
    m_fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
    if (m_fd >= 0 && extension.empty()) {
      m_dir = "/proc/self/fd";
      m_name = std::to_string(m_fd);
      m_path = m_dir + "/" + m_name;
      return;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-fuzz-XXXXXX";
    if (!::mkdtemp(tmpl.data())) __builtin_trap();
    m_ownsDir = true;
    m_dir = tmpl;
    m_name = "input" + extension;
    m_path = m_dir + "/" + m_name;
    if (m_fd >= 0) {
      const std::string target = "/proc/self/fd/" + std::to_string(m_fd);
      if (::symlink(target.c_str(), m_path.c_str()) != 0) __builtin_trap();
    } else {
      m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (m_fd < 0) __builtin_trap();
    }
  }
  ~InputFile() {
    ::close(m_fd);
    if (m_ownsDir) {
      ::unlink(m_path.c_str());
      ::rmdir(m_dir.c_str());
    }
  }

  int m_fd = -1;
  bool m_ownsDir = false;
  std::string m_dir;
  std::string m_name;
  std::string m_path;
};

}  // namespace fuzzfile
