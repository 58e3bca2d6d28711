#include "fileinfo/picture_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "test_util.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// Format, width, height and bits per pixel; "-" for a value that is not present.
std::string Summary(const MediaInfo& m) {
  auto value = [](bool has, int v) { return has ? std::to_string(v) : std::string("-"); };
  return m.videoFormat + "|" + value(m.hasWidth, m.width) + "|" + value(m.hasHeight, m.height) +
         "|" + value(m.hasBitsPerPixel, m.bitsPerPixel);
}

MediaInfo ReadBytes(const Bytes& b) {
  MediaInfo m;
  EXPECT_TRUE(ReadPictureBytes(b, m));
  return m;
}

std::string Read(const Bytes& b) {
  return Summary(ReadBytes(b));
}

TEST(PictureFixtures, FormatSizeAndDepth) {
  const std::pair<const char*, const char*> cases[] = {
      {"gradient.gif", "GIF|37|23|8"},  // colour resolution 7
      {"baseline.jpg", "JPEG|37|23|24"},   {"progressive.jpg", "JPEG|37|23|24"},
      {"arithmetic.jpg", "JPEG|37|23|24"}, {"grey.jpg", "JPEG|37|23|8"},
      {"rgb24.bmp", "BMP|37|23|24"},       {"os2.bmp", "BMP|37|23|8"},
      {"v5.bmp", "BMP|37|23|32"},          {"rgb.png", "PNG|37|23|24"},
      {"rgba.png", "PNG|37|23|24"},        {"grey16.png", "PNG|37|23|16"},
      {"rgb.pcx", "PCX|37|23|24"},         {"palette.pcx", "PCX|37|23|8"},
      {"rgb.tga", "TGA|37|23|24"},         {"rle.tga", "TGA|37|23|24"},
      {"palette.tga", "TGA|37|23|8"},      {"rgb.tif", "|-|-|-"},
      {"big_endian.tif", "|-|-|-"},
  };
  for (const auto& [file, expected] : cases) {
    MediaInfo m;
    EXPECT_TRUE(ReadPictureInfo(test::DataPath(std::string("pictures/") + file), m));
    EXPECT_EQ(Summary(m), expected) << file;
  }
}

TEST(PicturePath, ContentDecidesAndUnreadableFilesWriteNothing) {
  test::TempDir dir;
  test::WriteFile(dir / "picture.gif", test::ReadFile(test::DataPath("pictures/rgb.png")));
  test::WriteFile(dir / "tiny.jpg", std::string("\xFF\xD8\xFF\xE0\x00", 5));
  test::WriteFile(dir / "empty.png", std::string());
  MediaInfo m;
  ASSERT_TRUE(ReadPictureInfo(dir / "picture.gif", m));
  EXPECT_EQ(m.videoFormat, "PNG");
  ASSERT_TRUE(ReadPictureInfo(dir / "tiny.jpg", m));
  EXPECT_EQ(Summary(m), "|-|-|-");
  MediaInfo untouched;
  untouched.videoFormat = "before";
  EXPECT_FALSE(ReadPictureInfo(dir / "empty.png", untouched));
  EXPECT_FALSE(ReadPictureInfo(dir / "missing.png", untouched));
  EXPECT_EQ(untouched.videoFormat, "before");
}

Bytes BmpHeader(std::uint32_t headerSize, std::int32_t width, std::int32_t height) {
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(14, headerSize);
  put(18, static_cast<std::uint32_t>(width));
  put(22, static_cast<std::uint32_t>(height));
  b[28] = 24;
  return b;
}

TEST(PictureHeaders, BmpPngPcxTga) {
  for (std::uint32_t size : {40u, 108u, 124u})
    EXPECT_EQ(Read(BmpHeader(size, 640, 480)), "BMP|640|480|24");
  EXPECT_EQ(Read(BmpHeader(40, 640, -480)), "BMP|640|480|24");  // top-down
  EXPECT_EQ(Read(BmpHeader(40, -5, INT32_MIN)), "BMP|-|-|24");
  EXPECT_EQ(Read(BmpHeader(20, 640, 480)), "|-|-|-");  // unknown header size
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I',
               'H',  'D', 'R', 0,   0,    1,    0,    0,    0, 0, 2, 16, 6};
  EXPECT_EQ(Read(png), "PNG|256|2|48");  // 16-bit RGBA counts its three colour samples
  png.resize(12);
  EXPECT_EQ(Read(png), "PNG|-|-|-");

  Bytes pcx(128, 0);
  pcx[0] = 0x0A;
  pcx[1] = 5;
  pcx[3] = 1;
  pcx[4] = 10;   // Xmin
  pcx[8] = 109;  // Xmax
  pcx[10] = 49;  // Ymax
  pcx[65] = 4;   // four planes of one bit: no depth
  EXPECT_EQ(Read(pcx), "PCX|100|50|-");
  pcx[1] = 1;  // no such version
  EXPECT_EQ(Read(pcx), "|-|-|-");

  Bytes tga(18, 0);
  tga[2] = 10;  // run-length truecolour
  tga[12] = 64;
  tga[14] = 32;
  tga[16] = 16;
  EXPECT_EQ(Read(tga), "TGA|64|32|16");
  for (auto [at, value] : {std::pair{2, 4}, {2, 0}, {1, 2}, {16, 7}, {16, 33}, {14, 0}}) {
    Bytes bad = tga;
    bad[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
    EXPECT_EQ(Read(bad), "|-|-|-") << at << "=" << value;
  }
}

