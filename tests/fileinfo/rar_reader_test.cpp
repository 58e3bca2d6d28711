#include "fileinfo/rar_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <ctime>

#include "test_util.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A format 4 block with its checksum; long blocks carry addSize bytes of data after it.
Bytes Block4(std::uint8_t type, std::uint16_t flags, const Bytes& body, std::uint32_t addSize,
             bool longBlock) {
  Bytes head{type};
  Put(head, flags | (longBlock ? 0x8000 : 0), 2);
  Put(head, 7 + body.size() + (longBlock ? 4 : 0), 2);
  if (longBlock) Put(head, addSize, 4);
  head.insert(head.end(), body.begin(), body.end());
  Bytes out;
  Put(out, crc32(0, head.data(), static_cast<uInt>(head.size())) & 0xFFFF, 2);
  out.insert(out.end(), head.begin(), head.end());
  return out;
}

Bytes File4(const Bytes& name, std::uint16_t flags, std::uint32_t dataSize) {
  Bytes body;
  Put(body, dataSize, 4);    // unpacked size
  body.push_back(2);         // Windows
  Put(body, 0x12345678, 4);  // CRC
  Put(body, 0, 4);           // DOS time
  body.push_back(29);
  body.push_back(0x30);
  Put(body, name.size(), 2);
  Put(body, 0x20, 4);
  body.insert(body.end(), name.begin(), name.end());
  Bytes block = Block4(0x74, flags, body, dataSize, true);
  block.resize(block.size() + dataSize, 'd');
  return block;
}

Bytes Archive4(const std::vector<Bytes>& blocks) {
  Bytes out{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
  const Bytes main = Block4(0x73, 0, Bytes(6, 0), 0, false);
  out.insert(out.end(), main.begin(), main.end());
  for (const Bytes& b : blocks) out.insert(out.end(), b.begin(), b.end());
  return out;
}

Bytes Vint(std::uint64_t v) {
  Bytes out;
  do {
    out.push_back(static_cast<std::uint8_t>((v & 0x7F) | (v > 0x7F ? 0x80 : 0)));
    v >>= 7;
  } while (v);
  return out;
}

// A format 5 block from its body (type, flags and the rest), with size and checksum in front.
Bytes Block5(const Bytes& body) {
  Bytes sized = Vint(body.size());
  sized.insert(sized.end(), body.begin(), body.end());
  Bytes out;
  Put(out, crc32(0, sized.data(), static_cast<uInt>(sized.size())), 4);
  out.insert(out.end(), sized.begin(), sized.end());
  return out;
}

Bytes Archive5(const std::vector<Bytes>& blocks) {
  Bytes out{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
  const Bytes main = Block5({1, 0, 0});
  out.insert(out.end(), main.begin(), main.end());
  for (const Bytes& b : blocks) out.insert(out.end(), b.begin(), b.end());
  return out;
}

std::vector<RarFileHeader> ReadAll(RarReader& r, RarStatus* last = nullptr) {
  std::vector<RarFileHeader> out;
  RarFileHeader h;
  RarStatus s;
  while ((s = r.ReadHeader(h)) == RarStatus::kOk) {
    out.push_back(h);
    if (r.Skip() != RarStatus::kOk) {
      s = RarStatus::kBadData;
      break;
    }
  }
  if (last) *last = s;
  return out;
}

class RarReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
};

// What the lister does not show: names, attributes and flags exactly as stored.
TEST_F(RarReaderTest, FixtureHeadersAsStored) {
  RarReader r;
  ASSERT_EQ(r.Open(test::DataPath("rar/rar4.rar")), RarStatus::kOk);
  EXPECT_EQ(r.Format(), 4);
  RarStatus last;
  auto h = ReadAll(r, &last);
  EXPECT_EQ(last, RarStatus::kEndOfArchive);
  ASSERT_EQ(h.size(), 7u);  // the comment service block is passed over
  EXPECT_EQ(h[1].name, "docs\\readme.txt");
  EXPECT_FALSE(h[1].unixHost);
  EXPECT_TRUE(h[3].unixHost);
  EXPECT_EQ(h[3].attributes, 0100555u);
  EXPECT_TRUE(h[5].encrypted);  // data encrypted, header readable
  EXPECT_FALSE(h[4].encrypted);

  ASSERT_EQ(r.Open(test::DataPath("rar/rar5.rar")), RarStatus::kOk);
  EXPECT_EQ(r.Format(), 5);
  h = ReadAll(r);
  ASSERT_EQ(h.size(), 6u);  // again without the comment
  EXPECT_TRUE(h[2].unixHost);
  EXPECT_EQ(h[2].attributes, 0100444u);
  EXPECT_EQ(h[5].name, "../escape.txt");

  EXPECT_EQ(r.Open(test::DataPath("rar/rar4-encrypted-headers.rar")), RarStatus::kNeedPassword);
  EXPECT_EQ(r.Open(test::DataPath("rar/rar5-encrypted-headers.rar")), RarStatus::kNeedPassword);
  EXPECT_EQ(r.Open(Bytes{'R', 'E', '~', '^', 0, 0, 0, 0, 0, 0}), RarStatus::kNotRar);  // RAR 1.4
  RarFileHeader one;
  EXPECT_EQ(r.ReadHeader(one), RarStatus::kEndOfArchive);  // a closed reader reads nothing
}

TEST_F(RarReaderTest, WalkRules) {
  const Bytes archive = Archive4({File4({'a'}, 0, 10), File4({'b'}, 0, 20), File4({'c'}, 0, 0)});
  RarReader r;
  ASSERT_EQ(r.Open(archive), RarStatus::kOk);
  RarFileHeader h;
  EXPECT_EQ(r.Skip(), RarStatus::kBadData);  // nothing read yet
  ASSERT_EQ(r.ReadHeader(h), RarStatus::kOk);
  EXPECT_EQ(h.name, "a");
  ASSERT_EQ(r.ReadHeader(h), RarStatus::kOk);  // the data of "a" is passed over unasked
  EXPECT_EQ(h.name, "b");
  EXPECT_EQ(h.packedSize, 20u);
  ASSERT_EQ(r.Skip(), RarStatus::kOk);
  ASSERT_EQ(r.ReadHeader(h), RarStatus::kOk);
  EXPECT_EQ(h.name, "c");
  EXPECT_EQ(r.ReadHeader(h), RarStatus::kEndOfArchive);  // no end block: the file ends
  EXPECT_EQ(r.ReadHeader(h), RarStatus::kEndOfArchive);

  Bytes cut = archive;               // the data of "b" runs past the end
  cut.resize(cut.size() - 33 - 10);  // all of "c" (33 header bytes) and half of "b"
  ASSERT_EQ(r.Open(cut), RarStatus::kOk);
  ASSERT_EQ(r.ReadHeader(h), RarStatus::kOk);
  ASSERT_EQ(r.ReadHeader(h), RarStatus::kOk);
  EXPECT_EQ(r.Skip(), RarStatus::kBadData);
  EXPECT_EQ(r.ReadHeader(h), RarStatus::kEndOfArchive);
}

TEST_F(RarReaderTest, DamagedHeaderChecksumEndsTheWalk) {
  Bytes archive = Archive4({File4({'a'}, 0, 3), File4({'b'}, 0, 3), File4({'c'}, 0, 3)});
  const std::size_t second = 7 + 13 + 33 + 3;  // marker, main block, first block and data
  archive[second + 32] = 'x';                  // the name of the second member
  RarReader r;
  ASSERT_EQ(r.Open(archive), RarStatus::kOk);
  RarStatus last;
  EXPECT_EQ(ReadAll(r, &last).size(), 1u);
  EXPECT_EQ(last, RarStatus::kBadData);
  r.SetCheckHeaderCrc(false);
  ASSERT_EQ(r.Open(archive), RarStatus::kOk);
  const auto all = ReadAll(r);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].name, "x");
}

