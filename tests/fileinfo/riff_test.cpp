// The RIFF layer: streams of AVI files, the single stream of a WAV file, hostile sizes, and
// the byte sources.
#include "fileinfo/riff_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "base/strings.h"
#include "fileinfo/avi_reader.h"
#include "test_util.h"

namespace orvane {
namespace {

std::string Le16(std::uint16_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string Le32(std::uint32_t v) {
  return Le16(static_cast<std::uint16_t>(v)) + Le16(static_cast<std::uint16_t>(v >> 16));
}
std::string Chunk(const std::string& id, const std::string& body) {
  std::string c = id + Le32(static_cast<std::uint32_t>(body.size())) + body;
  if (body.size() % 2) c += '\0';
  return c;
}
std::string List(const std::string& type, const std::string& body) {
  return Chunk("LIST", type + body);
}
std::string Riff(const std::string& form, const std::string& body) {
  return Chunk("RIFF", form + body);
}
// A stream header: type, handler, scale, rate, start, length, frame rectangle.
std::string StreamHeader(const std::string& type, std::uint32_t scale, std::uint32_t rate,
                         std::uint32_t start, std::uint32_t length, std::uint16_t right = 0,
                         std::uint16_t bottom = 0) {
  std::string h = type + std::string(4, '\0') + std::string(12, '\0') + Le32(scale) + Le32(rate) +
                  Le32(start) + Le32(length) + std::string(12, '\0');
  return Chunk("strh", h + Le16(0) + Le16(0) + Le16(right) + Le16(bottom));
}
std::string Bitmap(std::int32_t width, std::int32_t height,
                   const std::string& codec = std::string(4, '\0')) {
  return Chunk("strf", Le32(40) + Le32(static_cast<std::uint32_t>(width)) +
                           Le32(static_cast<std::uint32_t>(height)) + Le16(1) + Le16(24) + codec +
                           std::string(20, '\0'));
}
std::string Avi(const std::string& strls) {
  return Riff("AVI ",
              List("hdrl", Chunk("avih", std::string(56, '\0')) + strls) + List("movi", ""));
}
std::span<const std::uint8_t> Span(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}
RiffFile Parse(const std::string& bytes) {
  return ReadRiffStreams(SpanByteSource(Span(bytes)));
}
MediaInfo Media(const std::string& bytes) {
  MediaInfo m;
  ReadAviBytes(Span(bytes), m);
  return m;
}

TEST(RiffReader, EmptyFrameRectangleComesFromTheBitmapHeader) {
  // Top-down pictures store a negative height.
  RiffFile f = Parse(Avi(List("strl", StreamHeader("vids", 1, 25, 0, 5) + Bitmap(64, -48))));
  ASSERT_EQ(f.streams.size(), 1u);
  EXPECT_EQ(f.streams[0].frameRight - f.streams[0].frameLeft, 64);
  EXPECT_EQ(f.streams[0].frameBottom - f.streams[0].frameTop, 48);
}

TEST(RiffReader, TakesAtMostFiftyStreamsAndSkipsListsWithoutHeader) {
  std::string strls = List("strl", Bitmap(1, 1));  // no stream header: not a stream
  for (int i = 0; i < 51; ++i) strls += List("strl", StreamHeader("auds", 1, 8000, 0, 8000));
  RiffFile f = Parse(Avi(strls));
  EXPECT_EQ(f.streams.size(), kMaxRiffStreams);
}

TEST(RiffReader, NotAnAviOrWaveGivesNothing) {
  EXPECT_EQ(Parse("").kind, RiffKind::None);
  EXPECT_EQ(Parse("MThd" + Le32(6) + Le16(1) + Le16(2)).kind, RiffKind::None);
  // The header list must come before the data.
  std::string late = Riff(
      "AVI ", List("movi", "") + List("hdrl", List("strl", StreamHeader("vids", 1, 25, 0, 1))));
  EXPECT_EQ(Parse(late).kind, RiffKind::None);
}

TEST(RiffReader, HostileSizesStayWithinTheFile) {
  // A stream list claiming 4 GiB, a format chunk claiming more than the cap.
  std::string strl = "LIST" + Le32(0xFFFFFFF0) + "strl" + StreamHeader("vids", 1, 25, 0, 1) +
                     "strf" + Le32(0x7FFFFFFF) + std::string(2000, 'x');
  std::string bytes =
      "RIFF" + Le32(0xFFFFFFFF) + "AVI " + "LIST" + Le32(0xFFFFFFFF) + "hdrl" + strl;
  RiffFile f = Parse(bytes);
  ASSERT_EQ(f.streams.size(), 1u);
  EXPECT_EQ(f.streams[0].format.size(), kMaxFormatBytes);
}

TEST(RiffReader, WaveIsOneAudioStreamOfBlocks) {
  std::string fmt = Le16(1) + Le16(2) + Le32(44100) + Le32(176400) + Le16(4) + Le16(16);
  RiffFile f = Parse(Riff(
      "WAVE", Chunk("fmt ", fmt) + Chunk("LIST", "odd") + Chunk("data", std::string(4000, '\0'))));
  ASSERT_EQ(f.kind, RiffKind::Wave);
  ASSERT_EQ(f.streams.size(), 1u);
  const RiffStream& s = f.streams[0];
  EXPECT_EQ(s.type, FourCc("auds"));
  EXPECT_EQ(s.scale, 4u);
  EXPECT_EQ(s.rate, 176400u);
  EXPECT_EQ(s.length, 1000u);
  EXPECT_EQ(RiffSampleToTime(s, s.length), 22);  // 22.68 ms, rounded down
}

TEST(RiffReader, WaveDataCountsOnlyTheBytesPresent) {
  std::string fmt = Le16(1) + Le16(1) + Le32(8000) + Le32(8000) + Le16(1) + Le16(8);
  // Streamed files declare the largest sizes; this one holds 800 bytes of sound.
  std::string bytes = "RIFF" + Le32(0xFFFFFFFF) + "WAVE" + Chunk("fmt ", fmt) + "data" +
                      Le32(0xFFFFFFFF) + std::string(800, '\x80');
  RiffFile f = Parse(bytes);
  ASSERT_EQ(f.streams.size(), 1u);
  EXPECT_EQ(f.streams[0].length, 800u);
  // No format chunk: no stream.
  EXPECT_EQ(Parse(Riff("WAVE", Chunk("data", "ab"))).kind, RiffKind::None);
}

TEST(RiffReader, SampleToTimeHandlesOddRates) {
  RiffStream s;
  s.scale = 1001;
  s.rate = 30000;
  EXPECT_EQ(RiffSampleToTime(s, 30), 1001);
  EXPECT_EQ(RiffSampleToTime(s, 0), 0);
  s.rate = 0;
  EXPECT_EQ(RiffSampleToTime(s, 30), 0);
  s.rate = 1;
  s.scale = 0xFFFFFFFF;
  EXPECT_EQ(RiffSampleToTime(s, 0x1FFFFFFFELL), std::numeric_limits<std::int64_t>::max());
}

TEST(RiffReader, FileSourceReadsAcrossItsCacheBlocks) {
  test::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  test::WriteFile(dir / "f.bin", bytes);
  FileByteSource src(dir / "f.bin");
  ASSERT_TRUE(src.IsOpen());
  EXPECT_EQ(src.Size(), bytes.size());
  std::vector<std::uint8_t> got;
  for (std::uint64_t at : {0ull, 65530ull, 131070ull, 199990ull}) {
    ASSERT_TRUE(src.ReadExact(at, 10, got));
    EXPECT_EQ(std::string(got.begin(), got.end()), bytes.substr(at, 10));
  }
  ASSERT_TRUE(src.ReadExact(1000, 150000, got));  // larger than a block
  EXPECT_EQ(std::string(got.begin(), got.end()), bytes.substr(1000, 150000));
  EXPECT_FALSE(src.ReadExact(199995, 10, got));
  std::uint8_t b[4];
  EXPECT_EQ(src.ReadAt(250000, b, 4), 0u);
  EXPECT_FALSE(FileByteSource(dir / "missing").IsOpen());
}

// The values of the media columns, from streams built here.

TEST(AviValues, UnknownCodecShowsSizeFramesAndRateButNoFormat) {
  MediaInfo m = Media(
      Avi(List("strl", StreamHeader("vids", 1, 25, 0, 50, 320, 240) + Bitmap(320, 240, "ZZZZ"))));
  EXPECT_TRUE(m.hasWidth && m.hasHeight && m.hasFrames && m.hasFramesPerSecond);
  EXPECT_EQ(m.width, 320);
  EXPECT_EQ(m.height, 240);
  EXPECT_EQ(m.frames, 50);
  EXPECT_EQ(m.framesPerSecond, 2500);
  EXPECT_EQ(m.videoFormat, "");
  EXPECT_FALSE(m.hasBitsPerPixel);
  EXPECT_EQ(m.length, 2000);
  EXPECT_FALSE(m.hasChannels || m.hasSamplingFrequency || m.hasBitsPerChannel);
}

TEST(AviValues, UncompressedVideoShowsTheLanguageText) {
  std::string saved = GetText(5016);
  SetText(5016, "Unkomprimiert");
  MediaInfo m = Media(Avi(List("strl", StreamHeader("vids", 1, 10, 0, 3) + Bitmap(8, 8))));
  SetText(5016, saved);
  EXPECT_EQ(m.videoFormat, "Unkomprimiert");
  EXPECT_TRUE(m.hasBitsPerPixel);
  EXPECT_EQ(m.bitsPerPixel, 24);
}

TEST(AviValues, LastStreamOfEachKindDecidesAndLengthSpansAllStreams) {
  std::string fmt =
      Chunk("strf", Le16(0x55) + Le16(2) + Le32(48000) + Le32(16000) + Le16(1) + Le16(0) + Le16(0));
  // Video 0 s to 2 s; video 1 s to 4 s (50 frames at 25 from frame 25); sound 0.5 s to 1.5 s.
  MediaInfo m =
      Media(Avi(List("strl", StreamHeader("vids", 1, 25, 0, 50, 64, 48) + Bitmap(64, 48, "XVID")) +
                List("strl", StreamHeader("vids", 1, 25, 25, 75, 32, 24) + Bitmap(32, 24, "xxxx")) +
                List("strl", StreamHeader("auds", 1, 1000, 500, 1000) + fmt) +
                List("strl", StreamHeader("txts", 1, 1, 0, 1))));
  EXPECT_EQ(m.videoFormat, "Xvid MPEG-4");  // the second stream's codec is unknown
  EXPECT_EQ(m.width, 32);
  EXPECT_EQ(m.frames, 75);
  EXPECT_EQ(m.audioFormat, "MPEG Layer-3");
  EXPECT_EQ(m.samplingFrequency, 4800);
  EXPECT_FALSE(m.hasBitsPerChannel);
  EXPECT_EQ(m.length, 4000);
}

}  // namespace
}  // namespace orvane
