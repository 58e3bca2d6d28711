// The codec and sound format tables: lookups fold letters only, unknown codes give nothing.
#include "fileinfo/codec_names.h"

#include <gtest/gtest.h>

#include "fileinfo/riff_reader.h"

namespace orvane {
namespace {

TEST(CodecNames, Lookups) {
  EXPECT_EQ(VideoCodecName(FourCc("divx")), VideoCodecName(FourCc("DIVX")));
  EXPECT_EQ(VideoCodecName(FourCc("avc1")), "H.264 (AVC)");
  EXPECT_EQ(VideoCodecName(FourCc("DIVX") ^ 0x80000000u), "");  // not a letter: no match
  EXPECT_EQ(VideoCodecName(FourCc("ZZZZ")), "");
  EXPECT_EQ(VideoCodecName(0), "");
  EXPECT_EQ(WaveFormatName(0x55), "MPEG Layer-3");
  EXPECT_EQ(WaveFormatName(0xFFFE), "");  // the extensible format is resolved by its reader
}

}  // namespace
}  // namespace orvane
