#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/user_folders.h"
#include "settings/config_files.h"
#include "settings/selection_file.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::TempDir;
using test::WriteFile;

class Env {
 public:
  Env(const char* name, const char* value) : m_name(name) {
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (old) m_old = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~Env() {
    if (m_had)
      setenv(m_name.c_str(), m_old.c_str(), 1);
    else
      unsetenv(m_name.c_str());
  }

 private:
  std::string m_name, m_old;
  bool m_had = false;
};

TEST(UserFolders, ConfigHomeOrHome) {
  TempDir dir;
  {
    Env xdg("XDG_CONFIG_HOME", (dir / "cfg").c_str());
    EXPECT_EQ(GetUserFolder(), dir / "cfg/Brenmoor/Orvane/");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "cfg/Brenmoor/Orvane"));
    EXPECT_EQ(GetSettingsPath(), dir / "cfg/Brenmoor/Orvane/Orvane.ini");
    EXPECT_EQ(GetRememberedSelectionPath(),
              dir / ("cfg/Brenmoor/Orvane/" + GetProgramBaseName() + ".ovs"));
  }
  {
    Env xdg("XDG_CONFIG_HOME", (dir / "look").c_str());
    EXPECT_EQ(GetUserFolder(false), dir / "look/Brenmoor/Orvane/");
    EXPECT_EQ(GetSettingsPath(false), dir / "look/Brenmoor/Orvane/Orvane.ini");
    EXPECT_FALSE(std::filesystem::exists(dir / "look"));
  }
  {
    std::filesystem::create_directories(dir / "home");  // ~/.config itself is made when missing
    Env xdg("XDG_CONFIG_HOME", "relative/ignored");
    Env home("HOME", (dir / "home").c_str());
    EXPECT_EQ(GetUserFolder(), dir / "home/.config/Brenmoor/Orvane/");
  }
  {
    Env xdg("XDG_CONFIG_HOME", nullptr);
    Env home("HOME", nullptr);
    EXPECT_EQ(GetUserFolder(), "");
    EXPECT_EQ(GetSettingsPath(), "");
  }
  {
    WriteFile(dir / "blocked/Brenmoor", "a file where the folder should be");
    Env xdg("XDG_CONFIG_HOME", (dir / "blocked").c_str());
    EXPECT_EQ(GetUserFolder(), "");
  }
}

TEST(UserFolders, PathQuestions) {
  TempDir dir;
  WriteFile(dir / "a.ovc", "");
  WriteFile(dir / "b.OVC", "");
  WriteFile(dir / "c.txt", "");
  std::filesystem::create_directories(dir / "d.ovc");
  EXPECT_EQ(ListFilesWithExtension(dir.path(), ".ovc"),
            (std::vector<std::string>{"a.ovc", "b.OVC"}));
  EXPECT_EQ(GetPathKind(dir / "a.ovc"), PathKind::kRegular);
  EXPECT_EQ(GetPathKind(dir / "d.ovc"), PathKind::kDirectory);
  EXPECT_EQ(GetPathKind(dir / "nothing"), PathKind::kMissing);
  EXPECT_EQ(GetPathKind("/dev/null"), PathKind::kOther);
  EXPECT_EQ(AbsolutePath("/srv/./a/../b/"), "/srv/b");
  EXPECT_EQ(AbsolutePath("/"), "/");
  EXPECT_EQ(AbsolutePath("x").front(), '/');
  EXPECT_TRUE(RemoveRegularFile(dir / "c.txt"));
  EXPECT_FALSE(RemoveRegularFile(dir / "d.ovc"));
  EXPECT_FALSE(RemoveRegularFile(dir / "c.txt"));
  EXPECT_FALSE(GetProgramBaseName().empty());
  // The build tree holds the data folder next to the programs.
  EXPECT_FALSE(ListFilesWithExtension(GetProgramFolder(), ".ovc").empty());
}

}  // namespace
}  // namespace orvane
