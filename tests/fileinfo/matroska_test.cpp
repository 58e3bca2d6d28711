// Matroska: files made by ffmpeg (tests/data/mkv/make.sh) and element trees built here.
#include "fileinfo/matroska_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>

#include "test_util.h"

namespace orvane {
namespace {

MediaInfo ReadMkv(const std::string& name) {
  MediaInfo m;
  ReadMatroskaInfo(test::DataPath("mkv/" + name), m);
  return m;
}

// An element: its identifier bytes as written, an 8-byte size, and the body.
std::string El(std::uint32_t id, const std::string& body) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8)
    if (id >> shift || !s.empty()) s += static_cast<char>(id >> shift);
  s += '\x01';
  for (int shift = 48; shift >= 0; shift -= 8) s += static_cast<char>(body.size() >> shift);
  return s + body;
}
std::string Uint(std::uint32_t id, std::uint64_t v) {
  std::string b;
  for (int shift = 56; shift >= 0; shift -= 8) b += static_cast<char>(v >> shift);
  return El(id, b);
}
std::string Double(std::uint32_t id, double v) {
  return Uint(id, std::bit_cast<std::uint64_t>(v));
}
std::string Float(std::uint32_t id, float v) {
  std::uint32_t bits = std::bit_cast<std::uint32_t>(v);
  std::string b;
  for (int shift = 24; shift >= 0; shift -= 8) b += static_cast<char>(bits >> shift);
  return El(id, b);
}
const std::string kEbmlHeader = El(0x1A45DFA3, El(0x4282, "matroska"));
std::string Segment(const std::string& body) {
  // A segment of unknown size, as written by live recorders.
  return std::string("\x18\x53\x80\x67\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 12) + body;
}
std::string Info(const std::string& body) {
  return El(0x1549A966, body);
}
std::string Tracks(const std::string& body) {
  return El(0x1654AE6B, body);
}
std::string Track(const std::string& body) {
  return El(0xAE, body);
}
MediaInfo Parse(const std::string& bytes) {
  MediaInfo m;
  ReadMatroskaBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, m);
  return m;
}

TEST(MatroskaReader, H264WithVorbis) {
  MediaInfo m = ReadMkv("h264_vorbis.mkv");
  EXPECT_EQ(m.videoFormat, "MPEG4/ISO/AVC");
  EXPECT_EQ(m.width, 64);
  EXPECT_EQ(m.height, 48);
  EXPECT_EQ(m.framesPerSecond, 2500);
  EXPECT_FALSE(m.hasFrames || m.hasBitsPerPixel);
  EXPECT_EQ(m.audioFormat, "VORBIS");
  EXPECT_EQ(m.samplingFrequency, 2205);
  EXPECT_EQ(m.channels, 1);
  EXPECT_EQ(m.length, 1023);
}

TEST(MatroskaReader, Mpeg4WithFlacAndSoundOnly) {
  MediaInfo m = ReadMkv("mpeg4_flac.mkv");
  EXPECT_EQ(m.videoFormat, "MPEG4/ISO/ASP");
  EXPECT_EQ(m.framesPerSecond, 2997);
  EXPECT_EQ(m.audioFormat, "FLAC");
  EXPECT_EQ(m.samplingFrequency, 1600);
  EXPECT_EQ(m.bitsPerChannel, 24);
  EXPECT_EQ(m.channels, 2);
  EXPECT_EQ(m.length, 300);

  MediaInfo a = ReadMkv("flac.mka");
  EXPECT_EQ(a.videoFormat, "");
  EXPECT_FALSE(a.hasWidth || a.hasFramesPerSecond);
  EXPECT_EQ(a.audioFormat, "FLAC");
  EXPECT_EQ(a.bitsPerChannel, 16);
  EXPECT_EQ(a.length, 750);
}

