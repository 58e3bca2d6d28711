// WAV files made by sox (tests/data/wav/make.sh): one sound stream each.
#include <gtest/gtest.h>

#include "fileinfo/avi_reader.h"
#include "test_util.h"

namespace orvane {
namespace {

TEST(WavReader, FormatsRatesAndLengths) {
  struct Case {
    const char* file;
    const char* format;
    int frequency, bits, channels, length;
  };
  const Case cases[] = {
      {"pcm16_stereo.wav", "PCM", 4410, 16, 2, 20},
      {"ima_adpcm.wav", "IMA ADPCM", 800, 4, 1, 505},  // 2,048 bytes at 4,055 bytes a second
      {"ulaw.wav", "CCITT u-Law", 800, 8, 1, 250},
      {"extensible_24bit.wav", "PCM", 4800, 24, 3, 10},  // named by its sub-format
  };
  for (const Case& c : cases) {
    std::string path = test::DataPath(std::string("wav/") + c.file);
    MediaInfo m;
    ReadAviInfo(path, test::ReadFile(path).size(), m);
    EXPECT_EQ(m.audioFormat, c.format) << c.file;
    EXPECT_EQ(m.samplingFrequency, c.frequency) << c.file;
    EXPECT_EQ(m.bitsPerChannel, c.bits) << c.file;
    EXPECT_EQ(m.channels, c.channels) << c.file;
    EXPECT_EQ(m.length, c.length) << c.file;
    EXPECT_TRUE(m.hasSamplingFrequency && m.hasBitsPerChannel && m.hasChannels && m.hasLength);
    EXPECT_FALSE(m.hasWidth || m.hasFrames || m.hasFramesPerSecond || m.hasBitsPerPixel);
  }
}

TEST(WavReader, CutOffFileShowsTheLengthItHolds) {
  std::string bytes = test::ReadFile(test::DataPath("wav/pcm16_stereo.wav"));
  bytes.resize(44 + 1764);  // the header and 10 ms of sound
  MediaInfo m;
  ReadAviBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, m);
  EXPECT_EQ(m.audioFormat, "PCM");
  EXPECT_EQ(m.length, 10);
}

}  // namespace
}  // namespace orvane
