// CRC-32 of the zip format (ISO 3309 / IEEE 802.3): reflected polynomial 0xEDB88320, register
// preset to 0xFFFFFFFF, final complement.
//
// Crc32Update continues a raw register over more bytes, choosing the fastest routine the
// processor offers (carry-less multiplication where present, slicing by eight bytes otherwise);
// every routine gives the same register as the byte-at-a-time table walk. Pure functions, safe
// from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvane {

using Crc32Table = std::array<std::uint32_t, 256>;

// The byte-at-a-time table: entry i is i run through eight steps of "shift right by one, then
// XOR with 0xEDB88320 if the bit shifted out was 1".
Crc32Table BuildCrc32Table();

// The routines that can compute the CRC; kPclmul exists only on x86 with PCLMULQDQ.
enum class Crc32Engine { kTable, kSlicing8, kPclmul };
bool Crc32EngineAvailable(Crc32Engine engine);
Crc32Engine BestCrc32Engine();

inline constexpr std::uint32_t kCrc32Preset = 0xFFFFFFFFu;

// Continues the raw register (start with kCrc32Preset, complement at the end) over bytes.
std::uint32_t Crc32Update(std::uint32_t reg, std::span<const std::uint8_t> bytes);
// The same with a chosen routine; an unavailable one falls back to kSlicing8.
std::uint32_t Crc32UpdateWith(Crc32Engine engine, std::uint32_t reg,
                              std::span<const std::uint8_t> bytes);

// The finished CRC-32 of a byte range.
inline std::uint32_t Crc32Of(std::span<const std::uint8_t> bytes) {
  return ~Crc32Update(kCrc32Preset, bytes);
}

// Streaming form: Update as often as needed, then Final.
class Crc32Digest {
 public:
  void Update(std::span<const std::uint8_t> bytes) { m_reg = Crc32Update(m_reg, bytes); }
  std::uint32_t Final() const { return ~m_reg; }

 private:
  std::uint32_t m_reg = kCrc32Preset;
};

}  // namespace orvane
