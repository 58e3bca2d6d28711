// The fuzz seeds of the RIFF, Matroska and ASF readers replayed with damage: every truncation
// and many bit-flipped copies must read without a crash, a hang or invalid text (the sanitizer
// build turns any out-of-bounds read into a failure).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/unicode.h"
#include "fileinfo/asf_reader.h"
#include "fileinfo/avi_reader.h"
#include "fileinfo/matroska_reader.h"
#include "test_util.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Reader = std::function<void(const Bytes&, MediaInfo&, Mp3Tags&)>;

std::vector<Bytes> Seeds(const std::string& name) {
  std::vector<Bytes> seeds;
  std::filesystem::path dir = std::filesystem::path(ORVANE_SOURCE_DIR) / "fuzz/seeds" / name;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string bytes = test::ReadFile(entry.path().string());
    seeds.emplace_back(bytes.begin(), bytes.end());
  }
  return seeds;
}

void ExpectValidText(const MediaInfo& m, const Mp3Tags& t) {
  for (const std::string* s :
       {&m.videoFormat, &m.audioFormat, &t.title, &t.artist, &t.album, &t.year, &t.genre, &t.track,
        &t.comments, &t.composer, &t.copyright, &t.url})
    EXPECT_EQ(SanitizeUtf8(*s), *s);
}

void Replay(const std::string& seedDir, const Reader& read) {
  std::vector<Bytes> seeds = Seeds(seedDir);
  ASSERT_FALSE(seeds.empty());
  std::mt19937 rng(20240611);
  for (const Bytes& seed : seeds) {
    {
      MediaInfo m;
      Mp3Tags t;
      read(seed, m, t);
      EXPECT_TRUE(m.hasLength || m.hasChannels || m.hasWidth) << seedDir;
    }
    for (std::size_t len = 0; len < seed.size(); ++len) {
      Bytes cut(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(len));
      MediaInfo m;
      Mp3Tags t;
      read(cut, m, t);
      ExpectValidText(m, t);
      if (len < 8) {
        EXPECT_FALSE(m.hasLength || m.hasChannels || m.hasWidth);
      }
    }
    for (int round = 0; round < 400; ++round) {
      Bytes bad = seed;
      int flips = 1 + round % 8;
      for (int i = 0; i < flips; ++i)
        bad[rng() % bad.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      MediaInfo m;
      Mp3Tags t;
      read(bad, m, t);
      ExpectValidText(m, t);
    }
  }
}

TEST(MediaDamage, RiffSeeds) {
  Replay("riff", [](const Bytes& b, MediaInfo& m, Mp3Tags&) { ReadAviBytes(b, m); });
}

TEST(MediaDamage, MatroskaSeeds) {
  Replay("matroska", [](const Bytes& b, MediaInfo& m, Mp3Tags&) { ReadMatroskaBytes(b, m); });
}

TEST(MediaDamage, AsfSeeds) {
  Replay("asf", [](const Bytes& b, MediaInfo& m, Mp3Tags& t) { ReadAsfBytes(b, m, t); });
}

}  // namespace
}  // namespace orvane
