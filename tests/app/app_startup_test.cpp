#include "app/app_startup.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <sstream>

#include "app/delivery.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Call {
  CListingOptions options;
  CheckedDirs selection;
  int kind = 0;
  std::string output;
};

class Startup : public ::testing::Test {
 protected:
  Startup() {
    WriteFile(m_dir / "settings.ini", "[Settings]\n1391=0\n1517=1\n");
    m_settingsBefore = ReadFile(m_dir / "settings.ini");
    std::filesystem::create_directories(m_dir / "tmp");
    std::filesystem::create_directories(m_dir / "share");
    WriteFile(m_dir / "share/Quick one.ovc", "[Settings]\n1413=1\n");
    s.runListing = [this](const CListingOptions& o, const CheckedDirs& sel, int kind,
                          const std::string& output) {
      m_calls.push_back({o, sel, kind, output});
      if (m_result.ok && output != "-") WriteFile(output, "listing");  // "-": standard output
      return m_result;
    };
    s.openFile = [this](const std::string& path) {
      m_opened.push_back(path);
      return true;
    };
    s.mailAvailable = [this] { return m_mailAvailable; };
    s.sendMail = [this](const std::string& subject, const std::string& file) {
      m_mails.push_back(subject + "|" + file);
      return m_mailWorks;
    };
    s.settingsPath = m_dir / "settings.ini";
    s.programFolder = m_dir / "share/";
    s.tempFolder = m_dir / "tmp/";
    s.now = static_cast<std::int64_t>(std::time(nullptr));
    s.out = &m_out;
    s.err = &m_err;
    m_result.ok = true;
  }
  ~Startup() override {
    // A batch run never writes the settings file.
    EXPECT_EQ(ReadFile(m_dir / "settings.ini"), m_settingsBefore);
  }
  int Run(std::vector<std::string> args) { return RunOrvane(args, s); }

  TempDir m_dir;
  std::string m_settingsBefore;
  CStartupServices s;
  std::vector<Call> m_calls;
  std::vector<std::string> m_opened, m_mails;
  CListingResult m_result;
  bool m_mailAvailable = true, m_mailWorks = true;
  std::ostringstream m_out, m_err;
};

TEST_F(Startup, ListModeWithSettingsFileAndOpenAfterSave) {
  WriteFile(m_dir / "dirs.ovs",
            "\xEF\xBB\xBF"
            "3|/srv/music\r\n2|/srv\r\n");
  EXPECT_EQ(Run({"/l", m_dir / "dirs.ovs", m_dir / "out.txt"}), kExitOk) << m_err.str();
  ASSERT_EQ(m_calls.size(), 1u);
  EXPECT_EQ(m_calls[0].kind, kRequestSave);
  EXPECT_EQ(m_calls[0].output, m_dir / "out.txt");
  EXPECT_EQ(m_calls[0].selection,
            (CheckedDirs{{"/srv/music", DirCheck::kWithSubdirs}, {"/srv", DirCheck::kAlone}}));
  EXPECT_EQ(m_calls[0].options.m_bColumn[ColumnId::kSize], 0);  // from the settings file
  EXPECT_EQ(m_opened, std::vector<std::string>{m_dir / "out.txt"});
  EXPECT_EQ(m_err.str(), "");
}

TEST_F(Startup, StandardOutputIsNeverOpenedAfterSaving) {
  EXPECT_EQ(Run({"/l", m_dir.path(), "-"}), kExitOk) << m_err.str();
  ASSERT_EQ(m_calls.size(), 1u);
  EXPECT_EQ(m_calls[0].output, "-");
  EXPECT_TRUE(m_opened.empty());  // open-after-save (1517=1) has no file to open
}

TEST_F(Startup, ListColumnsPrintsTheColumnsWithoutListing) {
  EXPECT_EQ(Run({"--list-columns", "/l", m_dir.path(), "x.txt"}), kExitOk);
  EXPECT_TRUE(m_calls.empty());
  EXPECT_NE(m_out.str().find("\n 7  last-write-date "), std::string::npos);
}

