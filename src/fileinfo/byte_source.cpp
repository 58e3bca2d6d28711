#include "fileinfo/byte_source.h"

#include <algorithm>
#include <cstring>

#include "platform/file_source.h"

namespace orvane {

bool ByteSource::ReadExact(std::uint64_t offset, std::size_t len,
                           std::vector<std::uint8_t>& out) const {
  out.resize(len);
  if (len == 0) return true;
  if (ReadAt(offset, out.data(), len) != len) {
    out.clear();
    return false;
  }
  return true;
}

std::size_t SpanByteSource::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const {
  if (offset >= m_bytes.size()) return 0;
  std::size_t n = std::min<std::size_t>(len, m_bytes.size() - static_cast<std::size_t>(offset));
  if (n) std::memcpy(out, m_bytes.data() + offset, n);
  return n;
}

FileByteSource::FileByteSource(const std::string& path)
    : m_file(std::make_unique<FileSource>(path)) {}

FileByteSource::~FileByteSource() = default;

bool FileByteSource::IsOpen() const {
  return m_file->IsOpen();
}

std::uint64_t FileByteSource::Size() const {
  return m_file->Size();
}

std::size_t FileByteSource::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t len) const {
  std::uint64_t size = Size();
  if (offset >= size) return 0;
  len = static_cast<std::size_t>(std::min<std::uint64_t>(len, size - offset));
  if (len > kBlock) {  // large reads bypass the cache
    long long n = m_file->ReadInto(offset, out, len);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  std::size_t done = 0;
  while (done < len) {
    std::uint64_t at = offset + done;
    if (at < m_cacheOffset || at >= m_cacheOffset + m_cache.size()) {
      m_cacheOffset = at;
      // The first block is small, so probing a file's head (is this a compound file, a
      // picture?) costs one small read; later blocks are large.
      const std::size_t block = m_fills++ == 0 ? std::max(kFirstBlock, len - done) : kBlock;
      if (!m_file->ReadAt(at, block, m_cache)) {
        m_cache.clear();
        break;
      }
    }
    std::size_t from = static_cast<std::size_t>(at - m_cacheOffset);
    std::size_t n = std::min(len - done, m_cache.size() - from);
    std::memcpy(out + done, m_cache.data() + from, n);
    done += n;
  }
  return done;
}

}  // namespace orvane
