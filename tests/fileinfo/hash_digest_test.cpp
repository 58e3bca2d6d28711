// The digest routines: known vectors, agreement of every routine with zlib and with each other,
// and streaming in pieces of any size.
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fileinfo/crc32.h"
#include "fileinfo/md5.h"
#include "fileinfo/sha1.h"

namespace orvane {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(gen());
  return v;
}

std::uint32_t ZlibCrc(std::span<const std::uint8_t> b) {
  return static_cast<std::uint32_t>(crc32(0L, b.data(), static_cast<uInt>(b.size())));
}

std::string Sha1Of(Sha1Engine engine, std::span<const std::uint8_t> b) {
  Sha1Digest d(engine);
  d.Update(b);
  return HexLower(d.Final());
}

const Crc32Engine kCrcEngines[] = {Crc32Engine::kTable, Crc32Engine::kSlicing8,
                                   Crc32Engine::kPclmul};
const Sha1Engine kSha1Engines[] = {Sha1Engine::kPortable, Sha1Engine::kShaNi};

TEST(HashDigest, KnownVectors) {
  const std::string million(1000000, 'a');
  for (Crc32Engine e : kCrcEngines) {
    SCOPED_TRACE(static_cast<int>(e));
    EXPECT_EQ(~Crc32UpdateWith(e, kCrc32Preset, {}), 0u);
    EXPECT_EQ(~Crc32UpdateWith(e, kCrc32Preset, Bytes("abc")), 0x352441c2u);
    EXPECT_EQ(~Crc32UpdateWith(e, kCrc32Preset, Bytes("123456789")), 0xcbf43926u);
  }
  EXPECT_EQ(Md5Hex({}), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex(Bytes("abc")), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex(Bytes("message digest")), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex(Bytes("1234567890123456789012345678901234567890123456789012345678901234567890"
                         "1234567890")),
            "57edf4a22be3c955ac49da2e2107b67a");
  EXPECT_EQ(Md5Hex(Bytes(million)), "7707d6ae4e027c70eea2a935c2296f21");
  for (Sha1Engine e : kSha1Engines) {
    SCOPED_TRACE(static_cast<int>(e));
    EXPECT_EQ(Sha1Of(e, {}), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Sha1Of(e, Bytes("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Sha1Of(e, Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Sha1Of(e, Bytes(million)), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  }
}

TEST(HashDigest, EveryCrcRoutineMatchesZlibAtEveryLengthAndAlignment) {
  const std::vector<std::uint8_t> data = RandomBytes(70000, 1);
  const std::span<const std::uint8_t> all(data);
  for (Crc32Engine e : kCrcEngines) {
    SCOPED_TRACE(static_cast<int>(e));
    for (std::size_t len = 0; len <= 300; ++len)
      for (std::size_t off : {0, 1, 7, 13}) {
        const auto part = all.subspan(off, len);
        ASSERT_EQ(~Crc32UpdateWith(e, kCrc32Preset, part), ZlibCrc(part)) << len << "@" << off;
      }
    EXPECT_EQ(~Crc32UpdateWith(e, kCrc32Preset, all.subspan(3)), ZlibCrc(all.subspan(3)));
  }
}

TEST(HashDigest, ShaNiAndPortableAgree) {
  if (!Sha1EngineAvailable(Sha1Engine::kShaNi))
    GTEST_SKIP() << "this processor has no SHA instructions; the portable routine is used";
  const std::vector<std::uint8_t> data = RandomBytes(5000, 2);
  const std::span<const std::uint8_t> all(data);
  for (std::size_t len = 0; len <= all.size(); len += 37)
    ASSERT_EQ(Sha1Of(Sha1Engine::kShaNi, all.first(len)),
              Sha1Of(Sha1Engine::kPortable, all.first(len)))
        << len;
}

// Feeding the same bytes in random pieces (including empty ones) gives the one-shot digest.
TEST(HashDigest, StreamingInPiecesMatchesOneShot) {
  const std::vector<std::uint8_t> data = RandomBytes(200000, 3);
  const std::span<const std::uint8_t> all(data);
  const std::string md5 = Md5Hex(all);
  const std::string sha1 = Sha1Hex(all);
  const std::uint32_t crc = ZlibCrc(all);
  std::mt19937 gen(4);
  for (int round = 0; round < 20; ++round) {
    Md5Digest m;
    Sha1Digest s;
    Crc32Digest c;
    std::size_t pos = 0;
    while (pos < all.size()) {
      std::size_t n = gen() % (round < 10 ? 130 : 20000);
      if (n > all.size() - pos) n = all.size() - pos;
      const auto piece = all.subspan(pos, n);
      m.Update(piece);
      s.Update(piece);
      c.Update(piece);
      pos += n;
    }
    ASSERT_EQ(HexLower(m.Final()), md5);
    ASSERT_EQ(HexLower(s.Final()), sha1);
    ASSERT_EQ(c.Final(), crc);
  }
}

// Lengths around the padding boundary (55, 56, 63, 64 bytes) need one or two final blocks.
TEST(HashDigest, PaddingBoundaries) {
  const struct {
    std::size_t len;
    const char* md5;
    const char* sha1;
  } cases[] = {
      {55, "ef1772b6dff9a122358552954ad0df65", "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
      {56, "3b0c8ac703f828b04c6c197006d17218", "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
      {63, "b06521f39153d618550606be297466d5", "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
      {64, "014842d480b571495a4a0363793f7367", "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
  };
  for (const auto& c : cases) {
    const std::string a(c.len, 'a');
    EXPECT_EQ(Md5Hex(Bytes(a)), c.md5) << c.len;
    for (Sha1Engine e : kSha1Engines) EXPECT_EQ(Sha1Of(e, Bytes(a)), c.sha1) << c.len;
  }
}

}  // namespace
}  // namespace orvane