TEST_F(RarReaderTest, Format4UnicodeNameInAllFourCodings) {
  // Single-byte name "abcdefgh"; then the high byte 0x04 and operations: two bytes copied from
  // the single-byte name, a low byte under the high byte, a full 16-bit unit, two corrected
  // single-byte characters, and a plain low byte.
  Bytes name{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0};
  const Bytes enc{0x04, 0xDB, 0x00, 0x16, 0xAC, 0x20, 0x80, 0x01, 0x00, 'Z'};
  name.insert(name.end(), enc.begin(), enc.end());
  const Bytes archive = Archive4({File4(name, 0x0200, 0), File4({'u', 0xC3, 0xA4}, 0x0200, 0)});
  RarReader r;
  ASSERT_EQ(r.Open(archive), RarStatus::kOk);
  const auto h = ReadAll(r);
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0].name, "ab\xD0\x96\xE2\x82\xAC\xD1\xA6\xD1\xA7Z");
  EXPECT_EQ(h[1].name, "u\xC3\xA4");  // Unicode flag without a NUL: the name is UTF-8
}

TEST_F(RarReaderTest, Format5HeadersThatLieAboutSizes) {
  auto open = [](const std::vector<Bytes>& blocks, RarStatus* last) {
    const Bytes archive = Archive5(blocks);
    RarReader r;
    EXPECT_EQ(r.Open(archive), RarStatus::kOk);
    return ReadAll(r, last).size();
  };
  const Bytes name{'n', 'a', 'm', 'e'};
  auto file = [&](std::uint64_t nameLen, std::uint64_t dataSize, std::uint64_t extraSize) {
    Bytes body{2, static_cast<std::uint8_t>(0x02 | (extraSize ? 0x01 : 0))};
    if (extraSize) body.push_back(static_cast<std::uint8_t>(extraSize));
    const Bytes d = Vint(dataSize);
    body.insert(body.end(), d.begin(), d.end());
    body.insert(body.end(), {0, 5, 0x20, 0, 0});  // flags, size, attributes, method, host
    const Bytes n = Vint(nameLen);
    body.insert(body.end(), n.begin(), n.end());
    body.insert(body.end(), name.begin(), name.end());
    return Block5(body);
  };
  RarStatus last;
  EXPECT_EQ(open({file(4, 0, 0)}, &last), 1u);
  EXPECT_EQ(last, RarStatus::kEndOfArchive);
  EXPECT_EQ(open({file(400, 0, 0)}, &last), 0u);  // name longer than the header
  EXPECT_EQ(last, RarStatus::kBadData);
  EXPECT_EQ(open({file(4, 0, 100)}, &last), 0u);  // extra area longer than the header
  EXPECT_EQ(last, RarStatus::kBadData);
  EXPECT_EQ(open({file(4, 1ull << 62, 0)}, &last), 1u);  // data far past the end
  EXPECT_EQ(last, RarStatus::kBadData);
  EXPECT_EQ(open({file(4, ~0ull, 0)}, &last), 0u);  // data end would wrap around
  // A header size of 3 MiB, and a size whose encoding never ends.
  Bytes big{0, 0, 0, 0};
  const Bytes v = Vint(3u << 20);
  big.insert(big.end(), v.begin(), v.end());
  big.resize(64, 0);
  EXPECT_EQ(open({big}, &last), 0u);
  EXPECT_EQ(last, RarStatus::kBadData);
  EXPECT_EQ(open({Bytes(16, 0xFF)}, &last), 0u);
}

}  // namespace
}  // namespace orvane