TEST(MatroskaReader, DefaultDurationAndDuration) {
  std::string video = Track(Uint(0x83, 1) + El(0x86, "V_MPEG4/ISO/AVC") + Uint(0x23E383, 40000000) +
                            El(0xE0, Uint(0xB0, 720) + Uint(0xBA, 576)));
  MediaInfo m = Parse(kEbmlHeader + Segment(Info(Double(0x4489, 5000.0)) + Tracks(video)));
  EXPECT_EQ(m.videoFormat, "MPEG4/ISO/AVC");
  EXPECT_EQ(m.framesPerSecond, 2500);
  EXPECT_EQ(m.width, 720);
  EXPECT_EQ(m.height, 576);
  EXPECT_EQ(m.length, 5000);

  // A 4-byte duration in units of 1 ms x 1000 (a scale of one second).
  m = Parse(kEbmlHeader +
            Segment(Info(Float(0x4489, 2.5f) + Uint(0x2AD7B1, 1000000000)) + Tracks("")));
  EXPECT_EQ(m.length, 2500);
  // Other float sizes read as 0, and so do values that are no number: no length.
  EXPECT_FALSE(Parse(kEbmlHeader + Segment(Info(El(0x4489, "abc")))).hasLength);
  EXPECT_FALSE(Parse(kEbmlHeader + Segment(Info(Double(0x4489, NAN)))).hasLength);
  EXPECT_FALSE(Parse(kEbmlHeader + Segment(Info(Double(0x4489, 1e300)))).hasLength);
}

TEST(MatroskaReader, AudioTrackAndCodecPrefixes) {
  std::string audio = Track(Uint(0x83, 2) + El(0x86, std::string("A_AAC\0\0", 7)) +
                            El(0xE1, Uint(0x9F, 6) + Double(0xB5, 48000.0) + Uint(0x6264, 16)));
  std::string subtitle = Track(Uint(0x83, 17) + El(0x86, "S_TEXT/UTF8"));
  MediaInfo m = Parse(kEbmlHeader + Segment(Tracks(audio + subtitle)));
  EXPECT_EQ(m.audioFormat, "AAC");
  EXPECT_EQ(m.channels, 6);
  EXPECT_EQ(m.samplingFrequency, 4800);
  EXPECT_EQ(m.bitsPerChannel, 16);
  EXPECT_EQ(m.videoFormat, "");

  // Two characters are not enough to lose the prefix.
  EXPECT_EQ(Parse(kEbmlHeader + Segment(Tracks(Track(Uint(0x83, 2) + El(0x86, "A_"))))).audioFormat,
            "A_");
}

TEST(MatroskaReader, OnlyTheFirst16KiBCount) {
  std::string info = Info(Double(0x4489, 1000.0));
  std::string video = Track(Uint(0x83, 1) + El(0x86, "V_VP9"));
  std::string pad = El(0xEC, std::string(kMatroskaHeadBytes, '\0'));  // a Void element
  // Track entries behind the limit are not seen.
  MediaInfo m = Parse(kEbmlHeader + Segment(info + pad + Tracks(video)));
  EXPECT_EQ(m.length, 1000);
  EXPECT_EQ(m.videoFormat, "");
  // A track list that starts inside the limit but ends beyond it is not entered either.
  std::string bytes = kEbmlHeader + Segment(Tracks(video + El(0xEC, std::string(20000, '\0'))));
  EXPECT_EQ(Parse(bytes).videoFormat, "");
  bytes = kEbmlHeader + Segment(Tracks(video) + El(0xEC, std::string(20000, '\0')));
  EXPECT_EQ(Parse(bytes).videoFormat, "VP9");
}

TEST(MatroskaReader, DamageStopsTheWalkAndKeepsWhatWasStored) {
  // Garbage before the EBML header is skipped.
  std::string good = Track(Uint(0x83, 2) + El(0x86, "A_OPUS") + El(0xE1, Uint(0x9F, 2)));
  // A child whose size runs past its entry: the entry's codec is not taken, but the
  // channels stored before the damage stay.
  std::string bad = Track(Uint(0x83, 1) + El(0xE0, Uint(0xB0, 640)) + "\x86\x88" + "V_");
  MediaInfo m = Parse("junk" + kEbmlHeader + Segment(Tracks(good + bad + good)));
  EXPECT_EQ(m.audioFormat, "OPUS");
  EXPECT_EQ(m.width, 640);
  EXPECT_EQ(m.videoFormat, "");
  EXPECT_EQ(m.channels, 2);

  // No 0x1A byte, a zero length byte, an empty file.
  EXPECT_FALSE(Parse("no header here").hasLength);
  EXPECT_FALSE(Parse(std::string("\x1A\x00\x00", 3)).hasLength);
  EXPECT_FALSE(Parse("").hasLength);
  MediaInfo missing;
  ReadMatroskaInfo("/nonexistent/file.mkv", missing);
  EXPECT_EQ(missing.videoFormat, "");
}

}  // namespace
}  // namespace orvane
