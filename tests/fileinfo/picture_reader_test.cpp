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

MediaInfo ReadBytes(const Bytes& b) {
  MediaInfo m;
  EXPECT_TRUE(ReadPictureBytes(b, m));
  return m;
}

struct Expected {
  const char* file;
  const char* format;
  int width, height, bits;
};

TEST(PictureFixtures, FormatSizeAndDepth) {
  const Expected cases[] = {
      {"gradient.gif", "GIF", 37, 23, 8},      {"baseline.jpg", "JPEG", 37, 23, 24},
      {"progressive.jpg", "JPEG", 37, 23, 24}, {"arithmetic.jpg", "JPEG", 37, 23, 24},
      {"grey.jpg", "JPEG", 37, 23, 8},         {"rgb24.bmp", "BMP", 37, 23, 24},
      {"os2.bmp", "BMP", 37, 23, 8},           {"v5.bmp", "BMP", 37, 23, 32},
      {"rgb.png", "PNG", 37, 23, 24},          {"rgba.png", "PNG", 37, 23, 24},
      {"grey16.png", "PNG", 37, 23, 16},       {"rgb.pcx", "PCX", 37, 23, 24},
      {"palette.pcx", "PCX", 37, 23, 8},       {"rgb.tga", "TGA", 37, 23, 24},
      {"rle.tga", "TGA", 37, 23, 24},          {"palette.tga", "TGA", 37, 23, 8},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.file);
    MediaInfo m;
    ASSERT_TRUE(ReadPictureInfo(test::DataPath(std::string("pictures/") + e.file), m));
    EXPECT_EQ(m.videoFormat, e.format);
    EXPECT_EQ(m.width, e.width);
    EXPECT_EQ(m.height, e.height);
    EXPECT_EQ(m.bitsPerPixel, e.bits);
    EXPECT_TRUE(m.hasWidth && m.hasHeight && m.hasBitsPerPixel);
  }
}

TEST(PictureFixtures, TiffIsRecognisedButShowsNothing) {
  for (const char* name : {"rgb.tif", "big_endian.tif"}) {
    MediaInfo m;
    ASSERT_TRUE(ReadPictureInfo(test::DataPath(std::string("pictures/") + name), m));
    EXPECT_EQ(m.videoFormat, "");
    EXPECT_FALSE(m.hasWidth || m.hasHeight || m.hasBitsPerPixel);
  }
}

TEST(PicturePath, ContentDecidesAndUnreadableFilesWriteNothing) {
  test::TempDir dir;
  test::WriteFile(dir / "picture.gif", test::ReadFile(test::DataPath("pictures/rgb.png")));
  MediaInfo m;
  ASSERT_TRUE(ReadPictureInfo(dir / "picture.gif", m));
  EXPECT_EQ(m.videoFormat, "PNG");

  MediaInfo untouched;
  untouched.videoFormat = "before";
  test::WriteFile(dir / "empty.png", std::string());
  EXPECT_FALSE(ReadPictureInfo(dir / "empty.png", untouched));
  EXPECT_FALSE(ReadPictureInfo(dir / "missing.png", untouched));
  EXPECT_EQ(untouched.videoFormat, "before");

  test::WriteFile(dir / "tiny.jpg", std::string("\xFF\xD8\xFF\xE0\x00", 5));
  ASSERT_TRUE(ReadPictureInfo(dir / "tiny.jpg", m));
  EXPECT_EQ(m.videoFormat, "");
  EXPECT_FALSE(m.hasWidth || m.hasHeight || m.hasBitsPerPixel);
}

TEST(PictureHeaders, GifColourResolution) {
  Bytes gif = {'G', 'I', 'F', '8', '7', 'a', 0x10, 0x01, 0x20, 0x00, 0x70, 0, 0};
  MediaInfo m = ReadBytes(gif);
  EXPECT_EQ(m.videoFormat, "GIF");
  EXPECT_EQ(m.width, 272);
  EXPECT_EQ(m.height, 32);
  EXPECT_EQ(m.bitsPerPixel, 8);  // resolution field 7
  gif[10] = 0x80;                // only the global-colour-table flag
  EXPECT_EQ(ReadBytes(gif).bitsPerPixel, 1);
  gif.pop_back();  // 12 bytes are not enough
  EXPECT_EQ(ReadBytes(gif).videoFormat, "");
}

