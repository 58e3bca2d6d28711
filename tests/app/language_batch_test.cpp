// A batch run writes every text of its listing and its mail in the language of its
// configuration.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "app/app_startup.h"
#include "base/strings.h"
#include "engine/columns.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The moment of "Generated on" changes from run to run.
std::string WithoutMoment(const std::string& text) {
  static const std::regex moment("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}");
  return std::regex_replace(text, moment, "<now>");
}

class BatchLanguage : public ::testing::Test {
 protected:
  BatchLanguage() {
    WriteFile(m_dir / "tree/a.txt", "hello");
    WriteFile(m_dir / "tree/sub/b.txt", "x");
    std::filesystem::create_directories(m_dir / "tmp");
    s.runListing = [](const CListingOptions& o, const CheckedDirs& sel, int kind,
                      const std::string& output) {
      return RunListing(o, sel, static_cast<ListingRequest>(kind), output, false);
    };
    s.mailAvailable = [] { return true; };
    s.sendMail = [this](const std::string& subject, const std::string& file) {
      m_mails.push_back(subject + "|" + std::filesystem::path(file).filename().string());
      return true;
    };
    s.programFolder = std::string(ORVANE_SOURCE_DIR) + "/data/";
    s.tempFolder = m_dir / "tmp/";
    s.err = &m_err;
  }
  ~BatchLanguage() override {
    RestoreBuiltInTexts();
    for (ColumnId id : kAllColumns) SetColumnName(id, ColumnSpecOf(id).header);
  }
  // A text listing of the tree (names and sizes) in the configuration's language.
  std::string List(const std::string& language) {
    WriteFile(m_dir / "c.ovc", "[Settings]\nLanguage=" + language +
                                   "\n1366=0\n1388=0\n1390=0\n1215=0\n1403=0\n1514=1\n1519=1\n"
                                   "1415=1\n1520=0\n1281=12\n1282=8\n1220=0\n");
    EXPECT_EQ(RunOrvane({"/o", m_dir / "c.ovc", "/l", m_dir / "tree", m_dir / "out.txt"}, s),
              kExitOk)
        << m_err.str();
    return WithoutMoment(ReadFile(m_dir / "out.txt"));
  }

  TempDir m_dir;
  CStartupServices s;
  std::vector<std::string> m_mails;
  std::ostringstream m_err;
};

TEST_F(BatchLanguage, GermanListingHasGermanTitlesSummaryAndProgramLine) {
  // Names are cut to the name width of 12; the size column is 8 wide, counted in characters.
  const std::string top = m_dir.path().substr(0, 12);
  EXPECT_EQ(List("German"),
            "\xEF\xBB\xBF# Erstellt am <now> mit Orvane v1.0\r\n"
            "# Verzeichnisse: 2, Dateien: 2, Größe: 6 B\r\n"
            "Name            Größe\r\n" +
                top +
                "        6\r\n"
                "<sub>           <DIR>\r\n"
                "a                   5\r\n" +
                top +
                "        1\r\n"
                "b                   1\r\n");
  EXPECT_EQ(m_err.str(), "");
  // The same configuration in English afterwards: the built-in words again.
  const std::string english = List("English");
  EXPECT_EQ(english.substr(0, english.find(top)),
            "\xEF\xBB\xBF# Generated on <now> by Orvane v1.0\r\n"
            "# Directories: 2, Files: 2, Size: 6 B\r\n"
            "Name             Size\r\n");
}

TEST_F(BatchLanguage, FrenchHtmlListingNamesItsColumnsInFrench) {
  WriteFile(m_dir / "c.ovc", "[Settings]\nLanguage=French\n1413=1\n1519=1\n1415=1\n1514=1\n");
  ASSERT_EQ(RunOrvane({"/o", m_dir / "c.ovc", "/l", m_dir / "tree", m_dir / "out.html"}, s),
            kExitOk)
      << m_err.str();
  const std::string html = ReadFile(m_dir / "out.html");
  EXPECT_NE(html.find("Généré le "), std::string::npos);
  EXPECT_NE(html.find("Dossiers: 2, Fichiers: 2, Taille: "), std::string::npos);
  EXPECT_NE(html.find(">Nom<"), std::string::npos);
  EXPECT_EQ(html.find("Generated on"), std::string::npos);
}

TEST_F(BatchLanguage, MailSubjectAndAttachmentFollowTheLanguage) {
  WriteFile(m_dir / "c.ovc", "[Settings]\nLanguage=German\n");
  ASSERT_EQ(RunOrvane({"/o", m_dir / "c.ovc", "/e", m_dir / "tree"}, s), kExitOk) << m_err.str();
  EXPECT_EQ(m_mails, std::vector<std::string>{"Orvane-Verzeichnisliste|Verzeichnisliste.txt"});
}

TEST_F(BatchLanguage, WithoutConfigurationTheSettingsFileNamesTheLanguage) {
  WriteFile(m_dir / "Orvane.ini", "[Settings]\nLanguage=French\n1519=1\n");
  s.settingsPath = m_dir / "Orvane.ini";
  ASSERT_EQ(RunOrvane({"/l", m_dir / "tree", m_dir / "out.txt"}, s), kExitOk) << m_err.str();
  EXPECT_EQ(WithoutMoment(ReadFile(m_dir / "out.txt")).substr(0, 41),
            "\xEF\xBB\xBF# Généré le <now> par Orvane v1.0\r\n");
}

TEST_F(BatchLanguage, TheProgramFindsItsLanguagesInItsDataFolder) {
  WriteFile(m_dir / "config/Brenmoor/Orvane/Orvane.ini",
            "[Settings]\nLanguage=German\n1519=1\n1514=1\n");
  std::string command = "XDG_CONFIG_HOME='" + (m_dir / "config") + "' '" ORVANE_BINARY "' -l '" +
                        (m_dir / "tree") + "' - 2>&1";
  std::string out;
  ASSERT_EQ(test::Run(command, &out), 0) << out;
  EXPECT_NE(out.find("# Erstellt am "), std::string::npos) << out;
  EXPECT_NE(out.find("Verzeichnisse: 2, Dateien: 2, Größe: "), std::string::npos) << out;
}

TEST_F(BatchLanguage, AnUnknownLanguageWarnsAndListsInEnglish) {
  const std::string listing = List("Klingon");
  EXPECT_NE(listing.find("# Generated on <now> by Orvane"), std::string::npos);
  EXPECT_EQ(m_err.str(),
            "orvane: warning: the language file \"Klingon.lng\" does not exist; the texts stay "
            "in English\n");
}

}  // namespace
}  // namespace orvane