TEST_F(Startup, ConfigurationReplacesSettingsAndQuickConfigurationsGoByName) {
  WriteFile(m_dir / "c.ovc", "[Settings]\n1414=1\n");
  std::filesystem::create_directories(m_dir / "photos");
  EXPECT_EQ(Run({"/o", m_dir / "c.ovc", "/l", m_dir / "photos", m_dir / "o.csv"}), kExitOk);
  EXPECT_EQ(m_calls.back().options.m_nOutputType, kOutputCsv);
  EXPECT_EQ(m_calls.back().options.m_bColumn[ColumnId::kSize], 1);  // settings file not read
  EXPECT_EQ(m_calls.back().selection, (CheckedDirs{{m_dir / "photos", DirCheck::kWithSubdirs}}));
  EXPECT_TRUE(m_opened.empty());
  EXPECT_EQ(Run({"/o", "Quick one", "/l", m_dir / "photos", m_dir / "o.html"}), kExitOk);
  EXPECT_EQ(m_calls.back().options.m_nOutputType, kOutputHtml);
}

TEST_F(Startup, FilesNamedOnTheCommandLineMustBeReadable) {
  std::filesystem::create_directories(m_dir / "d");
  EXPECT_EQ(Run({"/o", m_dir / "none", "/l", m_dir / "d", m_dir / "o.txt"}), kExitFailed);
  EXPECT_EQ(m_err.str(),
            "orvane: the configuration file \"" + (m_dir / "none.ovc") + "\" does not exist\n");
  m_err.str("");
  EXPECT_EQ(Run({"/l", m_dir / "none", m_dir / "o.txt"}), kExitFailed);
  EXPECT_EQ(m_err.str(),
            "orvane: the selection file \"" + (m_dir / "none.ovs") + "\" does not exist\n");
  WriteFile(m_dir / "bin.ovs", std::string("\0\x01\x02", 3));
  m_err.str("");
  EXPECT_EQ(Run({"/l", m_dir / "bin.ovs", m_dir / "o.txt"}), kExitFailed);
  EXPECT_NE(m_err.str().find("is not a text file"), std::string::npos) << m_err.str();
  EXPECT_TRUE(m_calls.empty());
  // A readable selection without entries lists nothing, and says so.
  WriteFile(m_dir / "empty.ovs", "\xEF\xBB\xBF");
  m_err.str("");
  EXPECT_EQ(Run({"/l", m_dir / "empty.ovs", m_dir / "o.txt"}), kExitOk);
  EXPECT_NE(m_err.str().find("names no directories"), std::string::npos);
  // A broken settings file is only worth a warning.
  WriteFile(m_dir / "settings.ini", std::string("\0\0", 2));
  m_settingsBefore = ReadFile(m_dir / "settings.ini");
  m_err.str("");
  EXPECT_EQ(Run({"/l", m_dir / "d", m_dir / "o.txt"}), kExitOk);
  EXPECT_NE(m_err.str().find("the settings file"), std::string::npos);
}

TEST_F(Startup, FailedAndCancelledListingsExitNonZero) {
  m_result = {false, false, "No space left on device"};
  EXPECT_EQ(Run({"/l", m_dir.path(), m_dir / "o.txt"}), kExitFailed);
  EXPECT_EQ(m_err.str(), "orvane: No space left on device\n");
  EXPECT_TRUE(m_opened.empty());
  m_result = {false, true, ""};
  m_err.str("");
  EXPECT_EQ(Run({"/l", m_dir.path(), m_dir / "o.txt"}), kExitFailed);
  EXPECT_EQ(m_err.str(), "orvane: the listing was cancelled\n");
}

