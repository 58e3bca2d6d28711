// SHA-1 message digest (FIPS 180-1), our own implementation.
//
// Sha1Digest is fed with Update as often as needed and finished with Final; the digest text is
// the five 32-bit words, each from its most significant byte down, as 40 lower-case hexadecimal
// digits. The block function uses the processor's SHA instructions where it has them and a
// portable routine otherwise, chosen at run time; both give the same digest. One object belongs
// to one thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/hash_blocks.h"

namespace orvane {

// The block routines; kShaNi exists only on x86 processors with the SHA extensions.
enum class Sha1Engine { kPortable, kShaNi };
bool Sha1EngineAvailable(Sha1Engine engine);
Sha1Engine BestSha1Engine();

class Sha1Digest {
 public:
  using Bytes = std::array<std::uint8_t, 20>;

  // Uses the fastest routine available.
  Sha1Digest();
  // Uses the given routine; an unavailable one falls back to kPortable.
  explicit Sha1Digest(Sha1Engine engine);
  void Update(std::span<const std::uint8_t> bytes);
  // Runs the final block and returns the digest; the object must not be updated afterwards.
  Bytes Final();

  using BlockFn = void (*)(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count);

 private:
  BlockFn m_compress;
  std::uint32_t m_state[5];
  HashBlocks m_blocks;
};

// The SHA-1 text of a byte range (convenience for tests and small data).
std::string Sha1Hex(std::span<const std::uint8_t> bytes);

}  // namespace orvane
