// WAV files made by sox (tests/data/wav/make.sh): one sound stream each.
#include <gtest/gtest.h>

#include "fileinfo/avi_reader.h"
#include "test_util.h"

namespace orvane {
namespace {

MediaInfo ReadWav(const std::string& name) {
  std::string path = test::DataPath("wav/" + name);
  MediaInfo m;
  ReadAviInfo(path, test::ReadFile(path).size(), m);
  return m;
}

TEST(WavReader, CdQualityPcm) {
  MediaInfo m = ReadWav("pcm16_stereo.wav");
  EXPECT_EQ(m.audioFormat, "PCM");
  EXPECT_EQ(m.samplingFrequency, 4410);
  EXPECT_EQ(m.bitsPerChannel, 16);
  EXPECT_EQ(m.channels, 2);
  EXPECT_EQ(m.length, 20);
  EXPECT_TRUE(m.hasSamplingFrequency && m.hasBitsPerChannel && m.hasChannels && m.hasLength);
  EXPECT_EQ(m.videoFormat, "");
  EXPECT_FALSE(m.hasWidth || m.hasFrames || m.hasFramesPerSecond || m.hasBitsPerPixel);
}

TEST(WavReader, CompressedFormats) {
  MediaInfo adpcm = ReadWav("ima_adpcm.wav");
  EXPECT_EQ(adpcm.audioFormat, "IMA ADPCM");
  EXPECT_EQ(adpcm.samplingFrequency, 800);
  EXPECT_EQ(adpcm.bitsPerChannel, 4);
  EXPECT_EQ(adpcm.channels, 1);
  // 2,048 bytes at 4,055 bytes per second.
  EXPECT_EQ(adpcm.length, 505);

  MediaInfo ulaw = ReadWav("ulaw.wav");
  EXPECT_EQ(ulaw.audioFormat, "CCITT u-Law");
  EXPECT_EQ(ulaw.bitsPerChannel, 8);
  EXPECT_EQ(ulaw.length, 250);
}

TEST(WavReader, ExtensibleFormatShowsItsSubFormat) {
  MediaInfo m = ReadWav("extensible_24bit.wav");
  EXPECT_EQ(m.audioFormat, "PCM");
  EXPECT_EQ(m.samplingFrequency, 4800);
  EXPECT_EQ(m.bitsPerChannel, 24);
  EXPECT_EQ(m.channels, 3);
  EXPECT_EQ(m.length, 10);
}

TEST(WavReader, CutOffFileShowsTheLengthItHolds) {
  std::string bytes = test::ReadFile(test::DataPath("wav/pcm16_stereo.wav"));
  ASSERT_GT(bytes.size(), 44u + 1764u);
  bytes.resize(44 + 1764);  // the header and 10 ms of sound
  MediaInfo m;
  ReadAviBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, m);
  EXPECT_EQ(m.audioFormat, "PCM");
  EXPECT_EQ(m.length, 10);
}

}  // namespace
}  // namespace orvane
