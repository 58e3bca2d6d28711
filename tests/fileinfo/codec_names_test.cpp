// The codec and sound format tables.
#include "fileinfo/codec_names.h"

#include <gtest/gtest.h>

#include "fileinfo/riff_reader.h"

namespace orvane {
namespace {

TEST(CodecNames, VideoCodesMatchInEitherCase) {
  EXPECT_EQ(VideoCodecName(FourCc("DIVX")), "DivX MPEG-4");
  EXPECT_EQ(VideoCodecName(FourCc("divx")), "DivX MPEG-4");
  EXPECT_EQ(VideoCodecName(FourCc("avc1")), VideoCodecName(FourCc("H264")));
  EXPECT_EQ(VideoCodecName(FourCc("cvid")), "Cinepak Codec by Radius");
  EXPECT_EQ(VideoCodecName(FourCc("msvc")), "Microsoft Video 1");
  EXPECT_EQ(VideoCodecName(FourCc("WMV3")), "Windows Media Video 9");
  EXPECT_EQ(VideoCodecName(FourCc("IV50")), "Indeo Video 5.10");
  EXPECT_EQ(VideoCodecName(1), "Microsoft RLE");  // the bitmap run-length codes
  EXPECT_EQ(VideoCodecName(FourCc("ZZZZ")), "");
  EXPECT_EQ(VideoCodecName(0), "");
  // Only letters fold: a code differing in another byte is another code.
  EXPECT_EQ(VideoCodecName(FourCc("DIVX") ^ 0x80000000u), "");
}

TEST(CodecNames, WaveFormatTags) {
  EXPECT_EQ(WaveFormatName(1), "PCM");
  EXPECT_EQ(WaveFormatName(2), "Microsoft ADPCM");
  EXPECT_EQ(WaveFormatName(3), "IEEE Float");
  EXPECT_EQ(WaveFormatName(6), "CCITT A-Law");
  EXPECT_EQ(WaveFormatName(7), "CCITT u-Law");
  EXPECT_EQ(WaveFormatName(0x11), "IMA ADPCM");
  EXPECT_EQ(WaveFormatName(0x31), "GSM 6.10");
  EXPECT_EQ(WaveFormatName(0x50), "MPEG");
  EXPECT_EQ(WaveFormatName(0x55), "MPEG Layer-3");
  EXPECT_EQ(WaveFormatName(0x161), "Windows Media Audio");
  EXPECT_EQ(WaveFormatName(0), "");
  EXPECT_EQ(WaveFormatName(0xFFFE), "");
}

}  // namespace
}  // namespace orvane
