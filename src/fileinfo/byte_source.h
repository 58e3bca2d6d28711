// ByteSource: random-access bytes for the file-information readers: a span in memory (tests,
// fuzzing) or a file read on demand through one cached block, so that a large file is never read
// whole and many small reads close together cost one system call. Reads are bounded by the bytes
// present. One source belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orvane {

class FileSource;

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Copies up to len bytes at offset into out; returns the count copied (fewer at the end,
  // 0 past it or on an error).
  virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const = 0;
  // Reads exactly len bytes into out (resized); false when fewer are there.
  bool ReadExact(std::uint64_t offset, std::size_t len, std::vector<std::uint8_t>& out) const;
};

// Bytes in memory; the span must outlive the source.
class SpanByteSource final : public ByteSource {
 public:
  explicit SpanByteSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
  std::uint64_t Size() const override { return m_bytes.size(); }
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const override;

 private:
  std::span<const std::uint8_t> m_bytes;
};

// A file read on demand. IsOpen() is false when the file could not be opened.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path);
  ~FileByteSource() override;
  bool IsOpen() const;
  std::uint64_t Size() const override;
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const override;

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  static constexpr std::size_t kFirstBlock = 4096;
  mutable int m_fills = 0;
  std::unique_ptr<FileSource> m_file;
  mutable std::vector<std::uint8_t> m_cache;
  mutable std::uint64_t m_cacheOffset = 0;
};

}  // namespace orvane