TEST_F(Startup, RemoveSelectionOnlyWithoutOutput) {
  WriteFile(m_dir / "a.ovs", "3|/srv\n");
  EXPECT_EQ(Run({"/l", m_dir / "a.ovs", m_dir / "out.txt", "/r"}), kExitOk);
  EXPECT_TRUE(std::filesystem::exists(m_dir / "a.ovs"));
  EXPECT_EQ(Run({"/l", m_dir / "a.ovs", "/r"}), kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(m_dir / "a.ovs"));
  // A directory given as the selection is never removed.
  std::filesystem::create_directories(m_dir / "keep");
  EXPECT_EQ(Run({"/l", m_dir / "keep", "/r"}), kExitUsage);
  EXPECT_TRUE(std::filesystem::is_directory(m_dir / "keep"));
}

TEST_F(Startup, MailMode) {
  WriteFile(m_dir / "s.ini", "[Settings]\n1413=1\n");
  s.settingsPath = m_dir / "s.ini";
  EXPECT_EQ(Run({"/e", m_dir.path()}), kExitOk) << m_err.str();
  ASSERT_EQ(m_calls.size(), 1u);
  EXPECT_EQ(m_calls[0].kind, kRequestMail);
  const std::string& file = m_calls[0].output;
  EXPECT_EQ(file.rfind(m_dir / "tmp/orvane-mail-", 0), 0u);
  EXPECT_EQ(file.substr(file.size() - 13), "/Listing.html");
  EXPECT_EQ(m_mails, std::vector<std::string>{"Orvane listing|" + file});
  EXPECT_TRUE(std::filesystem::exists(file));  // kept for the mail program
  m_mailWorks = false;
  EXPECT_EQ(Run({"/e", m_dir.path()}), kExitFailed);
  EXPECT_EQ(m_err.str(), "orvane: Send Mail failed to send message.\n");
  m_mailAvailable = false;
  m_err.str("");
  EXPECT_EQ(Run({"/e", m_dir.path()}), kExitFailed);
  EXPECT_EQ(m_err.str(), "orvane: Unable to load mail system support.\n");
  EXPECT_EQ(m_calls.size(), 2u);  // no generation without a mail system
}

TEST_F(Startup, StaleAttachmentsGoAtTheNextStart) {
  EXPECT_EQ(Run({"/e", m_dir.path()}), kExitOk);
  const std::string folder = std::filesystem::path(m_calls[0].output).parent_path();
  s.now += 2 * kMailFolderMaxAge;
  EXPECT_EQ(Run({"/l", m_dir.path(), m_dir / "o.txt"}), kExitOk);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(Startup, ListModeWinsOverMailMode) {
  EXPECT_EQ(Run({"/e", m_dir.path(), "/l", m_dir / "b.txt"}), kExitOk);
  ASSERT_EQ(m_calls.size(), 1u);
  EXPECT_EQ(m_calls[0].kind, kRequestSave);
  EXPECT_EQ(m_calls[0].output, m_dir / "b.txt");
  EXPECT_TRUE(m_mails.empty());
}

// Without an output file a window build hands the run to the window with what it read; with
// one the run stays headless and /r keeps the selection file.
TEST_F(Startup, ListModeWithoutOutputGoesToTheWindow) {
  WriteFile(m_dir / "a.ovs", "3|/srv\n");
  std::vector<CListWindowStart> starts;
  std::optional<int> answer = 0;
  s.runListWindow = [&](const CListWindowStart& start) {
    starts.push_back(start);
    return answer;
  };
  s.applyBatchOptions = [](const std::vector<std::string>&, CListingOptions& o, std::string&) {
    o.m_nEncoding = kEncodingUtf16;
    return true;
  };
  EXPECT_EQ(Run({"/l", m_dir / "a.ovs", m_dir / "out.txt", "/r"}), kExitOk);
  EXPECT_TRUE(starts.empty());
  EXPECT_TRUE(std::filesystem::exists(m_dir / "a.ovs"));
  answer = kExitFailed;  // the window's status is the run's
  EXPECT_EQ(Run({"/l", m_dir / "a.ovs", "/r", "--encoding=utf-16"}), kExitFailed);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].configPath, m_dir / "settings.ini");
  EXPECT_EQ(starts[0].selection, (CheckedDirs{{"/srv", DirCheck::kWithSubdirs}}));
  EXPECT_EQ(starts[0].selectionFile, m_dir / "a.ovs");
  EXPECT_TRUE(starts[0].removeSelection);
  ASSERT_TRUE(starts[0].adjustOptions);
  CListingOptions adjusted;
  starts[0].adjustOptions(adjusted);
  EXPECT_EQ(adjusted.m_nEncoding, kEncodingUtf16);
  // The window removes the file itself, after its dialog; the start-up leaves it.
  EXPECT_TRUE(std::filesystem::exists(m_dir / "a.ovs"));
  EXPECT_EQ(m_calls.size(), 1u);
  // No display: the message says so, and the run ends as without the window.
  answer = std::nullopt;
  EXPECT_EQ(Run({"/l", m_dir / "a.ovs", "/r"}), kExitUsage);
  EXPECT_NE(m_err.str().find("no display for the save dialog"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(m_dir / "a.ovs"));
  EXPECT_EQ(starts.size(), 2u);
  EXPECT_FALSE(starts[1].adjustOptions);
}

