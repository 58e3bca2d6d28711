#include "platform/shell_integration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

namespace fs = std::filesystem;

constexpr const char* kKde = "data/kio/servicemenus/org.brenmoor.Orvane.listing.desktop";
constexpr const char* kNautilus = "data/nautilus/scripts/Orvane listing";
constexpr const char* kThunar = "config/Thunar/uca.xml";

// A user's own actions, written the way Thunar writes them.
constexpr const char* kUserActions =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<icon>utilities-terminal</"
    "icon>\n\t<name>Open Terminal Here</name>\n\t<unique-id>1700000000000001-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f --launch TerminalEmulator</command>\n"
    "\t<description>Example for a custom action</description>\n\t<patterns>*</patterns>\n"
    "\t<startup-notify/>\n\t<directories/>\n</action>\n</actions>\n";

struct Home {
  TempDir dir;
  ShellPlaces places{dir / "data", dir / "config", {dir / "etc-xdg"}};
  void Folders(bool kde, bool nautilus, bool thunar) const {
    if (kde) fs::create_directories(dir / "data/kio/servicemenus");
    if (nautilus) fs::create_directories(dir / "data/nautilus/scripts");
    if (thunar) fs::create_directories(dir / "config/Thunar");
  }
  bool Exists(const char* rel) const { return fs::exists(dir / rel); }
};

bool IsExecutable(const std::string& path) {
  return access(path.c_str(), X_OK) == 0;
}

TEST(ShellIntegration, NothingIsAddedWhereNoFileManagerKeepsItsFolder) {
  Home home;
  fs::create_directories(home.dir / "data");
  const ShellIntegrationResult result = InstallShellIntegration("/usr/bin/orvane", home.places);
  EXPECT_TRUE(result.changed.empty());
  EXPECT_TRUE(result.failed.empty());
  EXPECT_FALSE(home.Exists("data/kio"));
  EXPECT_FALSE(home.Exists("data/nautilus"));
  EXPECT_FALSE(home.Exists("config"));
  EXPECT_TRUE(RemoveShellIntegration(home.places).changed.empty());
}

TEST(ShellIntegration, EachFileManagerGetsTheEntryAndLosesExactlyItAgain) {
  Home home;
  home.Folders(true, true, true);
  WriteFile(home.dir / kThunar, kUserActions);
  const ShellIntegrationResult added = InstallShellIntegration("/opt/My Apps/orvane", home.places);
  EXPECT_EQ(added.changed,
            (std::vector{FileManager::kKde, FileManager::kNautilus, FileManager::kThunar}));
  EXPECT_TRUE(added.failed.empty());

  const std::string menu = ReadFile(home.dir / kKde);
  EXPECT_NE(menu.find("MimeType=inode/directory;"), std::string::npos);
  EXPECT_NE(menu.find("Name=Orvane listing"), std::string::npos);
  EXPECT_NE(menu.find("Exec=\"/opt/My Apps/orvane\" /l %f\n"), std::string::npos);
  EXPECT_TRUE(IsExecutable(home.dir / kKde));  // KDE runs only executable service menus
  EXPECT_TRUE(IsExecutable(home.dir / kNautilus));
  const std::string uca = ReadFile(home.dir / kThunar);
  EXPECT_EQ(uca.find("<name>Open Terminal Here</name>"), uca.find("<name>"));  // user's first
  EXPECT_NE(uca.find("<command>'/opt/My Apps/orvane' /l %f</command>"), std::string::npos);
  EXPECT_EQ(uca.substr(uca.size() - 11), "</actions>\n");

  // Renewing keeps one entry.
  InstallShellIntegration("/opt/My Apps/orvane", home.places);
  const std::string again = ReadFile(home.dir / kThunar);
  EXPECT_EQ(again.find("orvane-listing"), again.rfind("orvane-listing"));

  const ShellIntegrationResult removed = RemoveShellIntegration(home.places);
  EXPECT_EQ(removed.changed.size(), 3u);
  EXPECT_FALSE(home.Exists(kKde));
  EXPECT_FALSE(home.Exists(kNautilus));
  EXPECT_EQ(ReadFile(home.dir / kThunar), kUserActions);
  EXPECT_TRUE(home.Exists("data/kio/servicemenus"));  // the folders were the file managers'
}

