#include "app/command_line.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

// A file system with the folders /srv, /etc and /srv/photos and the file /lib.
PathKind FakeProbe(const std::string& path) {
  if (path == "/srv" || path == "/etc" || path == "/srv/photos" || path == "music")
    return PathKind::kDirectory;
  if (path == "/lib") return PathKind::kRegular;
  return PathKind::kMissing;
}

COvCmdLineInfo Parse(std::vector<std::string> args) {
  return ParseCommandLine(args, FakeProbe);
}

TEST(CommandLine, OptionsFileGetsItsExtensionOnlyWithoutAnyDot) {
  EXPECT_EQ(Parse({"/o", "myconf"}).m_strOptionsFile, "myconf.ovc");
  EXPECT_EQ(Parse({"/o", "my.conf"}).m_strOptionsFile, "my.conf");
  EXPECT_EQ(Parse({"/o", "old.dir/myconf"}).m_strOptionsFile, "old.dir/myconf");
  COvCmdLineInfo info = Parse({"-o", "a", "b"});
  EXPECT_TRUE(info.m_bOptionsFile);
  EXPECT_EQ(info.m_strOptionsFile, "b.ovc");  // each parameter replaces the last
  EXPECT_FALSE(info.BatchMode());
}

TEST(CommandLine, FullForm) {
  COvCmdLineInfo info =
      Parse({"/o", "settings.ovc", "/l", "dirs.ovs", "/home/ann/out/listing.html"});
  EXPECT_TRUE(info.m_bOptionsFile);
  EXPECT_TRUE(info.m_bListMode);
  EXPECT_EQ(info.m_strOptionsFile, "settings.ovc");
  EXPECT_EQ(info.m_strSelectionFile, "dirs.ovs");
  EXPECT_EQ(info.m_strOutputFile, "/home/ann/out/listing.html");
}

TEST(CommandLine, ListModeParameters) {
  COvCmdLineInfo info = Parse({"/l", "a", "b", "c"});
  EXPECT_EQ(info.m_strSelectionFile, "a.ovs");
  EXPECT_EQ(info.m_strOutputFile, "c");
  info = Parse({"/l", "dirs", "/r"});
  EXPECT_EQ(info.m_strSelectionFile, "dirs.ovs");
  EXPECT_TRUE(info.m_bRemoveSelection);
  EXPECT_TRUE(info.m_strOutputFile.empty());
  info = Parse({"/l", "a.ovs", "/r", "out.txt"});  // r keeps the state
  EXPECT_EQ(info.m_strOutputFile, "out.txt");
  info = Parse({"/e", "dirs.ovs"});
  EXPECT_TRUE(info.m_bMailMode);
  EXPECT_EQ(info.m_strSelectionFile, "dirs.ovs");
  info = Parse({"/e", "a.ovs", "/l", "b.ovs"});
  EXPECT_TRUE(info.m_bMailMode);
  EXPECT_TRUE(info.m_bListMode);
  EXPECT_EQ(info.m_strSelectionFile, "a.ovs");
  EXPECT_EQ(info.m_strOutputFile, "b.ovs");
}

TEST(CommandLine, SwitchesAndParameters) {
  COvCmdLineInfo info = Parse({"before", "/x", "/L", "/list", "sel", "-e"});
  EXPECT_TRUE(info.m_bListMode);  // /list acts as /l
  EXPECT_TRUE(info.m_bMailMode);
  EXPECT_EQ(info.m_strSelectionFile, "sel.ovs");
  info = Parse({"/L", "x"});
  EXPECT_FALSE(info.m_bListMode);
  EXPECT_TRUE(info.m_strSelectionFile.empty());
  // Paths starting with "/" are parameters unless the rest is letters alone.
  info = Parse({"/l", "/home/ann/dirs.ovs", "/tmp/out.html"});
  EXPECT_EQ(info.m_strSelectionFile, "/home/ann/dirs.ovs");
  EXPECT_EQ(info.m_strOutputFile, "/tmp/out.html");
  info = Parse({"/l", "/", "/o2"});
  EXPECT_EQ(info.m_strSelectionFile, "/.ovs");
  EXPECT_EQ(info.m_strOutputFile, "/o2");
  // "/word" that names an existing file or folder is a path, not a switch.
  info = Parse({"/l", "/etc", "/lib"});
  EXPECT_FALSE(info.m_bMailMode);
  EXPECT_EQ(info.m_strSelectionFile, "/etc");
  EXPECT_EQ(info.m_strOutputFile, "/lib");
  info = Parse({"/o", "/opt", "/l", "/srv"});  // /opt does not exist here: a switch
  EXPECT_TRUE(info.m_strOptionsFile.empty());
  EXPECT_EQ(info.m_strSelectionFile, "/srv");
  std::string text;
  EXPECT_TRUE(SplitSwitch("/list", text));
  EXPECT_EQ(text, "list");
  EXPECT_FALSE(SplitSwitch("/", text));
  EXPECT_FALSE(SplitSwitch("/l1", text));
  EXPECT_FALSE(SplitSwitch("-", text));  // a dash alone is a parameter: standard output
  EXPECT_FALSE(SplitSwitch("", text));
}

TEST(CommandLine, DirectoryAsSelection) {
  EXPECT_EQ(Parse({"/l", "/srv/photos", "out.txt"}).m_strSelectionFile, "/srv/photos");
  EXPECT_EQ(Parse({"/l", "music"}).m_strSelectionFile, "music");
  EXPECT_EQ(Parse({"/l", "other"}).m_strSelectionFile, "other.ovs");
}

TEST(CommandLine, LongOptions) {
  COvCmdLineInfo info = Parse({"--help", "--version", "--type=html", "--", "/l", "x"});
  EXPECT_TRUE(info.m_bHelp);
  EXPECT_TRUE(info.m_bVersion);
  EXPECT_EQ(info.m_batchOptions, std::vector<std::string>{"--type=html"});
  EXPECT_TRUE(info.m_bListMode);
  EXPECT_FALSE(UsageText().empty());
}

TEST(CommandLine, ADashAloneIsTheOutputAndListColumnsIsNoBatchOption) {
  COvCmdLineInfo info = Parse({"-l", "music", "-", "--list-columns", "--sort=-size"});
  EXPECT_EQ(info.m_strSelectionFile, "music");
  EXPECT_EQ(info.m_strOutputFile, "-");
  EXPECT_TRUE(info.m_bListColumns);
  EXPECT_EQ(info.m_batchOptions, std::vector<std::string>{"--sort=-size"});
}

}  // namespace
}  // namespace orvane
