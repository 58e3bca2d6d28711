#include "platform/temp_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "app/delivery.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(TempFiles, ExclusiveCreation) {
  TempDir dir;
  EXPECT_EQ(CreateExclusiveFile(dir / "a"), CreateResult::kCreated);
  EXPECT_EQ(ModeOf(dir / "a"), 0600u);
  EXPECT_EQ(CreateExclusiveFile(dir / "a"), CreateResult::kExists);
  std::filesystem::create_symlink(dir / "target", dir / "link");
  EXPECT_EQ(CreateExclusiveFile(dir / "link"), CreateResult::kExists);
  EXPECT_FALSE(std::filesystem::exists(dir / "target"));
  EXPECT_EQ(CreateExclusiveFile(dir / "no/such"), CreateResult::kFailed);
}

TEST(TempFiles, ReplaceKeepsModeAndFollowsLinks) {
  TempDir dir;
  WriteFile(dir / "conf.ini", "old");
  chmod((dir / "conf.ini").c_str(), 0640);
  ASSERT_TRUE(ReplaceFileContent(dir / "conf.ini", "new"));
  EXPECT_EQ(ReadFile(dir / "conf.ini"), "new");
  EXPECT_EQ(ModeOf(dir / "conf.ini"), 0640u);
  std::filesystem::create_directories(dir / "real");
  WriteFile(dir / "real/s.ini", "old");
  std::filesystem::create_symlink("real/s.ini", dir / "s.ini");
  ASSERT_TRUE(ReplaceFileContent(dir / "s.ini", "via link"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "s.ini"));
  EXPECT_EQ(ReadFile(dir / "real/s.ini"), "via link");
  EXPECT_FALSE(ReplaceFileContent("", "x"));
}

TEST(TempFiles, MakeTempFileNamesAndMessages) {
  TempDir dir;
  std::vector<std::string> messages;
  auto sink = [&messages](const std::string& title, const std::string& text) {
    messages.push_back(title + ": " + text);
  };
  {
    CTempListing temp(dir.path());
    std::string first = temp.MakeTempFile(2, sink);
    EXPECT_EQ(first, dir / "OVN0001.txt");
    std::string second = temp.MakeTempFile(1, sink);
    EXPECT_EQ(second, dir / "OVN0001.html");
    EXPECT_FALSE(std::filesystem::exists(first));  // the predecessor goes
    EXPECT_EQ(ModeOf(second), 0600u);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "OVN0001.html"));  // and the last one at the end
  for (unsigned i = 1; i <= 100; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "OVN%04x.txt", i);
    WriteFile(dir / name, "");
  }
  CTempListing full(dir.path());
  EXPECT_EQ(full.MakeTempFile(0, sink), "");
  EXPECT_EQ(full.MakeTempFile(1, sink), dir / "OVN0001.html");
  CTempListing missing(dir / "gone");
  EXPECT_EQ(missing.MakeTempFile(0, sink), "");
  CTempListing tooLong(dir.path() + "/" + std::string(5000, 'x'));
  EXPECT_EQ(tooLong.MakeTempFile(0, sink), "");
  EXPECT_EQ(messages, (std::vector<std::string>{"Error: Couldn't create temporary filename!",
                                                "Error: Couldn't find temporary path!",
                                                "Error: Temporary folder too long!"}));
}

TEST(TempFiles, StaleFoldersOnly) {
  TempDir dir;
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  std::string fresh = MakePrivateFolder(dir.path(), "orvane-mail-");
  std::string old = MakePrivateFolder(dir.path(), "orvane-mail-");
  ASSERT_FALSE(fresh.empty());
  EXPECT_EQ(ModeOf(fresh), 0700u);
  WriteFile(old + "Listing.txt", "x");
  std::filesystem::create_directories(dir / "orvane-other");
  WriteFile(dir / "orvane-mail-file", "not a folder");
  test::Run("touch -d '3 days ago' '" + old + "' '" + (dir / "orvane-other") + "' '" +
            (dir / "orvane-mail-file") + "'");
  EXPECT_EQ(RemoveStaleFolders(dir.path(), "orvane-mail-", 86400, now), 1);
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_TRUE(std::filesystem::exists(fresh));
  EXPECT_TRUE(std::filesystem::exists(dir / "orvane-other"));
  EXPECT_TRUE(std::filesystem::exists(dir / "orvane-mail-file"));
  EXPECT_EQ(RemoveStaleFolders(dir / "missing", "orvane-mail-", 0, now), 0);
}

TEST(TempFiles, AnonymousFileLeavesNoNameAndCopiesItsBytesOut) {
  TempDir dir;
  {
    AnonymousFile file(dir.path() + "/");
    ASSERT_TRUE(file.IsOpen());
    WriteFile(file.Path(), "listing\r\nbytes");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    testing::internal::CaptureStdout();
    const bool copied = file.CopyToStdout();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "listing\r\nbytes");
    EXPECT_TRUE(copied);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_FALSE(AnonymousFile(dir / "missing/").IsOpen());
}

}  // namespace
}  // namespace orvane