// A JPEG segment: marker, big-endian length, body.
Bytes Segment(std::uint8_t marker, const Bytes& body) {
  Bytes s = {0xFF, marker, static_cast<std::uint8_t>((body.size() + 2) >> 8),
             static_cast<std::uint8_t>(body.size() + 2)};
  Append(s, body);
  return s;
}

Bytes Sof(std::uint8_t marker, int width, int height, int components) {
  return Segment(marker, {8, static_cast<std::uint8_t>(height >> 8),
                          static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(width >> 8),
                          static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(components)});
}

Bytes Jpeg(const std::vector<Bytes>& segments) {
  Bytes j = {0xFF, 0xD8};
  for (const Bytes& s : segments) Append(j, s);
  Append(j, Segment(0xDA, {1, 1, 0, 0, 63, 0}));
  Append(j, {0x12, 0x34, 0xFF, 0xD9});
  return j;
}

TEST(PictureJpeg, ExifLargerThanTheHeadBytes) {
  Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
  exif.resize(3000, 0x4D);
  EXPECT_EQ(Read(Jpeg({Segment(0xE1, exif), Sof(0xC0, 4000, 3000, 3)})), "JPEG|4000|3000|24");
}

TEST(PictureJpeg, SegmentWalk) {
  const Bytes app2(600, 0);  // pushes what follows past the first 512 bytes
  for (std::uint8_t marker : {0xC1, 0xC2, 0xC9, 0xCF})
    EXPECT_EQ(Read(Jpeg({Segment(0xE2, app2), Sof(marker, 300, 200, 1)})), "JPEG|300|200|8");
  // DHT (C4) and DAC (CC) are no frame headers.
  EXPECT_EQ(Read(Jpeg({Sof(0xC4, 300, 200, 1), Sof(0xCC, 300, 200, 1)})), "JPEG|-|-|-");
  // Six fill bytes before a marker are passed over, seven end the walk.
  EXPECT_EQ(Read(Jpeg({Segment(0xE2, app2), Bytes(6, 0xFF), Sof(0xC0, 300, 200, 3)})),
            "JPEG|300|200|24");
  EXPECT_EQ(Read(Jpeg({Segment(0xE2, app2), Bytes(7, 0xFF), Sof(0xC0, 300, 200, 3)})),
            "JPEG|-|-|-");
  // After 20 counted segments the walk stops; APP0 segments do not count.
  for (auto [marker, expected] :
       {std::pair<std::uint8_t, const char*>{0xE2, "JPEG|-|-|-"}, {0xE0, "JPEG|300|200|24"}}) {
    std::vector<Bytes> segments(20, Segment(marker, Bytes(40, 0)));
    segments.push_back(Sof(0xC0, 300, 200, 3));
    EXPECT_EQ(Read(Jpeg(segments)), expected) << int(marker);
  }
  // A segment running past the end stops the walk with what it has.
  Bytes cut = Jpeg({Segment(0xE2, app2), Sof(0xC0, 300, 200, 3)});
  cut.resize(612);
  EXPECT_EQ(Read(cut), "JPEG|-|-|-");
}

TEST(PictureJpeg, WalkOverridesHeadScanWhereItFindsValues) {
  // The head scan stops at the first frame header; the walk keeps the last one.
  Bytes two = Jpeg({Sof(0xC0, 16, 9, 3), Segment(0xE2, Bytes(600, 0)), Sof(0xC2, 300, 200, 1)});
  EXPECT_EQ(ScanJpegHead(two).width, 16);
  EXPECT_EQ(Read(two), "JPEG|300|200|8");
  // A stray byte after SOI ends the walk at once, but the head scan steps over it.
  Bytes stray = {0xFF, 0xD8, 0x00};
  Append(stray, Sof(0xC0, 7, 5, 3));
  EXPECT_EQ(WalkJpegSegments(SpanPictureInput(stray)).width, 0);
  EXPECT_EQ(Read(stray), "JPEG|7|5|24");
}

// Truncated and bit-flipped copies of every picture seed go through the reader without a
// crash, a hang or a sanitizer report.
TEST(PictureReplay, SeedsTruncatedAndFlipped) {
  std::mt19937 rng(4321);
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(ORVANE_SOURCE_DIR) +
                                                               "/fuzz/seeds/picture")) {
    const std::string text = test::ReadFile(entry.path().string());
    const Bytes seed(text.begin(), text.end());
    ++seeds;
    MediaInfo m;
    for (std::size_t len = 0; len <= seed.size(); ++len)
      ReadPictureBytes(std::span(seed).first(len), m);
    for (int i = 0; i < 500 && !seed.empty(); ++i) {
      Bytes damaged = seed;
      for (int k = 0; k < 3; ++k)
        damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      ReadPictureBytes(damaged, m);
    }
  }
  EXPECT_GT(seeds, 10);
}

}  // namespace
}  // namespace orvane
