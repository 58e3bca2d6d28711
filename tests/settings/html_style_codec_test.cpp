#include "writers/html_style.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(HtmlStyleCodec, DefaultOddRowRecord) {
  CHtmlStyleSet styles;
  EXPECT_EQ(StyleToValue(styles[kStyleOddRow]), "16771304|0|-11|0|0|0|400|0|0|0|1|0|0|0|0|Tahoma");
}

TEST(HtmlStyleCodec, DecodeRecomputesSizeAndCutsFaceName) {
  CHtmlStyle s;
  std::string face(40, 'F');
  ASSERT_TRUE(StyleFromValue("255|65280|-16|0|0|0|700|1|1|0|204|3|2|1|34|" + face, s, 96));
  EXPECT_EQ(s.crColor, 255u);
  EXPECT_EQ(s.crTextColor, 65280u);
  EXPECT_EQ(s.lfFont.lfHeight, -16);
  EXPECT_EQ(s.lfFont.lfWeight, 700);
  EXPECT_EQ(s.lfFont.lfItalic, 1);
  EXPECT_EQ(s.lfFont.lfCharSet, 204);
  EXPECT_EQ(s.lfFont.lfPitchAndFamily, 34);
  EXPECT_EQ(s.lfFont.lfFaceName, std::string(31, 'F'));
  EXPECT_EQ(s.nSize, 12);
  // A cell height (positive) gives a negative size; -11 at 96 dpi is 8 points.
  StyleFromValue("0|0|20", s, 96);
  EXPECT_EQ(s.nSize, -15);
  StyleFromValue("0|0|-11", s, 96);
  EXPECT_EQ(s.nSize, 8);
  StyleFromValue("0|0|-11", s, 0);  // unknown resolution: 96
  EXPECT_EQ(s.nSize, 8);
  // Face names are counted in characters.
  std::string wide;
  for (int i = 0; i < 40; ++i) wide += "\xE6\x97\xA5";
  StyleFromValue("0|0|-11|0|0|0|400|0|0|0|1|0|0|0|0|" + wide, s, 96);
  EXPECT_EQ(s.lfFont.lfFaceName, wide.substr(0, 93));
}

TEST(HtmlStyleCodec, Numbers) {
  EXPECT_EQ(ParseDecimal("  -42abc"), -42);
  EXPECT_EQ(ParseDecimal("+7"), 7);
  EXPECT_EQ(ParseDecimal("x1"), 0);
  EXPECT_EQ(ParseDecimal(""), 0);
}

}  // namespace
}  // namespace orvane
