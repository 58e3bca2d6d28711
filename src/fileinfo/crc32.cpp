#include "fileinfo/crc32.h"

#include <bit>
#include <cstring>

#include "platform/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_CRC32_X86 1
#include <immintrin.h>
#endif

namespace orvane {

namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;

constexpr Crc32Table MakeTable() {
  Crc32Table t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int k = 0; k < 8; ++k) r = (r >> 1) ^ ((r & 1u) ? kPolynomial : 0u);
    t[i] = r;
  }
  return t;
}

// slices[k][i] is the register contribution of byte i followed by k zero bytes.
using SliceTables = std::array<Crc32Table, 8>;
constexpr SliceTables MakeSlices() {
  SliceTables s{};
  s[0] = MakeTable();
  for (int k = 1; k < 8; ++k)
    for (int i = 0; i < 256; ++i) s[k][i] = (s[k - 1][i] >> 8) ^ s[0][s[k - 1][i] & 0xFF];
  return s;
}

constexpr SliceTables kSlices = MakeSlices();

std::uint32_t UpdateTable(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
  const Crc32Table& t = kSlices[0];
  for (std::size_t i = 0; i < n; ++i) reg = (reg >> 8) ^ t[(reg ^ p[i]) & 0xFF];
  return reg;
}

std::uint32_t LoadLE32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}

std::uint32_t UpdateSlicing8(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
  const SliceTables& s = kSlices;
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t lo = LoadLE32(p) ^ reg;
    const std::uint32_t hi = LoadLE32(p + 4);
    reg = s[7][lo & 0xFF] ^ s[6][(lo >> 8) & 0xFF] ^ s[5][(lo >> 16) & 0xFF] ^ s[4][lo >> 24] ^
          s[3][hi & 0xFF] ^ s[2][(hi >> 8) & 0xFF] ^ s[1][(hi >> 16) & 0xFF] ^ s[0][hi >> 24];
  }
  return UpdateTable(reg, p, n);
}

#ifdef ORVANE_CRC32_X86

#define ORVANE_TARGET_CLMUL __attribute__((target("sse4.1,pclmul")))

ORVANE_TARGET_CLMUL inline __m128i Load128(const std::uint8_t* q) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

// One fold: the lane times the constant pair, added to the next data.
ORVANE_TARGET_CLMUL inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  const __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
  const __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

// Folding with carry-less multiplication: four 128-bit lanes are folded 64 bytes at a time,
// then merged into one lane, reduced to 64 bits and brought to 32 bits by Barrett reduction.
// The constants are powers of x modulo the polynomial, in the bit-reflected domain.
// n must be a multiple of 16 and at least 64.
ORVANE_TARGET_CLMUL std::uint32_t FoldPclmul(std::uint32_t reg, const std::uint8_t* p,
                                             std::size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  __m128i x1 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
  __m128i x2 = Load128(p + 16), x3 = Load128(p + 32), x4 = Load128(p + 48);
  p += 64;
  n -= 64;
  for (; n >= 64; n -= 64, p += 64) {
    x1 = Fold(x1, k1k2, Load128(p));
    x2 = Fold(x2, k1k2, Load128(p + 16));
    x3 = Fold(x3, k1k2, Load128(p + 32));
    x4 = Fold(x4, k1k2, Load128(p + 48));
  }
  x1 = Fold(x1, k3k4, x2);
  x1 = Fold(x1, k3k4, x3);
  x1 = Fold(x1, k3k4, x4);
  for (; n >= 16; n -= 16, p += 16) x1 = Fold(x1, k3k4, Load128(p));

  // 128 bits to 64.
  __m128i x2r = _mm_clmulepi64_si128(x1, k3k4, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
  x2r = _mm_srli_si128(x1, 4);
  x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00);
  x1 = _mm_xor_si128(x1, x2r);
  // Barrett reduction to 32 bits.
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
  x1 = _mm_xor_si128(x1, t);
  return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

std::uint32_t UpdatePclmul(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
  if (n >= 64) {
    const std::size_t bulk = n & ~static_cast<std::size_t>(15);
    reg = FoldPclmul(reg, p, bulk);
    p += bulk;
    n -= bulk;
  }
  return UpdateSlicing8(reg, p, n);
}

#endif  // ORVANE_CRC32_X86

}  // namespace

Crc32Table BuildCrc32Table() {
  return MakeTable();
}

bool Crc32EngineAvailable(Crc32Engine engine) {
  if (engine != Crc32Engine::kPclmul) return true;
#ifdef ORVANE_CRC32_X86
  return GetCpuFeatures().pclmul;
#else
  return false;
#endif
}

Crc32Engine BestCrc32Engine() {
  static const Crc32Engine best =
      Crc32EngineAvailable(Crc32Engine::kPclmul) ? Crc32Engine::kPclmul : Crc32Engine::kSlicing8;
  return best;
}

std::uint32_t Crc32UpdateWith(Crc32Engine engine, std::uint32_t reg,
                              std::span<const std::uint8_t> bytes) {
  switch (engine) {
    case Crc32Engine::kTable:
      return UpdateTable(reg, bytes.data(), bytes.size());
    case Crc32Engine::kPclmul:
#ifdef ORVANE_CRC32_X86
      if (Crc32EngineAvailable(engine)) return UpdatePclmul(reg, bytes.data(), bytes.size());
#endif
      break;
    case Crc32Engine::kSlicing8:
      break;
  }
  return UpdateSlicing8(reg, bytes.data(), bytes.size());
}

std::uint32_t Crc32Update(std::uint32_t reg, std::span<const std::uint8_t> bytes) {
  return Crc32UpdateWith(BestCrc32Engine(), reg, bytes);
}

}  // namespace orvane
