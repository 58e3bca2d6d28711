#include "app/app_startup.h"

#include <ctime>
#include <iostream>

#include "app/batch_options.h"
#include "app/command_line.h"
#include "app/delivery.h"
#include "base/strings.h"
#include "platform/desktop.h"
#include "platform/net_provider.h"
#include "platform/temp_files.h"
#include "platform/user_folders.h"
#include "settings/config_files.h"
#include "settings/language.h"
#include "settings/option_pages.h"

namespace orvane {
namespace {

class Run {
 public:
  Run(const COvCmdLineInfo& info, const CStartupServices& s) : m_info(info), m_s(s) {}
  int Execute();

 private:
  void Say(const std::string& text) const {
    if (m_s.err) *m_s.err << "orvane: " << text << "\n" << std::flush;
  }
  std::string ConfigurationPath() const;
  // False (after a message) when a file the command line names cannot be read.
  bool LoadConfiguration();
  // Every text the listing and the mail take in the language of the configuration.
  void LoadLanguageTexts() const;
  bool LoadBatchSelection(CheckedDirs& selection) const;
  int ListMode(const CheckedDirs& selection);
  CListWindowStart ListWindowStart(const CheckedDirs& selection) const;
  int MailMode(const CheckedDirs& selection);
  // The exit status of a finished generation (a message on failure).
  int Finished(const CListingResult& result, const std::string& target) const;