TEST_F(Startup, InteractiveHelpVersionAndBatchOptions) {
  EXPECT_EQ(Run({}), kExitUsage);
  EXPECT_NE(m_err.str().find("window is not built yet"), std::string::npos);
  EXPECT_EQ(Run({"--help"}), kExitOk);
  EXPECT_NE(m_out.str().find("Usage: orvane"), std::string::npos);
  m_out.str("");
  EXPECT_EQ(Run({"--version"}), kExitOk);
  EXPECT_EQ(m_out.str(), "Orvane 1.0\n");
  m_err.str("");
  EXPECT_EQ(Run({"/l", m_dir.path(), m_dir / "o.txt", "--bogus"}), kExitUsage);
  EXPECT_EQ(m_err.str(), "orvane: unknown option --bogus\n");
  s.applyBatchOptions = [](const std::vector<std::string>& args, CListingOptions& o, std::string&) {
    o.m_nEncoding = args.size() == 1 ? kEncodingUtf16 : kEncodingAnsi;
    return true;
  };
  EXPECT_EQ(Run({"/l", m_dir.path(), m_dir / "o.txt", "--encoding=utf-16"}), kExitOk);
  EXPECT_EQ(m_calls.back().options.m_nEncoding, kEncodingUtf16);
  EXPECT_TRUE(m_calls.size() == 1u);
}

TEST(SessionOnClose, WritesOnlyInInteractiveRuns) {
  TempDir dir;
  COptionPages pages(0);
  CNamedSettings named;
  CheckedDirs sel = {{"/srv", DirCheck::kWithSubdirs}};
  EXPECT_TRUE(SaveSessionOnClose(true, pages, named, sel, dir / "s.ini", dir / "r.ovs"));
  EXPECT_FALSE(std::filesystem::exists(dir / "s.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir / "r.ovs"));
  EXPECT_TRUE(SaveSessionOnClose(false, pages, named, sel, dir / "s.ini", dir / "r.ovs"));
  EXPECT_NE(ReadFile(dir / "s.ini").find("1257=1"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "r.ovs"),
            "\xEF\xBB\xBF"
            "3|/srv\r\n");
  pages.SetCheck(kKeyRemember, 0);
  EXPECT_TRUE(SaveSessionOnClose(false, pages, named, {}, dir / "s.ini", dir / "r.ovs"));
  EXPECT_EQ(ReadFile(dir / "r.ovs"),
            "\xEF\xBB\xBF"
            "3|/srv\r\n");  // left as it was
  EXPECT_FALSE(SaveSessionOnClose(false, pages, named, {}, dir / "no/s.ini", ""));
}

}  // namespace
}  // namespace orvane
