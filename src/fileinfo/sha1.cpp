#include "fileinfo/sha1.h"

#include <bit>
#include <cstring>
#include <utility>

#include "fileinfo/md5.h"
#include "platform/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_SHA1_X86 1
#include <immintrin.h>
#endif

namespace orvane {

namespace {

std::uint32_t LoadBE32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  return v;
}

void StoreBE32(std::uint8_t* p, std::uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

// Portable block function: the 80 rounds over a 16-word rolling message schedule.
void CompressPortable(std::uint32_t* state, const std::uint8_t* p, std::size_t blocks) {
  for (; blocks > 0; --blocks, p += 64) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = LoadBE32(p + 4 * i);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    auto schedule = [&w](int t) {
      if (t < 16) return w[t];
      const std::uint32_t v =
          std::rotl(w[(t - 3) & 15] ^ w[(t - 8) & 15] ^ w[(t - 14) & 15] ^ w[t & 15], 1);
      w[t & 15] = v;
      return v;
    };
    auto round = [&](std::uint32_t f, std::uint32_t k, std::uint32_t x) {
      const std::uint32_t t = std::rotl(a, 5) + f + e + k + x;
      e = d;
      d = c;
      c = std::rotl(b, 30);
      b = a;
      a = t;
    };
    for (int t = 0; t < 20; ++t) round(d ^ (b & (c ^ d)), 0x5A827999u, schedule(t));
    for (int t = 20; t < 40; ++t) round(b ^ c ^ d, 0x6ED9EBA1u, schedule(t));
    for (int t = 40; t < 60; ++t) round((b & c) | (d & (b | c)), 0x8F1BBCDCu, schedule(t));
    for (int t = 60; t < 80; ++t) round(b ^ c ^ d, 0xCA62C1D6u, schedule(t));
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
  }
}

#ifdef ORVANE_SHA1_X86

// SHA-NI block function. The state lives in two registers: ABCD (A in the highest lane) and E
// (in the highest lane). Each of the 20 groups runs four rounds; the message words of group k
// (k >= 4) come from the four groups before it: msg2(msg1(W[k-4], W[k-3]) ^ W[k-2], W[k-1]).
struct ShaNiState {
  __m128i abcd;
  __m128i e;     // E plus the message words of the group about to run
  __m128i prev;  // ABCD before the previous group, which gives the next group's E
  __m128i w[4];  // the message words of the last four groups
};

template <int K>
__attribute__((target("sha,sse4.1"))) inline void ShaNiGroup(ShaNiState& s, const std::uint8_t* p,
                                                             __m128i byteSwap) {
  __m128i& wk = s.w[K & 3];
  if constexpr (K < 4) {
    wk = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * K)), byteSwap);
  } else {
    wk = _mm_sha1msg2_epu32(
        _mm_xor_si128(_mm_sha1msg1_epu32(wk, s.w[(K + 1) & 3]), s.w[(K + 2) & 3]),
        s.w[(K + 3) & 3]);
  }
  __m128i e;
  if constexpr (K == 0)
    e = _mm_add_epi32(s.e, wk);
  else
    e = _mm_sha1nexte_epu32(s.prev, wk);
  s.prev = s.abcd;
  s.abcd = _mm_sha1rnds4_epu32(s.abcd, e, K / 5);
}

template <int... K>
__attribute__((target("sha,sse4.1"))) inline void ShaNiGroups(ShaNiState& s, const std::uint8_t* p,
                                                              __m128i byteSwap,
                                                              std::integer_sequence<int, K...>) {
  (ShaNiGroup<K>(s, p, byteSwap), ...);
}

__attribute__((target("sha,sse4.1"))) void CompressShaNi(std::uint32_t* state,
                                                         const std::uint8_t* p,
                                                         std::size_t blocks) {
  const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  ShaNiState s;
  s.abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
  s.e = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
  for (; blocks > 0; --blocks, p += 64) {
    const __m128i abcdSave = s.abcd, eSave = s.e;
    ShaNiGroups(s, p, byteSwap, std::make_integer_sequence<int, 20>{});
    s.e = _mm_sha1nexte_epu32(s.prev, eSave);
    s.abcd = _mm_add_epi32(s.abcd, abcdSave);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(s.abcd, 0x1B));
  state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(s.e, 3));
}

#endif  // ORVANE_SHA1_X86

Sha1Digest::BlockFn BlockFunction(Sha1Engine engine) {
#ifdef ORVANE_SHA1_X86
  if (engine == Sha1Engine::kShaNi && Sha1EngineAvailable(engine)) return CompressShaNi;
#else
  (void)engine;
#endif
  return CompressPortable;
}

}  // namespace

bool Sha1EngineAvailable(Sha1Engine engine) {
  if (engine == Sha1Engine::kPortable) return true;
#ifdef ORVANE_SHA1_X86
  return GetCpuFeatures().sha;
#else
  return false;
#endif
}

Sha1Engine BestSha1Engine() {
  static const Sha1Engine best =
      Sha1EngineAvailable(Sha1Engine::kShaNi) ? Sha1Engine::kShaNi : Sha1Engine::kPortable;
  return best;
}

Sha1Digest::Sha1Digest() : Sha1Digest(BestSha1Engine()) {}

Sha1Digest::Sha1Digest(Sha1Engine engine)
    : m_compress(BlockFunction(engine)),
      m_state{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1Digest::Update(std::span<const std::uint8_t> bytes) {
  m_blocks.Update(bytes, [this](const std::uint8_t* blocks, std::size_t count) {
    m_compress(m_state, blocks, count);
  });
}

Sha1Digest::Bytes Sha1Digest::Final() {
  m_blocks.Finish(true, [this](const std::uint8_t* blocks, std::size_t count) {
    m_compress(m_state, blocks, count);
  });
  Bytes out;
  for (int i = 0; i < 5; ++i) StoreBE32(out.data() + 4 * i, m_state[i]);
  return out;
}

std::string Sha1Hex(std::span<const std::uint8_t> bytes) {
  Sha1Digest d;
  d.Update(bytes);
  return HexLower(d.Final());
}

}  // namespace orvane
