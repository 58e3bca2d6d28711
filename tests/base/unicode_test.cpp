#include "base/unicode.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(Unicode, InvalidBytesBecomeReplacementAndCountOnce) {
  std::string bad =
      "a\xFF"
      "b\xC3";
  EXPECT_EQ(SanitizeUtf8(bad),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  EXPECT_EQ(CountCodePoints(bad), 4u);
  EXPECT_EQ(CountCodePoints("\xC3\xA9t\xC3\xA9"), 3u);
  EXPECT_EQ(TruncateCodePoints("\xC3\xA9t\xC3\xA9", 2), "\xC3\xA9t");
  // Overlong forms and surrogates are not accepted as characters.
  EXPECT_EQ(DecodeUtf8("\xC0\xAF").size(), 2u);
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80")[0], U'\xFFFD');
}

TEST(Unicode, Utf16RoundTripsOutsideTheBasicPlane) {
  std::string s = "x\xF0\x9F\x98\x80y\xC3\xA4";
  std::u16string u = Utf8ToUtf16(s);
  ASSERT_EQ(u.size(), 5u);
  EXPECT_EQ(Utf16ToUtf8(u), s);
  std::vector<std::uint8_t> le = {'h', 0, 'i', 0, 0, 0, 'x', 0};
  EXPECT_EQ(Utf16LeToUtf8(le), "hi");
  EXPECT_EQ(Utf16LeToUtf8(std::vector<std::uint8_t>{0x00, 0xD8, 'a', 0}, true),
            "\xEF\xBF\xBD"
            "a");
}

}  // namespace
}  // namespace orvane