  const COvCmdLineInfo& m_info;
  const CStartupServices& m_s;
  COptionPages m_pages{0};
  CNamedSettings m_named;
  CListingOptions m_options;
};

std::string Run::ConfigurationPath() const {
  if (!m_info.m_bOptionsFile) return m_s.settingsPath;
  const std::string& file = m_info.m_strOptionsFile;
  // A quick configuration of the program's folder may be named by its name alone.
  if (GetPathKind(file) == PathKind::kMissing && file.find('/') == std::string::npos) {
    std::string name = file;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ovc") == 0)
      name.resize(name.size() - 4);
    std::string quick = FindQuickConfiguration(m_s.programFolder, name);
    if (!quick.empty()) return quick;
  }
  return file;
}

bool Run::LoadConfiguration() {
  m_pages = COptionPages(m_s.now);
  const std::string path = ConfigurationPath();
  if (!path.empty()) {
    CLoadContext context;
    context.m_bBatchMode = m_info.BatchMode();
    TextReadStatus status = LoadOptions(path, m_pages, m_named, context);
    if (status != TextReadStatus::kOk && m_info.m_bOptionsFile) {
      // A listing with other options than the ones asked for is not what the caller wants.
      Say("the configuration file \"" + path + "\" " + DescribeReadStatus(status));
      return false;
    }
    // A first run has no settings file yet; that is not worth a word.
    if (status != TextReadStatus::kOk && status != TextReadStatus::kMissing)
      Say("the settings file \"" + path + "\" " + DescribeReadStatus(status) +
          "; the options keep their defaults");
  }
  CProgramOptions program;
  m_pages.Apply(m_options, program, m_s.now);
  LoadLanguageTexts();
  return true;
}

void Run::LoadLanguageTexts() const {
  const std::string& name = m_named.m_strLanguage;
  CLanguage language;
  TextReadStatus status = LoadLanguage(m_s.programFolder, name, language);
  // English needs no file: the built-in texts are English.
  if (status == TextReadStatus::kOk ||
      (status == TextReadStatus::kMissing && name == kDefaultLanguage))
    return;
  Say("warning: the language file \"" + name + kLanguageExtension + "\" " +
      DescribeReadStatus(status) + "; the texts stay in English");
}

bool Run::LoadBatchSelection(CheckedDirs& selection) const {
  const std::string& file = m_info.m_strSelectionFile;
  if (IsNetworkPath(file)) {
    selection[CanonicalNetworkPath(file)] = DirCheck::kWithSubdirs;
    return true;
  }
  if (GetPathKind(file) == PathKind::kDirectory) {
    selection[AbsolutePath(file)] = DirCheck::kWithSubdirs;
    return true;
  }
  TextReadStatus status = LoadSelection(file, selection);
  if (status != TextReadStatus::kOk) {
    Say("the selection file \"" + file + "\" " + DescribeReadStatus(status));
    return false;
  }
  if (selection.empty()) Say("the selection file \"" + file + "\" names no directories");
  return true;
}

int Run::Finished(const CListingResult& result, const std::string& target) const {
  if (result.cancelled) {
    Say("the listing was cancelled");
    return kExitFailed;
  }
  if (!result.ok) {
    Say(result.error.empty() ? "the listing could not be written to \"" + target + "\""
                             : result.error);
    return kExitFailed;
  }
  return kExitOk;
}

int Run::ListMode(const CheckedDirs& selection) {
  if (m_info.m_strOutputFile.empty()) {
    if (m_s.runListWindow) {
      if (std::optional<int> status = m_s.runListWindow(ListWindowStart(selection))) return *status;
    }
    // The save dialog needs the window; without it the run ends as if the dialog had been
    // cancelled, and /r still removes the selection file.
    if (m_info.m_bRemoveSelection && GetPathKind(m_info.m_strSelectionFile) == PathKind::kRegular)
      RemoveRegularFile(m_info.m_strSelectionFile);
    Say(m_s.runListWindow ? "no output file given, and there is no display for the save dialog "
                            "(name an OUTPUT file to list without the window)"
                          : "no output file given; without the window there is no save dialog");
    return kExitUsage;
  }
  const std::string& output = m_info.m_strOutputFile;
  int status = Finished(m_s.runListing(m_options, selection, kRequestSave, output), output);
  // A listing sent to standard output is no file the desktop could open.
  if (status == kExitOk && output != "-" && m_named.m_bOpenAfterSave && m_s.openFile &&
      !m_s.openFile(AbsolutePath(output)))
    Say("the listing could not be opened with xdg-open");
  return status;
}

CListWindowStart Run::ListWindowStart(const CheckedDirs& selection) const {
  CListWindowStart start;
  start.configPath = ConfigurationPath();
  start.selection = selection;
  start.selectionFile = m_info.m_strSelectionFile;
  start.removeSelection = m_info.m_bRemoveSelection;
  if (!m_info.m_batchOptions.empty() && m_s.applyBatchOptions) {
    // They were checked once already, before the selection was read.
    start.adjustOptions = [apply = m_s.applyBatchOptions,
                           given = m_info.m_batchOptions](CListingOptions& options) {
      std::string error;
      apply(given, options, error);
    };
  }
  return start;
}

int Run::MailMode(const CheckedDirs& selection) {
  if (!m_s.mailAvailable || !m_s.mailAvailable()) {
    Say(MessageText(61840));
    return kExitFailed;
  }
  const std::string attachment = MakeMailAttachmentPath(m_options.m_nOutputType, m_s.tempFolder);
  if (attachment.empty()) {
    Say(kNoTempName);
    return kExitFailed;
  }
  int status = Finished(m_s.runListing(m_options, selection, kRequestMail, attachment), attachment);
  if (status != kExitOk) return status;
  if (!m_s.sendMail || !m_s.sendMail(MessageText(32815), attachment)) {
    Say(MessageText(61842));
    return kExitFailed;
  }
  return kExitOk;
}

int Run::Execute() {
  if (!m_info.BatchMode() && m_s.runWindow) return m_s.runWindow(ConfigurationPath());
  if (!m_info.BatchMode()) {
    Say("the window is not built yet; use /l or /e to make a listing without it (see --help)");
    return kExitUsage;
  }
  if (!m_s.tempFolder.empty()) RemoveStaleMailAttachments(m_s.tempFolder, m_s.now);
  if (!LoadConfiguration()) return kExitFailed;
  if (!m_info.m_batchOptions.empty()) {
    std::string error = "unknown option " + m_info.m_batchOptions.front();
    if (!m_s.applyBatchOptions || !m_s.applyBatchOptions(m_info.m_batchOptions, m_options, error)) {
      Say(error);
      return kExitUsage;
    }
  }
  CheckedDirs selection;
  if (!LoadBatchSelection(selection)) return kExitFailed;
  if (!m_s.runListing) {
    Say("no listing engine is available");
    return kExitFailed;
  }
  // The modes are exclusive in this order: list, then mail.
  return m_info.m_bListMode ? ListMode(selection) : MailMode(selection);
}

}  // namespace

CStartupServices DefaultStartupServices() {
  CStartupServices s;
  s.openFile = [](const std::string& path) { return OpenWithDesktop(path); };
  s.mailAvailable = [] { return IsMailAvailable(); };
  s.sendMail = [](const std::string& subject, const std::string& file) {
    return ComposeMail(subject, file);
  };
  s.settingsPath = GetSettingsPath(false);  // only read here: nothing is created
  s.programFolder = GetProgramFolder();
  s.tempFolder = GetTempFolder();
  s.now = static_cast<std::int64_t>(std::time(nullptr));
  s.out = &std::cout;
  s.err = &std::cerr;
  return s;
}

bool SaveSessionOnClose(bool batchMode, const COptionPages& pages, const CNamedSettings& named,
                        const CheckedDirs& selection, const std::string& settingsPath,
                        const std::string& rememberedSelectionPath) {
  if (batchMode) return true;
  bool ok = settingsPath.empty() || SaveOptions(settingsPath, true, pages, named);
  if (pages.Check(kKeyRemember) && !rememberedSelectionPath.empty())
    ok = SaveSelection(selection, rememberedSelectionPath) && ok;
  return ok;
}

int RunOrvane(const std::vector<std::string>& args, const CStartupServices& services) {
  COvCmdLineInfo info = ParseCommandLine(args, GetPathKind);
  if (info.m_bHelp) {
    if (services.out) *services.out << UsageText() << services.moreHelp;
    return kExitOk;
  }
  if (info.m_bVersion) {
    if (services.out) *services.out << kProgramName << " " << ORVANE_VERSION << "\n";
    return kExitOk;
  }
  if (info.m_bListColumns) {
    if (services.out) *services.out << ColumnListText();
    return kExitOk;
  }
  return Run(info, services).Execute();
}

}  // namespace orvane
