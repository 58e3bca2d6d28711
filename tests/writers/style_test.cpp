#include <gtest/gtest.h>

#include "engine/listing_options.h"
#include "writers/html_style.h"

namespace orvane {
namespace {

TEST(HtmlStyle, ElementValueRoundTripsAndRecomputesTheSize) {
  CHtmlStyle s;
  s.crColor = 0x123456;
  s.crTextColor = 0xFFFFFFFF;
  s.lfFont.lfHeight = -16;
  s.lfFont.lfWeight = 700;
  s.lfFont.lfItalic = 1;
  s.lfFont.lfCharSet = 204;
  s.lfFont.lfFaceName = "Odd|Face";
  CHtmlStyle back;
  ASSERT_TRUE(StyleFromValue(StyleToValue(s), back));
  EXPECT_EQ(back.crColor, s.crColor);
  EXPECT_EQ(back.crTextColor, s.crTextColor);
  EXPECT_EQ(back.lfFont.lfWeight, 700);
  EXPECT_EQ(back.lfFont.lfItalic, 1);
  EXPECT_EQ(back.lfFont.lfCharSet, 204);
  EXPECT_EQ(back.lfFont.lfFaceName, "Odd|Face");
  EXPECT_EQ(back.nSize, 12);
  EXPECT_EQ(SizeFromHeight(-11, 96), 8);
  EXPECT_EQ(SizeFromHeight(11, 96), -8);  // a cell height loads as a negative size
  EXPECT_EQ(SizeFromHeight(-11, 0), 8);
}

TEST(HtmlStyle, DamagedValuesReadAsZeroWithoutTouchingOtherElements) {
  CHtmlStyle s;
  s.crColor = 42;
  EXPECT_FALSE(StyleFromValue("", s));
  EXPECT_EQ(s.crColor, 42u);
  ASSERT_TRUE(StyleFromValue("abc|12x|-99999999999|||||||300", s));
  EXPECT_EQ(s.crColor, 0u);
  EXPECT_EQ(s.crTextColor, 12u);
  EXPECT_EQ(s.lfFont.lfHeight, INT32_MIN);
  EXPECT_EQ(s.lfFont.lfUnderline, 0);
  EXPECT_EQ(s.lfFont.lfStrikeOut, 300 & 0xFF);
  EXPECT_EQ(s.lfFont.lfFaceName, "Tahoma");  // a shortened record keeps the face
  // The face name keeps 31 characters, counted as characters.
  std::string face;
  for (int i = 0; i < 40; ++i) face += "\xC3\xA9";
  ASSERT_TRUE(StyleFromValue("1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|" + face, s));
  EXPECT_EQ(s.lfFont.lfFaceName.size(), 62u);
}

TEST(HtmlStyle, ClassNamesAdvanceThroughTheAlphabet) {
  EXPECT_EQ(ColumnClass("fa", ColumnFromNumber(0)), "fa");
  EXPECT_EQ(ColumnClass("fa", ColumnFromNumber(25)), "fz");
  EXPECT_EQ(ColumnClass("fa", ColumnFromNumber(26)), "ga");
  EXPECT_EQ(ColumnClass("fa", ColumnFromNumber(57)), "hf");
  EXPECT_EQ(ColumnClass("aa", ColumnFromNumber(57)), "cf");
  EXPECT_EQ(ColumnClass("ka", ColumnFromNumber(57)), "mf");
}

TEST(HtmlStyle, FontDeclarationsAndColours) {
  CHtmlStyle s;
  EXPECT_EQ(CssFontDeclarations(s),
            "font-size:8pt;font-family:\"Tahoma\";font-style:normal;font-weight:normal;"
            "text-decoration:none;");
  s.lfFont.lfItalic = 1;
  s.lfFont.lfWeight = 501;
  s.lfFont.lfStrikeOut = 1;
  s.lfFont.lfUnderline = 1;
  s.lfFont.lfFaceName = "Evil\"</style><b>\\";
  EXPECT_EQ(CssFontDeclarations(s),
            "font-size:8pt;font-family:\"Evil\\\"\\3c /style\\3e \\3c b\\3e \\\\\";"
            "font-style:italic;font-weight:bold;text-decoration:line-through;"
            "text-decoration:underline;");
  EXPECT_EQ(CssColor(0x804040), "404080");
  EXPECT_EQ(CssColor(0xFFD0D0), "d0d0ff");
}

TEST(HtmlStyle, MetaCharsetFollowsEncodingAndOddRowFont) {
  CHtmlStyleSet styles;
  EXPECT_EQ(MetaCharsetName(kEncodingUtf8, styles, 1252), "UTF-8");
  EXPECT_EQ(MetaCharsetName(kEncodingUtf16, styles, 1252), "UTF-16");
  EXPECT_EQ(MetaCharsetName(kEncodingAnsi, styles, 1252), "iso-8859-1");
  EXPECT_EQ(MetaCharsetName(kEncodingAnsi, styles, 932), "shift-jis");
  EXPECT_EQ(MetaCharsetName(kEncodingAnsi, styles, 65001), "UTF-8");
  styles[kStyleOddRow].lfFont.lfCharSet = 204;
  EXPECT_EQ(MetaCharsetName(kEncodingAnsi, styles, 1252), "windows-1251");
}

}  // namespace
}  // namespace orvane
