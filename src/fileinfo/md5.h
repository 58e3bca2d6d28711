// MD5 message digest (RFC 1321), our own implementation.
//
// Md5Digest is fed with Update as often as needed and finished with Final; the digest text is
// the 16 bytes in order as 32 lower-case hexadecimal digits. One object belongs to one thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/hash_blocks.h"

namespace orvane {

class Md5Digest {
 public:
  using Bytes = std::array<std::uint8_t, 16>;

  Md5Digest();
  void Update(std::span<const std::uint8_t> bytes);
  // Runs the final block and returns the digest; the object must not be updated afterwards.
  Bytes Final();

 private:
  std::array<std::uint32_t, 4> m_state;
  HashBlocks m_blocks;
};

// Lower-case hexadecimal text of bytes, two digits per byte in order.
std::string HexLower(std::span<const std::uint8_t> bytes);

// The MD5 text of a byte range (convenience for tests and small data).
std::string Md5Hex(std::span<const std::uint8_t> bytes);

}  // namespace orvane
