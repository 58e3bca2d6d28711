// AVI files made by ffmpeg (tests/data/avi/make.sh): what the media columns show for them.
#include "fileinfo/avi_reader.h"

#include <gtest/gtest.h>

#include "base/strings.h"
#include "test_util.h"

namespace orvane {
namespace {

MediaInfo ReadAvi(const std::string& name) {
  std::string path = test::DataPath("avi/" + name);
  MediaInfo m;
  ReadAviInfo(path, test::ReadFile(path).size(), m);
  return m;
}

TEST(AviReader, UncompressedVideo) {
  MediaInfo m = ReadAvi("raw_bgr24.avi");
  EXPECT_EQ(m.videoFormat, GetText(5016));
  EXPECT_EQ(m.bitsPerPixel, 24);
  EXPECT_EQ(m.width, 16);
  EXPECT_EQ(m.height, 16);  // stored top-down, with a negative height
  EXPECT_EQ(m.frames, 10);
  EXPECT_EQ(m.framesPerSecond, 2500);
  EXPECT_EQ(m.length, 400);
  EXPECT_TRUE(m.hasBitsPerPixel && m.hasFramesPerSecond && m.hasLength);
  EXPECT_FALSE(m.hasChannels || m.hasSamplingFrequency || m.hasBitsPerChannel);
}

TEST(AviReader, CompressedVideoAndSound) {
  MediaInfo m = ReadAvi("mpeg4_mp3.avi");
  EXPECT_EQ(m.videoFormat, "FFmpeg MPEG-4");
  EXPECT_EQ(m.width, 64);
  EXPECT_EQ(m.audioFormat, "MPEG Layer-3");
  EXPECT_EQ(m.samplingFrequency, 2205);
  EXPECT_EQ(m.channels, 1);
  EXPECT_FALSE(m.hasBitsPerChannel);  // compressed sound declares no sample size
  EXPECT_EQ(ReadAvi("xvid.avi").videoFormat, "Xvid MPEG-4");

  MediaInfo ntsc = ReadAvi("mjpeg_2997.avi");  // 15 frames at 30000/1001
  EXPECT_EQ(ntsc.videoFormat, "Motion JPEG");
  EXPECT_EQ(ntsc.framesPerSecond, 2997);
  EXPECT_EQ(ntsc.length, 500);
}

TEST(AviReader, CodecWithoutNameKeepsTheRest) {
  MediaInfo m = ReadAvi("unknown_codec.avi");
  EXPECT_EQ(m.videoFormat, "");
  EXPECT_FALSE(m.hasBitsPerPixel);
  EXPECT_EQ(m.width, 32);
  EXPECT_EQ(m.frames, 3);
  EXPECT_EQ(m.framesPerSecond, 1000);
  EXPECT_EQ(m.audioFormat, "PCM");
  EXPECT_EQ(m.bitsPerChannel, 8);
}

TEST(AviReader, NameCaseAndUnreadableFiles) {
  test::TempDir dir;
  test::WriteFile(dir / "MOVIE.AVI", test::ReadFile(test::DataPath("avi/xvid.avi")));
  MediaInfo m;
  ReadAviInfo(dir / "MOVIE.AVI", 1, m);
  EXPECT_EQ(m.frames, 10);

  // A MIDI file, a missing file, an empty size and a directory all leave the record empty.
  test::WriteFile(dir / "tune.mid", std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14));
  MediaInfo none;
  for (const std::string& p : {dir / "tune.mid", dir / "missing.avi", dir.path()})
    ReadAviInfo(p, 100, none);
  ReadAviInfo(dir / "MOVIE.AVI", 0, none);
  EXPECT_FALSE(none.hasFrames || none.hasLength || none.hasChannels);
}

}  // namespace
}  // namespace orvane
