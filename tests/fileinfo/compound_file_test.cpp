#include "fileinfo/compound_file.h"

#include <gtest/gtest.h>

#include "compound_builder.h"

namespace orvane {
namespace {

using test::CompoundBuilder;

std::vector<std::uint8_t> Pattern(std::size_t n, std::uint8_t seed) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
  return v;
}

std::vector<std::uint8_t> Read(const CompoundFile& cf, const char* name,
                               std::size_t max = 1 << 24) {
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(cf.ReadStream(cf.FindRootStream(name), max, out)) << name;
  return out;
}

TEST(CompoundFile, ReadsMiniAndRegularStreamsAndFindsNamesWithoutCase) {
  CompoundBuilder b;
  b.AddStream("Small", Pattern(100, 1));
  b.AddStream("Exactly4096", Pattern(4096, 2));
  b.AddStream("Big", Pattern(20000, 3));
  b.AddStream("Tiny", Pattern(1, 4));
  b.AddStream("Empty", {});
  const auto file = b.Build();
  CompoundFile cf;
  ASSERT_TRUE(cf.Open(file));
  EXPECT_EQ(Read(cf, "small"), Pattern(100, 1));
  EXPECT_EQ(Read(cf, "EXACTLY4096"), Pattern(4096, 2));
  EXPECT_EQ(Read(cf, "Big"), Pattern(20000, 3));
  EXPECT_EQ(Read(cf, "Tiny"), Pattern(1, 4));
  EXPECT_TRUE(Read(cf, "Empty").empty());
  EXPECT_EQ(cf.FindRootStream("Missing"), -1);
  EXPECT_EQ(cf.FindRootStream("Root Entry"), -1);  // the root is no stream
  // Reading stops at maxBytes.
  std::vector<std::uint8_t> head;
  ASSERT_TRUE(cf.ReadStream(cf.FindRootStream("Big"), 1000, head));
  const auto big = Pattern(20000, 3);
  EXPECT_EQ(head, std::vector<std::uint8_t>(big.begin(), big.begin() + 1000));
}

TEST(CompoundFile, FollowsScatteredChainsAndTheFatExtensionList) {
  // Two interleaved streams: every chain step jumps to a sector that is not the next one.
  CompoundBuilder b;
  b.SetInterleaved(true);
  b.AddStream("A", Pattern(5000, 5));
  b.AddStream("B", Pattern(7000, 6));
  CompoundFile cf;
  const auto file = b.Build();
  ASSERT_TRUE(cf.Open(file));
  EXPECT_EQ(Read(cf, "A"), Pattern(5000, 5));
  EXPECT_EQ(Read(cf, "B"), Pattern(7000, 6));

  // Over 109 FAT sectors: the rest of the FAT list lives in DIFAT sectors.
  CompoundBuilder large;
  large.AddStream("Large", Pattern(7200000, 7));
  CompoundBuilder::Layout layout;
  const auto big = large.Build(&layout);
  ASSERT_GT(layout.fatSectors, 109u);
  CompoundFile cf2;
  ASSERT_TRUE(cf2.Open(big));
  EXPECT_EQ(Read(cf2, "Large"), Pattern(7200000, 7));
}

TEST(CompoundFile, RejectsWhatIsNoCompoundFile) {
  CompoundFile cf;
  EXPECT_FALSE(cf.Open(std::span<const std::uint8_t>()));
  const std::vector<std::uint8_t> text(2048, 'x');
  EXPECT_FALSE(cf.Open(text));
  CompoundBuilder b;
  b.AddStream("S", Pattern(10, 1));
  CompoundBuilder::Layout layout;
  const auto file = b.Build(&layout);
  EXPECT_TRUE(cf.Open(file));
  auto badShift = file;
  test::PutU16(badShift, 0x1E, 30);  // sectors of 1 GiB
  EXPECT_FALSE(cf.Open(badShift));
  auto noRoot = file;
  noRoot[(layout.firstDirSector + 1) * 512 + 66] = 0;  // entry 0 is no root entry
  EXPECT_FALSE(cf.Open(noRoot));
  EXPECT_FALSE(cf.Open(std::span(file.data(), 300)));
}

TEST(CompoundFile, StopsAtLoopingOrEscapingChains) {
  CompoundBuilder b;
  b.AddStream("Big", Pattern(20000, 3));
  CompoundBuilder::Layout layout;
  const auto good = b.Build(&layout);
  const auto& sectors = layout.streamSectors[0];
  std::vector<std::uint8_t> out;

  auto loop = good;  // the fifth sector links back to the second
  CompoundBuilder::SetFatEntry(loop, sectors[4], sectors[1]);
  CompoundFile cf;
  ASSERT_TRUE(cf.Open(loop));
  EXPECT_FALSE(cf.ReadStream(cf.FindRootStream("Big"), 1 << 24, out));
  EXPECT_TRUE(out.empty());

  auto self = good;  // a sector that names itself as its successor
  CompoundBuilder::SetFatEntry(self, sectors[0], sectors[0]);
  ASSERT_TRUE(cf.Open(self));
  EXPECT_FALSE(cf.ReadStream(cf.FindRootStream("Big"), 1 << 24, out));

  auto away = good;  // a link far past the end of the file
  CompoundBuilder::SetFatEntry(away, sectors[2], 0x00FFFFF0);
  ASSERT_TRUE(cf.Open(away));
  EXPECT_FALSE(cf.ReadStream(cf.FindRootStream("Big"), 1 << 24, out));

  auto early = good;  // the chain ends before the stored size is reached
  CompoundBuilder::SetFatEntry(early, sectors[3], CompoundBuilder::kEnd);
  ASSERT_TRUE(cf.Open(early));
  EXPECT_FALSE(cf.ReadStream(cf.FindRootStream("Big"), 1 << 24, out));
  // ...but what lies before the break is still readable.
  EXPECT_TRUE(cf.ReadStream(cf.FindRootStream("Big"), 2048, out));
}

TEST(CompoundFile, DistrustsSizesAndDirectoryLinks) {
  CompoundBuilder b;
  b.AddStream("One", Pattern(5000, 1));
  b.AddStream("Two", Pattern(50, 2));
  b.AddStream("Three", Pattern(50, 3));
  CompoundBuilder::Layout layout;
  const auto good = b.Build(&layout);
  const std::size_t dir = (layout.firstDirSector + 1) * 512;
  CompoundFile cf;
  std::vector<std::uint8_t> out;

  auto huge = good;  // a stream claiming 4 GiB in a file of a few kilobytes
  test::PutU32(huge, dir + 128 + 120, 0xFFFFFFF0);
  ASSERT_TRUE(cf.Open(huge));
  EXPECT_FALSE(cf.ReadStream(cf.FindRootStream("One"), ~std::size_t{0}, out));
  EXPECT_TRUE(out.empty());

  auto cycle = good;  // the last sibling links back to the first: the walk still ends
  test::PutU32(cycle, dir + 3 * 128 + 72, 1);
  ASSERT_TRUE(cf.Open(cycle));
  EXPECT_EQ(cf.FindRootStream("Nowhere"), -1);
  EXPECT_EQ(cf.FindRootStream("Three"), 3);

  auto wild = good;  // links to entries that do not exist
  test::PutU32(wild, dir + 128 + 68, 0x7FFFFFFF);
  test::PutU32(wild, dir + 2 * 128 + 72, 999);
  ASSERT_TRUE(cf.Open(wild));
  EXPECT_EQ(cf.FindRootStream("Three"), -1);  // only reachable through the broken link
  EXPECT_EQ(cf.FindRootStream("Two"), 2);

  auto badMini = good;  // a mini stream whose start lies past the mini allocation table
  test::PutU32(badMini, dir + 2 * 128 + 116, 100000);
  ASSERT_TRUE(cf.Open(badMini));
  EXPECT_FALSE(cf.ReadStream(cf.FindRootStream("Two"), 1 << 20, out));
  EXPECT_EQ(Read(cf, "Three"), Pattern(50, 3));

  auto fatCount = good;  // more FAT sectors declared than the file has sectors
  test::PutU32(fatCount, 0x2C, 0xFFFFFFFF);
  ASSERT_TRUE(cf.Open(fatCount));
  EXPECT_EQ(Read(cf, "One"), Pattern(5000, 1));
}

}  // namespace
}  // namespace orvane
