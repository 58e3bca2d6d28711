#include "platform/desktop.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Puts fake xdg-open and xdg-email scripts first on PATH; each records its arguments.
class FakeDesktop : public ::testing::Test {
 protected:
  FakeDesktop() {
    const char* path = std::getenv("PATH");
    m_oldPath = path ? path : "";
    Script("xdg-open", "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/open.log\"\n");
    Script("xdg-email",
           "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/email.log\"\n"
           "[ -f \"$(dirname \"$0\")/fail\" ] && exit 3\nexit 0\n");
    setenv("PATH", (m_dir.path() + ":" + m_oldPath).c_str(), 1);
  }
  ~FakeDesktop() override { setenv("PATH", m_oldPath.c_str(), 1); }
  void Script(const std::string& name, const std::string& body) {
    WriteFile(m_dir / name, "#!/bin/sh\n" + body);
    chmod((m_dir / name).c_str(), 0755);
  }
  std::string WaitForLog(const std::string& name) {
    for (int i = 0; i < 200 && !std::filesystem::exists(m_dir / name); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return ReadFile(m_dir / name);
  }

  TempDir m_dir;
  std::string m_oldPath;
};

TEST_F(FakeDesktop, FindsProgramsOnPath) {
  EXPECT_EQ(FindProgram("xdg-email"), m_dir / "xdg-email");
  EXPECT_EQ(FindProgram("no-such-program-here"), "");
  EXPECT_EQ(FindProgram("sub/xdg-email"), "");
  WriteFile(m_dir / "plain", "not executable");
  EXPECT_EQ(FindProgram("plain"), "");
  EXPECT_TRUE(IsMailAvailable());
}

TEST_F(FakeDesktop, OpenIsStartedWithThePath) {
  EXPECT_TRUE(OpenWithDesktop("/srv/listing file.html"));
  EXPECT_EQ(WaitForLog("open.log"), "/srv/listing file.html\n");
  EXPECT_FALSE(LaunchDetached({"no-such-program-here"}));
  EXPECT_FALSE(LaunchDetached({}));
}

TEST_F(FakeDesktop, MailGetsSubjectAndAttachment) {
  EXPECT_TRUE(ComposeMail("Orvane listing", "/tmp/x/Listing.txt"));
  EXPECT_EQ(ReadFile(m_dir / "email.log"),
            "--subject\nOrvane listing\n--attach\n/tmp/x/Listing.txt\n");
  WriteFile(m_dir / "fail", "");
  EXPECT_FALSE(ComposeMail("s", "f"));
  EXPECT_EQ(RunAndWait({"no-such-program-here"}), 127);
  EXPECT_EQ(RunAndWait({"sh", "-c", "exit 5"}), 5);
}

TEST(Desktop, NoMailWithoutXdgEmail) {
  TempDir empty;
  const std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", empty.path().c_str(), 1);
  EXPECT_FALSE(IsMailAvailable());
  EXPECT_FALSE(ComposeMail("s", "f"));
  EXPECT_FALSE(OpenWithDesktop("/x"));
  setenv("PATH", old.c_str(), 1);
}

}  // namespace
}  // namespace orvane
