#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::uint8_t> Bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

std::vector<std::uint8_t> Utf16WithBom(const std::string& ascii) {
  std::vector<std::uint8_t> out = {0xFF, 0xFE};
  for (char c : ascii) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(0);
  }
  return out;
}

TEST(ProfileFile, UpdatesKeysInPlaceAndKeepsEverythingElse) {
  CProfile p;
  ASSERT_EQ(p.LoadBytes(Bytes("; made by hand\n[Other]\n1391=7\n[Settings]\n1391=1\nx=y\n\n"
                              "[Last]\nz=1\n")),
            TextReadStatus::kOk);
  p.Set("Settings", "1391", "0");
  p.Set("Settings", "New", "v");
  p.Set("Fresh", "k", "1");
  EXPECT_EQ(p.ToBytes(),
            "; made by hand\n[Other]\n1391=7\n[Settings]\n1391=0\nx=y\nNew=v\n\n[Last]\nz=1\n"
            "[Fresh]\nk=1\n");
  EXPECT_EQ(p.Get("Other", "1391"), "7");
  EXPECT_EQ(p.Get("settings", "NEW"), "v");
  EXPECT_EQ(p.Get("Settings", "missing"), std::nullopt);
}

TEST(ProfileFile, ReadsUtf16WithCrLfAndUtf8WithBom) {
  CProfile p;
  ASSERT_EQ(p.LoadBytes(Utf16WithBom("[Settings]\r\n1420 = My title \r\n1391=0\r\n")),
            TextReadStatus::kOk);
  EXPECT_EQ(p.Get("Settings", "1420"), "My title");
  EXPECT_EQ(p.Get("Settings", "1391"), "0");
  ASSERT_EQ(p.LoadBytes(Bytes("\xEF\xBB\xBF[Settings]\r\n1410=*.txt\r\n")), TextReadStatus::kOk);
  EXPECT_EQ(p.Get("Settings", "1410"), "*.txt");
}

TEST(ProfileFile, ValuesWithEdgeBlanksOrQuotesSurviveARoundTrip) {
  CProfile p;
  for (std::string value : {" ", "  lead", "trail ", "\"quoted\"", "a\"b", "", "x=y|z"}) {
    p.Set("Settings", "k", value);
    CProfile q;
    q.LoadBytes(Bytes(p.ToBytes()));
    EXPECT_EQ(q.Get("Settings", "k"), value) << "[" << value << "]";
  }
  p.Set("Settings", "k", "two\nlines");
  EXPECT_EQ(p.Get("Settings", "k"), "two lines");
}

TEST(ProfileFile, LongValuesAreCutTo1023Characters) {
  CProfile p;
  p.Set("Settings", "k", std::string(1500, 'a'));
  EXPECT_EQ(p.Get("Settings", "k")->size(), 1023u);
  std::string umlauts;
  for (int i = 0; i < 1500; ++i) umlauts += "\xC3\xA4";
  p.Set("Settings", "k", umlauts);
  EXPECT_EQ(p.Get("Settings", "k"), umlauts.substr(0, 2046));  // characters, not bytes
}

TEST(ProfileFile, BadFilesReadAsNoKeys) {
  TempDir dir;
  CProfile p;
  EXPECT_EQ(p.Load(dir / "missing.ini"), TextReadStatus::kMissing);
  EXPECT_EQ(p.Load(dir.path()), TextReadStatus::kUnreadable);
  WriteFile(dir / "garbage.ini", std::string("[Settings]\n1391=0\n\0\x01\x02\xff", 22));
  EXPECT_EQ(p.Load(dir / "garbage.ini"), TextReadStatus::kNotText);
  EXPECT_EQ(p.Get("Settings", "1391"), std::nullopt);
  std::vector<std::uint8_t> huge(kMaxProfileFileSize + 1, 'a');
  EXPECT_EQ(p.LoadBytes(huge), TextReadStatus::kTooLarge);
  EXPECT_TRUE(p.Lines().empty());
  // An odd-length UTF-16 file and a lone byte-order mark still read without trouble.
  EXPECT_EQ(p.LoadBytes(std::vector<std::uint8_t>{0xFF, 0xFE, 'a'}), TextReadStatus::kOk);
  EXPECT_EQ(p.LoadBytes(std::vector<std::uint8_t>{0xEF, 0xBB, 0xBF}), TextReadStatus::kOk);
}

TEST(ProfileFile, SaveWritesUtf8WithoutBomAndLeavesOldFileWhenItFails) {
  TempDir dir;
  CProfile p;
  p.Set("Settings", "1420", "Titel \xC3\xA4");
  ASSERT_TRUE(p.Save(dir / "a.ini"));
  EXPECT_EQ(ReadFile(dir / "a.ini"), "[Settings]\n1420=Titel \xC3\xA4\n");
  // A folder in the way cannot be replaced; no temporary file is left behind.
  std::filesystem::create_directory(dir / "b.ini");
  EXPECT_FALSE(p.Save(dir / "b.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "b.ini"));
  EXPECT_FALSE(p.Save(dir / "no/such/folder.ini"));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace orvane
