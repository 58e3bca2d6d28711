// HashBlocks: the 64-byte block buffering and the final padding (0x80, zeros, the message length
// in bits) that MD5 and SHA-1 share. The digest supplies its block function. One object per
// digest; not thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace orvane {

class HashBlocks {
 public:
  // Feeds bytes; whole blocks go to compress(blocks, count) (count > 0) as soon as they are
  // complete.
  template <typename Compress>
  void Update(std::span<const std::uint8_t> bytes, Compress&& compress) {
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    if (n == 0) return;
    m_length += n;
    if (m_used > 0) {
      const std::size_t take = n < 64 - m_used ? n : 64 - m_used;
      std::memcpy(m_block.data() + m_used, p, take);
      m_used += take;
      p += take;
      n -= take;
      if (m_used < 64) return;
      compress(m_block.data(), std::size_t{1});
      m_used = 0;
    }
    if (n >= 64) compress(p, n / 64);
    p += n / 64 * 64;
    n %= 64;
    if (n > 0) std::memcpy(m_block.data(), p, n);
    m_used = n;
  }

  // Pads the message and runs the last block(s); the length is stored little-endian (MD5) or
  // big-endian (SHA-1). The object must not be fed afterwards.
  template <typename Compress>
  void Finish(bool bigEndianLength, Compress&& compress) {
    const std::uint64_t bits = m_length * 8;
    m_block[m_used++] = 0x80;
    if (m_used > 56) {
      std::memset(m_block.data() + m_used, 0, 64 - m_used);
      compress(m_block.data(), std::size_t{1});
      m_used = 0;
    }
    std::memset(m_block.data() + m_used, 0, 56 - m_used);
    for (int i = 0; i < 8; ++i) {
      const int shift = bigEndianLength ? 56 - 8 * i : 8 * i;
      m_block[56 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> shift);
    }
    compress(m_block.data(), std::size_t{1});
    m_used = 0;
  }

 private:
  std::uint64_t m_length = 0;  // bytes fed so far
  std::array<std::uint8_t, 64> m_block{};
  std::size_t m_used = 0;  // bytes waiting in m_block
};

}  // namespace orvane
