#include "fileinfo/property_set.h"

#include <gtest/gtest.h>

#include "compound_builder.h"
#include "platform/codepage.h"

namespace orvane {
namespace {

using B = test::PropertySetBuilder;

constexpr FormatId kOtherId = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

std::string GetText(const PropertySection& s, std::uint32_t id) {
  Property p;
  if (!s.Get(id, p) || p.kind != Property::Kind::kString) return "<none>";
  return p.text;
}

TEST(PropertySet, DecodesEveryShownTypeAndSkipsTheRest) {
  B b;
  b.AddSection(kSummaryInformationId);
  b.AddProperty(1, B::I2(1251));
  b.AddProperty(2, B::Bytes(kVtLpstr, "\xC6\xE0\xF0"));  // "Жар" in code page 1251
  b.AddProperty(3, B::Bytes(kVtBstr, "\xEC\xE8\xF0"));   // "мир"
  b.AddProperty(4, B::Wide("na\xC3\xAF"
                           "ve \xE2\x82\xAC"));
  b.AddProperty(5, B::I2(-5));
  b.AddProperty(6, B::I4(-70000));
  b.AddProperty(7, B::FileTime(0x01D5A1B2C3D4E5F6));
  b.AddProperty(8, B::Typed(0x101E, {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 0, 0}));  // vector of strings
  b.AddProperty(9, B::Typed(71, {4, 0, 0, 0, 1, 2, 3, 4}));                    // clipboard data
  b.AddProperty(0, B::I4(1));  // identifier 0 is the dictionary, never a value
  const auto stream = b.Build();

  PropertySection s;
  ASSERT_TRUE(s.Open(stream, kSummaryInformationId));
  EXPECT_EQ(s.CodePage(), 1251);
  EXPECT_EQ(GetText(s, 2), "\xD0\x96\xD0\xB0\xD1\x80");
  EXPECT_EQ(GetText(s, 3), "\xD0\xBC\xD0\xB8\xD1\x80");
  EXPECT_EQ(GetText(s, 4),
            "na\xC3\xAF"
            "ve \xE2\x82\xAC");
  Property p;
  ASSERT_TRUE(s.Get(5, p));
  EXPECT_EQ(p.kind, Property::Kind::kNumber);
  EXPECT_EQ(p.number, -5);  // sign-extended
  ASSERT_TRUE(s.Get(6, p));
  EXPECT_EQ(p.number, -70000);
  ASSERT_TRUE(s.Get(7, p));
  EXPECT_EQ(p.kind, Property::Kind::kTime);
  EXPECT_EQ(p.fileTime, 0x01D5A1B2C3D4E5F6u);
  EXPECT_FALSE(s.Get(8, p));
  EXPECT_FALSE(s.Get(9, p));
  EXPECT_FALSE(s.Get(0, p));
  EXPECT_FALSE(s.Get(42, p));
}

TEST(PropertySet, ByteStringsFollowTheSectionCodePage) {
  auto single = [](std::int16_t codePage, bool withCodePage, const std::string& bytes) {
    B b;
    b.AddSection(kSummaryInformationId);
    if (withCodePage) b.AddProperty(1, B::I2(codePage));
    b.AddProperty(2, B::Bytes(kVtLpstr, bytes));
    const auto stream = b.Build();
    PropertySection s;
    EXPECT_TRUE(s.Open(stream, kSummaryInformationId));
    return GetText(s, 2);
  };
  // 65001 is stored as the 16-bit value -535.
  EXPECT_EQ(single(-535, true,
                   "\xC3\xBC"
                   "ber"),
            "\xC3\xBC"
            "ber");
  // Code page 1200: the "byte string" holds UTF-16.
  EXPECT_EQ(single(1200, true, std::string("h\0i\0", 4)), "hi");
  // Without a code page, and with one the system cannot convert, the ANSI code page applies.
  EXPECT_EQ(single(0, false, "caf\xE9"), AnsiToUtf8("caf\xE9"));
  EXPECT_EQ(single(12345, true, "caf\xE9"), AnsiToUtf8("caf\xE9"));
  // The text ends at its first NUL.
  EXPECT_EQ(single(1252, true, std::string("ab\0cd", 5)), "ab");
}

TEST(PropertySet, FindsTheSectionByFormatIdentifier) {
  B b;
  b.AddSection(kOtherId);
  b.AddProperty(2, B::Wide("first"));
  b.AddSection(kDocSummaryInformationId);
  b.AddProperty(2, B::Wide("second"));
  const auto stream = b.Build();
  PropertySection s;
  ASSERT_TRUE(s.Open(stream, kDocSummaryInformationId));
  EXPECT_EQ(GetText(s, 2), "second");
  ASSERT_TRUE(s.Open(stream, kOtherId));
  EXPECT_EQ(GetText(s, 2), "first");
  EXPECT_FALSE(s.Open(stream, kSummaryInformationId));
  auto wrongOrder = stream;
  wrongOrder[0] = 0xFF;  // byte-order mark FFFF
  EXPECT_FALSE(s.Open(wrongOrder, kOtherId));
}

TEST(PropertySet, NeverReadsOutsideTheSection) {
  B b;
  b.AddSection(kSummaryInformationId);
  b.AddProperty(2, B::Wide("title"));
  b.AddProperty(3, B::Bytes(kVtLpstr, "subject"));
  b.AddProperty(4, B::I4(7));
  const auto good = b.Build();
  const std::size_t section = 48;  // header (28) + one identifier/offset pair (20)
  PropertySection s;
  Property p;

  auto badOffset = good;  // property 2 points far past the section
  test::PutU32(badOffset, section + 12, 0x7FFFFFF0);
  ASSERT_TRUE(s.Open(badOffset, kSummaryInformationId));
  EXPECT_FALSE(s.Get(2, p));
  EXPECT_EQ(GetText(s, 3), "subject");

  auto longString = good;  // the subject claims four billion bytes: it is cut at the section end
  const std::uint32_t subjectAt = good[section + 20] | good[section + 21] << 8;
  test::PutU32(longString, section + subjectAt + 4, 0xFFFFFFF0);
  ASSERT_TRUE(s.Open(longString, kSummaryInformationId));
  ASSERT_TRUE(s.Get(3, p));
  EXPECT_EQ(p.text.substr(0, 7), "subject");

  auto manySlots = good;  // the table claims far more entries than the section holds
  test::PutU32(manySlots, section + 4, 0xFFFFFFFF);
  ASSERT_TRUE(s.Open(manySlots, kSummaryInformationId));
  EXPECT_EQ(GetText(s, 2), "title");

  auto shortSection = good;  // the section size cuts into the values
  test::PutU32(shortSection, section, 40);
  ASSERT_TRUE(s.Open(shortSection, kSummaryInformationId));
  EXPECT_FALSE(s.Get(4, p));

  auto farSection = good;  // the section offset lies past the stream
  test::PutU32(farSection, 44, 0x10000);
  EXPECT_FALSE(s.Open(farSection, kSummaryInformationId));

  for (std::size_t cut = 0; cut < good.size(); ++cut) {  // every truncation
    PropertySection t;
    if (t.Open(std::span(good.data(), cut), kSummaryInformationId)) t.Get(3, p);
  }
}

}  // namespace
}  // namespace orvane
