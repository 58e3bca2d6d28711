// FileSource: read-only random access to one file, for the file-information readers.
//
// The readers parse byte spans; this is the thin layer that fetches those spans from disk. A
// failed open leaves the source closed (IsOpen() false); every read reports how many bytes it
// really got, so a truncated file simply yields shorter spans. One source belongs to one thread.
// A network path (smb://server/share/file, see net_provider.h) is read through the network
// provider, so every reader works on shares as on local files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class NetFile;

class FileSource {
 public:
  FileSource();
  explicit FileSource(const std::string& path);
  ~FileSource();
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // Opens the file for reading (following symbolic links). False when it cannot be opened or
  // is not a regular file.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return m_fd >= 0 || m_net != nullptr; }
  // Size of the file when it was opened.
  std::uint64_t Size() const { return m_size; }

  // Reads up to len bytes at offset into out (resized to what was read). False on an I/O error
  // or when nothing could be read.
  bool ReadAt(std::uint64_t offset, std::size_t len, std::vector<std::uint8_t>& out) const;
  // Reads up to len bytes at offset into buf; returns the count read, 0 at the end, -1 on error.
  long long ReadInto(std::uint64_t offset, void* buf, std::size_t len) const;

 private:
  int m_fd = -1;
  std::unique_ptr<NetFile> m_net;
  std::uint64_t m_size = 0;
};

// Reads the first maxLen bytes of a file (the whole file when it is shorter). Empty on failure.
std::vector<std::uint8_t> ReadFileHead(const std::string& path, std::size_t maxLen);

}  // namespace orvane