Bytes BmpHeader(std::uint32_t headerSize, std::int32_t width, std::int32_t height, int bits) {
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  auto put = [&](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(14, headerSize, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(28, static_cast<std::uint32_t>(bits), 2);
  return b;
}

TEST(PictureHeaders, BmpHeaderVersions) {
  for (std::uint32_t size : {40u, 108u, 124u}) {
    MediaInfo m = ReadBytes(BmpHeader(size, 640, 480, 24));
    EXPECT_EQ(m.videoFormat, "BMP") << size;
    EXPECT_EQ(m.width, 640);
    EXPECT_EQ(m.height, 480);
    EXPECT_EQ(m.bitsPerPixel, 24);
  }
  // A top-down bitmap stores its height as a negative number.
  EXPECT_EQ(ReadBytes(BmpHeader(40, 640, -480, 24)).height, 480);
  MediaInfo odd = ReadBytes(BmpHeader(40, -5, INT32_MIN, 0));
  EXPECT_FALSE(odd.hasWidth || odd.hasHeight || odd.hasBitsPerPixel);
  EXPECT_EQ(odd.videoFormat, "BMP");
  EXPECT_EQ(ReadBytes(BmpHeader(20, 640, 480, 24)).videoFormat, "");  // unknown header size
  Bytes short29 = BmpHeader(40, 640, 480, 24);
  short29.resize(29);
  EXPECT_EQ(ReadBytes(short29).videoFormat, "");
}

TEST(PictureHeaders, PngDepthPcxPlanesTgaChecks) {
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I',
               'H',  'D', 'R', 0,   0,    1,    0,    0,    0, 0, 2, 16, 6};
  MediaInfo m = ReadBytes(png);
  EXPECT_EQ(m.width, 256);
  EXPECT_EQ(m.height, 2);
  EXPECT_EQ(m.bitsPerPixel, 48);  // 16-bit RGBA counts its colour samples
  png.resize(12);                 // the signature alone
  m = ReadBytes(png);
  EXPECT_EQ(m.videoFormat, "PNG");
  EXPECT_FALSE(m.hasWidth || m.hasBitsPerPixel);

  Bytes pcx(128, 0);
  pcx[0] = 0x0A;
  pcx[1] = 5;
  pcx[3] = 1;
  pcx[4] = 10;   // Xmin
  pcx[8] = 109;  // Xmax
  pcx[10] = 49;  // Ymax
  pcx[65] = 4;   // four planes of one bit: no depth
  m = ReadBytes(pcx);
  EXPECT_EQ(m.videoFormat, "PCX");
  EXPECT_EQ(m.width, 100);
  EXPECT_EQ(m.height, 50);
  EXPECT_FALSE(m.hasBitsPerPixel);
  pcx[1] = 1;  // version 1 does not exist
  EXPECT_EQ(ReadBytes(pcx).videoFormat, "");

  Bytes tga(18, 0);
  tga[2] = 2;
  tga[12] = 64;
  tga[14] = 32;
  tga[16] = 16;
  EXPECT_EQ(ReadBytes(tga).videoFormat, "TGA");
  for (auto [at, value] : {std::pair{2, 4}, {2, 0}, {1, 2}, {16, 7}, {16, 33}, {12, 0}}) {
    Bytes bad = tga;
    bad[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
    if (at == 12) bad[13] = 0;
    EXPECT_EQ(ReadBytes(bad).videoFormat, "") << at << "=" << value;
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
  MediaInfo m = ReadBytes(Jpeg({Segment(0xE1, exif), Sof(0xC0, 4000, 3000, 3)}));
  EXPECT_EQ(m.videoFormat, "JPEG");
  EXPECT_EQ(m.width, 4000);
  EXPECT_EQ(m.height, 3000);
  EXPECT_EQ(m.bitsPerPixel, 24);
}

TEST(PictureJpeg, FrameMarkersAndFillBytes) {
  for (std::uint8_t marker : {0xC1, 0xC2, 0xC9, 0xCF}) {
    Bytes big(600, 0);
    MediaInfo m = ReadBytes(Jpeg({Segment(0xE2, big), Sof(marker, 300, 200, 1)}));
    EXPECT_EQ(m.width, 300) << int(marker);
    EXPECT_EQ(m.bitsPerPixel, 8);
  }
  // DHT (C4) and DAC (CC) are no frame headers.
  MediaInfo notFrame = ReadBytes(Jpeg({Sof(0xC4, 300, 200, 1), Sof(0xCC, 300, 200, 1)}));
  EXPECT_EQ(notFrame.videoFormat, "JPEG");
  EXPECT_FALSE(notFrame.hasWidth);
  // Fill bytes before a marker: six are passed over, seven end the walk.
  Bytes pad(600, 0);
  Bytes six = Jpeg({Segment(0xE2, pad), Bytes(6, 0xFF), Sof(0xC0, 300, 200, 3)});
  EXPECT_EQ(ReadBytes(six).width, 300);
  Bytes seven = Jpeg({Segment(0xE2, pad), Bytes(7, 0xFF), Sof(0xC0, 300, 200, 3)});
  EXPECT_FALSE(ReadBytes(seven).hasWidth);
}

TEST(PictureJpeg, TwentySegmentsAreTakenInAtMost) {
  // Frame header after 20 counted segments, beyond the first 512 bytes: not reached. APP0
  // segments do not count, so with them it is.
  for (auto [marker, found] : {std::pair<std::uint8_t, bool>{0xE2, false}, {0xE0, true}}) {
    std::vector<Bytes> segments(20, Segment(marker, Bytes(40, 0)));
    segments.push_back(Sof(0xC0, 300, 200, 3));
    EXPECT_EQ(ReadBytes(Jpeg(segments)).hasWidth, found) << int(marker);
  }
}

TEST(PictureJpeg, WalkOverridesHeadScanWhereItFindsValues) {
  // The head scan stops at the first frame header; the walk keeps the last one.
  Bytes two = Jpeg({Sof(0xC0, 16, 9, 3), Segment(0xE2, Bytes(600, 0)), Sof(0xC2, 300, 200, 1)});
  EXPECT_EQ(ScanJpegHead(two).width, 16);
  MediaInfo m = ReadBytes(two);
  EXPECT_EQ(m.width, 300);
  EXPECT_EQ(m.height, 200);
  EXPECT_EQ(m.bitsPerPixel, 8);
  // A stray byte after SOI ends the walk at once, but the head scan steps over it.
  Bytes stray = {0xFF, 0xD8, 0x00};
  Append(stray, Sof(0xC0, 7, 5, 3));
  EXPECT_EQ(WalkJpegSegments(SpanPictureInput(stray)).width, 0);
  m = ReadBytes(stray);
  EXPECT_EQ(m.width, 7);
  EXPECT_EQ(m.height, 5);
  // A segment running past the end stops the walk with what it has.
  Bytes cut = Jpeg({Segment(0xE2, Bytes(600, 0)), Sof(0xC0, 300, 200, 3)});
  cut.resize(612);
  EXPECT_FALSE(ReadBytes(cut).hasWidth);
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