TEST(ShellIntegration, TheNautilusScriptListsEachSelectedFolderWithTheProgram) {
  Home home;
  home.Folders(false, true, false);
  // A stand-in for the program, in a folder whose name needs quoting, that notes its arguments.
  const std::string program = home.dir / "it's here/orvane";
  WriteFile(program, "#!/bin/sh\nprintf '%s|' \"$@\" >> \"$(dirname \"$0\")/calls\"\n");
  chmod(program.c_str(), 0755);
  InstallShellIntegration(program, home.places);
  fs::create_directories(home.dir / "Some folder");
  WriteFile(home.dir / "a file", "x");
  const std::string command =
      "cd '" + home.dir.path() + "' && sh '" + (home.dir / kNautilus) + "' 'Some folder' 'a file'";
  ASSERT_EQ(test::Run(command), 0);
  const std::string calls = home.dir / "it's here/calls";
  for (int i = 0; i < 100 && !fs::exists(calls); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReadFile(calls), "/l|Some folder|");
}

TEST(ShellIntegration, AUcaFileOrvaneCreatedGoesAgainWithItsEntry) {
  Home home;
  home.Folders(false, false, true);
  // Without a file of the user's, Thunar's own actions of the system come along, so adding the
  // entry does not hide them.
  WriteFile(home.dir / "etc-xdg/Thunar/uca.xml", kUserActions);
  InstallShellIntegration("/usr/bin/orvane", home.places);
  const std::string uca = ReadFile(home.dir / kThunar);
  EXPECT_NE(uca.find("Open Terminal Here"), std::string::npos);
  EXPECT_NE(uca.find("orvane-listing"), std::string::npos);
  RemoveShellIntegration(home.places);
  EXPECT_FALSE(home.Exists(kThunar));

  // An action the user added meanwhile keeps the file, without Orvane's entry.
  fs::remove(home.dir / "etc-xdg/Thunar/uca.xml");
  InstallShellIntegration("/usr/bin/orvane", home.places);
  std::string edited = ReadFile(home.dir / kThunar);
  const std::string mine = "<action>\n\t<name>Mine</name>\n</action>\n";
  edited.insert(edited.find("<action>"), mine);
  WriteFile(home.dir / kThunar, edited);
  RemoveShellIntegration(home.places);
  EXPECT_EQ(ReadFile(home.dir / kThunar),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + mine + "</actions>\n");
}

TEST(ShellIntegration, FilesThatAreNotOrvanesAreLeftAlone) {
  Home home;
  home.Folders(true, true, true);
  WriteFile(home.dir / kKde, "[Desktop Entry]\nType=Service\n");
  WriteFile(home.dir / kNautilus, "#!/bin/sh\necho mine\n");
  WriteFile(home.dir / kThunar, "<?xml version=\"1.0\"?>\n<broken>\n");
  EXPECT_TRUE(RemoveShellIntegration(home.places).changed.empty());
  EXPECT_TRUE(home.Exists(kKde));
  EXPECT_TRUE(home.Exists(kNautilus));
  // A uca.xml that is no list of actions is not rewritten.
  const ShellIntegrationResult added = InstallShellIntegration("/usr/bin/orvane", home.places);
  EXPECT_EQ(added.failed, std::vector{FileManager::kThunar});
  EXPECT_EQ(ReadFile(home.dir / kThunar), "<?xml version=\"1.0\"?>\n<broken>\n");
  EXPECT_FALSE(home.Exists("config/Thunar/uca.xml.orvane-new"));
}

}  // namespace
}  // namespace orvane
