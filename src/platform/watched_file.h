// A file kept open to be read again from its start whenever it may have changed (the mount
// table, whose changes the kernel marks on the open descriptor). Not copyable; one thread.
#pragma once

#include <string>

namespace orvane {

class CWatchedFile {
 public:
  explicit CWatchedFile(const std::string& path);  // IsOpen() tells whether it opened
  ~CWatchedFile();
  CWatchedFile(const CWatchedFile&) = delete;
  CWatchedFile& operator=(const CWatchedFile&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  int Descriptor() const { return m_fd; }  // for a notifier; -1 when not open
  // The whole file, read again from its start (empty when not open or unreadable).
  std::string ReadAll() const;

 private:
  int m_fd = -1;
};

}  // namespace orvane
