#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(CodePage, DerivedFromLanguageAndTerritory) {
  EXPECT_EQ(AnsiCodePageForLocale("de_DE.UTF-8"), 1252);
  EXPECT_EQ(OemCodePageForLocale("de_DE.UTF-8"), 850);
  EXPECT_EQ(OemCodePageForLocale("en_US.UTF-8"), 437);
  EXPECT_EQ(AnsiCodePageForLocale("ru_RU.UTF-8"), 1251);
  EXPECT_EQ(OemCodePageForLocale("ru_RU"), 866);
  EXPECT_EQ(AnsiCodePageForLocale("zh_TW.UTF-8"), 950);
  EXPECT_EQ(AnsiCodePageForLocale("zh_CN.UTF-8"), 936);
  EXPECT_EQ(AnsiCodePageForLocale("C"), 1252);
  EXPECT_EQ(OemCodePageForLocale("C"), 437);
}

TEST(CodePage, ConvertsBothWaysAndReplacesWhatItCannotShow) {
  EXPECT_EQ(CodePageToUtf8("caf\xE9", 1252), "caf\xC3\xA9");
  EXPECT_EQ(CodePageToUtf8("\x80", 1252), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(CodePageToUtf8("\x81", 1252), "\xEF\xBF\xBD");  // undefined in 1252
  EXPECT_EQ(CodePageToUtf8("\x82", 437), "\xC3\xA9");
  EXPECT_EQ(Utf8ToCodePage("caf\xC3\xA9", 1252), "caf\xE9");
  // A character outside the code page becomes "?" and the rest is still written.
  EXPECT_EQ(Utf8ToCodePage("a\xE4\xB8\xAD"
                           "b",
                           1252),
            "a?b");
}

}  // namespace
}  // namespace orvane
