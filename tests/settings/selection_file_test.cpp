#include "settings/selection_file.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Utf16(const std::u16string& text, bool bom) {
  std::string bytes = bom ? "\xFF\xFE" : "";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(SelectionFile, SavedWithBomAndCrLf) {
  TempDir dir;
  ASSERT_TRUE(SaveSelection({}, dir / "empty.ovs"));
  EXPECT_EQ(ReadFile(dir / "empty.ovs"), "\xEF\xBB\xBF");
  CheckedDirs sel = {{"/home/ann/Music", DirCheck::kWithSubdirs},
                     {"/srv/a|b", DirCheck::kAlone},
                     {"/", DirCheck::kAlone}};
  ASSERT_TRUE(SaveSelection(sel, dir / "s.ovs"));
  EXPECT_EQ(ReadFile(dir / "s.ovs"),
            "\xEF\xBB\xBF"
            "2|/\r\n3|/home/ann/Music\r\n2|/srv/a|b\r\n");
  CheckedDirs back;
  ASSERT_EQ(LoadSelection(dir / "s.ovs", back), TextReadStatus::kOk);
  EXPECT_EQ(back, sel);
}

TEST(SelectionFile, LinesThatDoNotParseAreSkipped) {
  CheckedDirs sel;
  ParseSelectionLines({"2|/data", "3|/data", "1|/one", "just text", "3", "2|", "3|relative/dir",
                       "3|/music/", "|/x", " 3|/y", "3|/z|with|bars"},
                      sel);
  EXPECT_EQ(sel, (CheckedDirs{{"/data", DirCheck::kWithSubdirs},
                              {"/music", DirCheck::kWithSubdirs},
                              {"/z|with|bars", DirCheck::kWithSubdirs}}));
}

TEST(SelectionFile, Utf16ReadsLikeUtf8) {
  TempDir dir;
  WriteFile(dir / "u8.ovs",
            "\xEF\xBB\xBF"
            "3|/home/j\xC3\xBCrgen\r\n2|/tmp\r\n");
  WriteFile(dir / "u16.ovs", Utf16(u"3|/home/j\u00fcrgen\r\n2|/tmp\r\n", true));
  WriteFile(dir / "u16nobom.ovs", Utf16(u"3|/home/j\u00fcrgen\n2|/tmp\n", false));
  WriteFile(dir / "plain.ovs", "3|/home/j\xC3\xBCrgen\n2|/tmp");
  CheckedDirs expected = {{"/home/j\xC3\xBCrgen", DirCheck::kWithSubdirs},
                          {"/tmp", DirCheck::kAlone}};
  for (const char* name : {"u8.ovs", "u16.ovs", "u16nobom.ovs", "plain.ovs"}) {
    CheckedDirs sel;
    EXPECT_EQ(LoadSelection(dir / name, sel), TextReadStatus::kOk) << name;
    EXPECT_EQ(sel, expected) << name;
  }
}

TEST(SelectionFile, BadFilesGiveNoEntries) {
  TempDir dir;
  CheckedDirs sel = {{"/keep", DirCheck::kWithSubdirs}};
  EXPECT_EQ(LoadSelection(dir / "missing.ovs", sel), TextReadStatus::kMissing);
  EXPECT_EQ(LoadSelection(dir.path(), sel), TextReadStatus::kUnreadable);
  // Some other kind of file: NUL bytes and no line that names a directory.
  WriteFile(dir / "bin.ovs", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x01\x02\x03", 21));
  EXPECT_EQ(LoadSelection(dir / "bin.ovs", sel), TextReadStatus::kNotText);
  WriteFile(dir / "big.ovs", std::string(kMaxSelectionFileSize + 10, '3'));
  EXPECT_EQ(LoadSelection(dir / "big.ovs", sel), TextReadStatus::kTooLarge);
  EXPECT_EQ(sel, (CheckedDirs{{"/keep", DirCheck::kWithSubdirs}}));
  EXPECT_FALSE(SaveSelection(sel, dir / "no/such/dir.ovs"));
}

TEST(SelectionFile, ALineWithANulByteCostsThatLineAlone) {
  TempDir dir;
  WriteFile(dir / "u8.ovs", std::string("\xEF\xBB\xBF"
                                        "3|/home/ann\r\n2|/bad\0line\r\n\0\0\x01\r\n2|/srv\r\n",
                                        42));
  WriteFile(dir / "tail.ovs", std::string("3|/etc\n\0\0\x01\x02\x03", 12));
  WriteFile(dir / "u16.ovs",
            Utf16(std::u16string(u"3|/home/ann\r\n2|/bad\0line\r\n2|/srv\r\n", 34), true));
  CheckedDirs u8 = {{"/home/ann", DirCheck::kAlone}, {"/keep", DirCheck::kWithSubdirs}};
  EXPECT_EQ(LoadSelection(dir / "u8.ovs", u8), TextReadStatus::kOk);
  EXPECT_EQ(u8, (CheckedDirs{{"/home/ann", DirCheck::kWithSubdirs},
                             {"/keep", DirCheck::kWithSubdirs},
                             {"/srv", DirCheck::kAlone}}));
  CheckedDirs tail;
  EXPECT_EQ(LoadSelection(dir / "tail.ovs", tail), TextReadStatus::kOk);
  EXPECT_EQ(tail, (CheckedDirs{{"/etc", DirCheck::kWithSubdirs}}));
  CheckedDirs u16;
  EXPECT_EQ(LoadSelection(dir / "u16.ovs", u16), TextReadStatus::kOk);
  EXPECT_EQ(u16, (CheckedDirs{{"/home/ann", DirCheck::kWithSubdirs}, {"/srv", DirCheck::kAlone}}));
}

TEST(SelectionFile, PathsWithLineEndsAreNotWritten) {
  CheckedDirs sel = {
      {"/a\nb", DirCheck::kWithSubdirs}, {"/c\r", DirCheck::kAlone}, {"/ok", DirCheck::kAlone}};
  EXPECT_EQ(EncodeSelection(sel),
            "\xEF\xBB\xBF"
            "2|/ok\r\n");
}

}  // namespace
}  // namespace orvane
