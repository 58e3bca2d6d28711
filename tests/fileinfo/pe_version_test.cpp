// Version data of PE files: fixtures built with mingw-w64 (tests/data/pe/make.sh), version blocks
// built in the test, and damaged files that must give empty records without crashing.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fileinfo/language_names.h"
#include "fileinfo/pe_version.h"
#include "test_util.h"

namespace orvane {
namespace {

std::vector<std::uint8_t> Fixture(const std::string& name) {
  const std::string s = test::ReadFile(test::DataPath("pe/" + name));
  return {s.begin(), s.end()};
}

VersionInfo ReadFixture(const std::string& name) {
  VersionInfo info;
  EXPECT_TRUE(ReadVersionInfo(test::DataPath("pe/" + name), info)) << name;
  VersionInfo fromSpan;
  EXPECT_TRUE(ReadVersionInfo(Fixture(name), fromSpan)) << name;
  EXPECT_EQ(fromSpan.fileVersion, info.fileVersion);
  EXPECT_EQ(fromSpan.company, info.company);
  return info;
}

TEST(PeVersion, FixedVersionWinsOverTheString64) {
  const VersionInfo v = ReadFixture("fixed_wins64.exe");
  EXPECT_EQ(v.fileVersion, "1.2.3.4");
  EXPECT_EQ(v.fileVersionNumber, 0x0001000200030004u);
  EXPECT_EQ(v.productVersion, "1.10.0.0");
  EXPECT_EQ(v.productVersionNumber, 0x0001000A00000000u);
  EXPECT_EQ(v.productName, "Orvane Fixture");
  EXPECT_EQ(v.description, "Fixture with every string");
  EXPECT_EQ(v.copyright, "\u00a9 2024 Brenmoor, Z\u00fcrich");
  EXPECT_EQ(v.company, "Brenmoor Test Works");
  EXPECT_EQ(v.comments, "Built with mingw-w64");
  EXPECT_EQ(v.language, "English (United States)");
}

TEST(PeVersion, SameResourceIn32BitFile) {
  const VersionInfo v = ReadFixture("fixed_wins32.exe");
  EXPECT_EQ(v.fileVersion, "1.2.3.4");
  EXPECT_EQ(v.company, "Brenmoor Test Works");
  EXPECT_EQ(v.language, "English (United States)");
}

TEST(PeVersion, StringKeptWhenFixedVersionIsZero) {
  const VersionInfo v = ReadFixture("string_version32.exe");
  EXPECT_EQ(v.fileVersion, "2.0 (build 7)");
  EXPECT_EQ(v.fileVersionNumber, 0u);
  EXPECT_EQ(v.productVersion, "2.0");
  EXPECT_EQ(v.productVersionNumber, 0u);
  EXPECT_EQ(v.description, "Versionstext");
  EXPECT_EQ(v.language, "German (Germany)");
}

TEST(PeVersion, WithoutTranslationOnlyTheNumbers) {
  const VersionInfo v = ReadFixture("no_translation64.dll");
  EXPECT_EQ(v.fileVersion, "3.4.5.6");
  EXPECT_EQ(v.productVersion, "3.4.0.0");
  EXPECT_EQ(v.company, "");
  EXPECT_EQ(v.productName, "");
  EXPECT_EQ(v.language, "");
}

TEST(PeVersion, OnlyTheFirstTranslationCounts) {
  const VersionInfo v = ReadFixture("two_translations32.dll");
  EXPECT_EQ(v.company, "Erste GmbH");
  EXPECT_EQ(v.comments, "");
  EXPECT_EQ(v.language, "German (Germany)");
  // 1.10.0.0 sorts after 1.9.65535.65535.
  EXPECT_EQ(v.fileVersion, "1.9.65535.65535");
  EXPECT_LT(v.fileVersionNumber, ReadFixture("fixed_wins64.exe").productVersionNumber);
}

TEST(PeVersion, FilesWithoutVersionGiveEmptyRecords) {
  test::TempDir dir;
  test::WriteFile(dir / "text.exe", "MZ this is not really a program");
  for (const std::string& path :
       {test::DataPath("pe/no_resource64.exe"), test::DataPath("pe/stub.c"), dir / "text.exe",
        dir / "missing.exe", dir.path()}) {
    VersionInfo v;
    v.fileVersion = "stale";
    v.productVersionNumber = 7;
    EXPECT_FALSE(ReadVersionInfo(path, v)) << path;
    EXPECT_EQ(v.fileVersion, "");
    EXPECT_EQ(v.productVersionNumber, 0u);
  }
}

// A prefix of a real file gives either nothing or everything: a resource cut short is not read
// in part. Damaged bytes anywhere never cause a fault.
TEST(PeVersion, TruncatedAndDamagedFilesAreSafe) {
  for (const char* name : {"fixed_wins64.exe", "two_translations32.dll"}) {
    const std::vector<std::uint8_t> file = Fixture(name);
    VersionInfo whole;
    ASSERT_TRUE(ReadVersionInfo(file, whole));
    int complete = 0;
    for (std::size_t n = 0; n < file.size(); ++n) {
      VersionInfo v;
      if (!ReadVersionInfo(std::span<const std::uint8_t>(file).first(n), v)) {
        EXPECT_EQ(v.fileVersion + v.company + v.language, "") << n;
        continue;
      }
      ++complete;
      EXPECT_EQ(v.fileVersion, whole.fileVersion) << n;
      EXPECT_EQ(v.company, whole.company) << n;
      EXPECT_EQ(v.language, whole.language) << n;
    }
    EXPECT_LT(complete, 512);  // only the padding after the resource may be cut
    std::mt19937 gen(5);
    for (int round = 0; round < 3000; ++round) {
      std::vector<std::uint8_t> bad = file;
      for (int k = 0; k < 4; ++k)
        bad[gen() % bad.size()] ^= static_cast<std::uint8_t>(1 + gen() % 255);
      VersionInfo v;
      ReadVersionInfo(bad, v);
    }
  }
}

// Resource directory entries that point back at the root or at themselves cannot trap the walk.
TEST(PeVersion, DirectoryPointingBackAtItselfEnds) {
  const std::vector<std::uint8_t> file = Fixture("fixed_wins64.exe");
  // Type 16 leads to the name level at 0x18, whose name 1 leads to the language level at 0x30.
  const std::uint8_t typeEntry[] = {0x10, 0, 0, 0, 0x18, 0, 0, 0x80};
  const std::uint8_t nameEntry[] = {0x01, 0, 0, 0, 0x30, 0, 0, 0x80};
  auto find = [&](const std::uint8_t(&e)[8]) {
    auto at = std::search(file.begin(), file.end(), std::begin(e), std::end(e));
    EXPECT_NE(at, file.end());
    return static_cast<std::size_t>(at - file.begin());
  };
  const std::size_t typePos = find(typeEntry), namePos = find(nameEntry);
  const struct {
    std::size_t pos;
    std::uint8_t target;
  } cases[] = {{typePos, 0x00}, {typePos, 0x30}, {namePos, 0x18}, {namePos, 0x00}};
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bad = file;
    bad[c.pos + 4] = c.target;
    VersionInfo v;
    EXPECT_FALSE(ReadVersionInfo(bad, v)) << c.pos << " -> " << int{c.target};
  }
}

// Version blocks built by hand: key, type, value and children with 32-bit alignment.
struct Node {
  std::u16string key;
  std::uint16_t type = 1;
  std::vector<std::uint8_t> value;  // raw value bytes
  std::uint16_t valueLength = 0;    // as stored
  std::vector<Node> children;
};

void Pad(std::vector<std::uint8_t>& out) {
  while (out.size() % 4) out.push_back(0);
}

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Emit(const Node& n, std::vector<std::uint8_t>& out) {
  Pad(out);
  const std::size_t start = out.size();
  out.resize(start + 6);
  Put16(out, start + 2, n.valueLength);
  Put16(out, start + 4, n.type);
  for (char16_t c : n.key) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  Pad(out);
  out.insert(out.end(), n.value.begin(), n.value.end());
  for (const Node& c : n.children) Emit(c, out);
  Put16(out, start, static_cast<std::uint16_t>(out.size() - start));
}

Node Text(std::u16string key, std::u16string text) {
  Node n{std::move(key), 1, {}, static_cast<std::uint16_t>(text.size() + 1), {}};
  for (char16_t c : text + u'\0') {
    n.value.push_back(static_cast<std::uint8_t>(c));
    n.value.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return n;
}

std::vector<std::uint8_t> Fixed(std::uint32_t fileMs, std::uint32_t fileLs) {
  std::vector<std::uint8_t> v(52, 0);
  const std::uint32_t words[] = {0xFEEF04BD, 0x10000, fileMs, fileLs, fileMs, fileLs};
  for (int i = 0; i < 6; ++i)
    for (int k = 0; k < 4; ++k) v[4 * i + k] = static_cast<std::uint8_t>(words[i] >> (8 * k));
  return v;
}

Node Translation(std::vector<std::uint16_t> words) {
  Node n{u"Translation", 0, {}, static_cast<std::uint16_t>(2 * words.size()), {}};
  for (std::uint16_t w : words) {
    n.value.push_back(static_cast<std::uint8_t>(w));
    n.value.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  return n;
}

std::vector<std::uint8_t> Build(const Node& root) {
  std::vector<std::uint8_t> out;
  Emit(root, out);
  return out;
}

TEST(VersionResource, KeysIgnoreCaseAndEmptyValuesAreNotTaken) {
  Node table{
      u"040904B0", 1, {}, 0, {Text(u"companyname", u"Lower Case Key"), Text(u"Comments", u"")}};
  table.children[1].valueLength = 0;  // present, but of length 0
  Node root{u"VS_VERSION_INFO",
            0,
            {},
            0,
            {Node{u"StringFileInfo", 1, {}, 0, {table}},
             Node{u"VarFileInfo", 1, {}, 0, {Translation({0x0409, 0x04b0})}}}};
  VersionInfo v;
  v.comments = "untouched";
  ASSERT_TRUE(ParseVersionResource(Build(root), v));
  EXPECT_EQ(v.company, "Lower Case Key");
  EXPECT_EQ(v.comments, "untouched");
  EXPECT_EQ(v.fileVersion, "");  // no fixed part, no string
}

TEST(VersionResource, FixedPartNeedsExactly52Bytes) {
  Node root{u"VS_VERSION_INFO", 0, Fixed(0x00020003, 0x00040005), 52, {}};
  VersionInfo v;
  ASSERT_TRUE(ParseVersionResource(Build(root), v));
  EXPECT_EQ(v.fileVersion, "2.3.4.5");
  root.valueLength = 48;
  v = VersionInfo();
  ASSERT_TRUE(ParseVersionResource(Build(root), v));
  EXPECT_EQ(v.fileVersion, "");
}

TEST(VersionResource, StringVersionWithoutFixedPart) {
  Node table{
      u"041104b0", 1, {}, 0, {Text(u"FileVersion", u"7 preview"), Text(u"ProductVersion", u"7")}};
  Node root{u"VS_VERSION_INFO",
            0,
            {},
            0,
            {Node{u"VarFileInfo", 1, {}, 0, {Translation({0x0411, 0x04b0, 0x0409, 0x04b0})}},
             Node{u"StringFileInfo", 1, {}, 0, {table}}}};
  VersionInfo v;
  ASSERT_TRUE(ParseVersionResource(Build(root), v));
  EXPECT_EQ(v.fileVersion, "7 preview");
  EXPECT_EQ(v.productVersion, "7");
  EXPECT_EQ(v.fileVersionNumber, 0u);
  EXPECT_EQ(v.language, "Japanese (Japan)");
}

TEST(VersionResource, BrokenBlocksStopQuietly) {
  Node table{u"040904b0", 1, {}, 0, {Text(u"CompanyName", u"Company")}};
  Node root{u"VS_VERSION_INFO",
            0,
            {},
            0,
            {Node{u"StringFileInfo", 1, {}, 0, {table}},
             Node{u"VarFileInfo", 1, {}, 0, {Translation({0x0409, 0x04b0})}}}};
  const std::vector<std::uint8_t> good = Build(root);
  VersionInfo v;
  ASSERT_TRUE(ParseVersionResource(good, v));
  EXPECT_EQ(v.company, "Company");
  // Every cut and every single-byte value at every position.
  for (std::size_t n = 0; n < good.size(); ++n) {
    VersionInfo cut;
    ParseVersionResource(std::span<const std::uint8_t>(good).first(n), cut);
  }
  for (std::size_t i = 0; i < good.size(); ++i)
    for (int b : {0x00, 0x01, 0x05, 0x06, 0x7F, 0xFF}) {
      std::vector<std::uint8_t> bad = good;
      bad[i] = static_cast<std::uint8_t>(b);
      VersionInfo w;
      ParseVersionResource(bad, w);
    }
  // A root that claims 0 bytes is no block at all.
  std::vector<std::uint8_t> zero = good;
  zero[0] = zero[1] = 0;
  EXPECT_FALSE(ParseVersionResource(zero, v));
}

TEST(LanguageNames, RegionsPrimaryLanguagesAndUnknown) {
  EXPECT_EQ(LanguageName(0x0C0A), "Spanish (Spain, International Sort)");
  EXPECT_EQ(LanguageName(0x0000), "Language Neutral");
  EXPECT_EQ(LanguageName(0x0009), "English");  // a primary language alone
  EXPECT_EQ(LanguageName(0x7777), "");
}

}  // namespace
}  // namespace orvane
