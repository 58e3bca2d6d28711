#include "fileinfo/property_set.h"

#include <gtest/gtest.h>

#include "compound_builder.h"
#include "platform/codepage.h"

namespace orvane {
namespace {

using B = test::PropertySetBuilder;

std::string GetText(const PropertySection& s, std::uint32_t id) {
  Property p;
  if (!s.Get(id, p) || p.kind != Property::Kind::kString) return "<none>";
  return p.text;
}

// The decoded types themselves are checked end to end in doc_properties_test.
TEST(PropertySet, SkipsTypesThatAreNotShown) {
  B b;
  b.AddSection(kSummaryInformationId);
  b.AddProperty(2, B::Typed(0x101E, {1, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 0, 0}));  // vector of strings
  b.AddProperty(3, B::Typed(71, {4, 0, 0, 0, 1, 2, 3, 4}));                    // clipboard data
  b.AddProperty(4, B::Typed(0x401F, {0, 0, 0, 0}));                            // by reference
  b.AddProperty(0, B::I4(1));  // identifier 0 is the dictionary, never a value
  b.AddProperty(5, B::I2(-5));
  const auto stream = b.Build();
  PropertySection s;
  ASSERT_TRUE(s.Open(stream, kSummaryInformationId));
  Property p;
  for (std::uint32_t id : {0u, 2u, 3u, 4u, 42u}) EXPECT_FALSE(s.Get(id, p)) << id;
  ASSERT_TRUE(s.Get(5, p));
  EXPECT_EQ(p.number, -5);
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

  auto wrongOrder = good;  // byte-order mark FFFF: no property set
  wrongOrder[0] = 0xFF;
  EXPECT_FALSE(s.Open(wrongOrder, kSummaryInformationId));

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
