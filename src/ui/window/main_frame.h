// CMainFrame: Orvane's main window. The directory tree on the left, the option pages above
// the preview on the right, the menus, toolbar and status bar; it routes every command to the
// listing engine (GenerationController), the preview or itself.
//
// The options live in one COptionPages model that the pages edit; before each generation the
// model is applied to the listing options and the tree's ticks become the checked directories.
// Settings are loaded when the window is built and written when it closes. User-interface
// thread only.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/checked_dirs.h"
#include "settings/config_files.h"
#include "settings/language.h"
#include "settings/option_pages.h"
#include "ui/window/generation_controller.h"

class QAction;
class QCheckBox;
class QMenu;
class QPrinter;
class QSplitter;

namespace orvane {
class DirTreeView;
class FolderSource;
}  // namespace orvane

namespace orvane::ui {

class COptionsPane;
class OrvaneStatusBar;
class PreviewView;

// Where the window finds and keeps its files, and how it starts.
struct FrameSetup {
  std::string configPath;    // loaded at start: the /o file or the settings file ("": none)
  std::string settingsPath;  // written at close ("": never)
  std::string rememberedSelectionPath;
  std::string programFolder;             // quick configurations, help
  std::string tempFolder;                // temporary listings ("": $TMPDIR)
  std::string homeFolder;                // opened in the tree at start
  std::optional<CheckedDirs> selection;  // ticked at start instead of the remembered selection
  bool mailAvailable = false;            // the desktop can compose e-mail
  bool watchMounts = true;
  // Generate the preview at start when "Automatically refresh preview" is on.
  bool previewAtStart = true;
  std::shared_ptr<FolderSource> folders;  // the tree's folders (nullptr: the system's)
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(FrameSetup setup, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Asks the user for a file; nothing when cancelled. Tests replace the dialogs.
  using SaveDialog =
      std::function<std::optional<std::string>(const std::string& proposed, bool& openAfterSave)>;
  using MessageSink = std::function<void(const QString& title, const QString& text)>;
  void SetSaveDialog(SaveDialog dialog) { m_saveDialog = std::move(dialog); }
  void SetMessageSink(MessageSink sink) { m_messages = std::move(sink); }

  COptionPages& Pages() { return m_pages; }
  GenerationController& Controller() { return *m_gen; }
  PreviewView* Preview() const { return m_preview; }
  OrvaneStatusBar* Status() const { return m_status; }
  DirTreeView* Tree() const { return m_tree; }
  COptionsPane* OptionsPane() const { return m_options; }
  QAction* Action(int commandId) const;
  const std::string& DocumentPath() const { return m_docPath; }

  // The commands the menus run.
  void RefreshPreview();
  void SaveListing();
  void RunCommand(int commandId);
  // An option was edited (the pages, the tree or a loaded file): refreshes the preview when
  // "Automatically refresh preview" is on and nothing is being loaded.
  void OptionsChanged();
  // Loads a configuration file into the pages and refreshes; false when it could not be read.
  bool LoadConfiguration(const std::string& path);
  // Shows every text in the language name (a ".lng" file of the program folder), which is
  // kept as the settings' "Language"; false, changing nothing, when it cannot be loaded.
  bool SwitchLanguage(const std::string& name);
  const CLanguage& Language() const { return m_language; }
  QMenu* LanguageMenu() const { return m_languageMenu; }
  const CNamedSettings& NamedSettings() const { return m_named; }

 signals:
  // The preview shows a finished listing (or its loading failed).
  void previewReady(bool ok);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildPanes();
  QWidget* BuildTreePane();
  COptionsPane* MakeOptionsPane();
  void BuildCommands();
  void BuildQuickConfigurations(QMenu* file, QAction* before);
  void BuildLanguageMenu();
  void ConnectController();
  void UpdateCommandStates();
  void LoadStartSettings();
  void ApplyPlacement();
  void StorePlacement();
  void MakeJob(ListingJob& job);
  void ShowMessage(const QString& title, const QString& text);
  void SetStatusMessage(const QString& text);

  // Delivery (delivery_ui.cpp).
  void OnGenerationFinished(const GenerationResult& result);
  void SaveWithDialog();
  void PrintListing(bool preview);
  void PrintSetup();
  void SendListing();
  void OnPreviewLoaded(bool ok);
  void RunPrintJob(bool preview);
  QPrinter& Printer();

  // File commands (frame_files.cpp).
  QString Title(int commandId) const;
  void LoadConfigurationCommand();
  void SaveConfigurationCommand();
  void LoadSelectionCommand();
  void SaveSelectionCommand();
  void LoadStyleCommand();
  void SaveStyleCommand();
  void RefreshDirs();
  void OpenHelp();
  void OpenAddress(const std::string& address);
  void ContactSupport();
  void StartSplitMode();
  void ApplyColumnCommand(int column, int command);

  FrameSetup m_setup;
  COptionPages m_pages;
  CNamedSettings m_named;
  CProgramOptions m_program;
  GenerationController* m_gen = nullptr;
  DirTreeView* m_tree = nullptr;
  QCheckBox* m_withSubdirs = nullptr;
  COptionsPane* m_options = nullptr;
  PreviewView* m_preview = nullptr;
  OrvaneStatusBar* m_status = nullptr;
  QSplitter* m_mainSplitter = nullptr;
  QSplitter* m_rightSplitter = nullptr;
  std::map<int, QAction*> m_actions;
  std::vector<QAction*> m_quickActions;
  std::vector<std::string> m_quickNames;
  CLanguage m_language;
  QMenu* m_languageMenu = nullptr;
  std::vector<QAction*> m_languageActions;
  std::string m_docPath;
  std::unique_ptr<QPrinter> m_printer;
  SaveDialog m_saveDialog;
  MessageSink m_messages;
  bool m_bLoading = false;
  QString m_networkText;           // the tree's network text while it is shown
  QString m_messageBeforeNetwork;  // the message it took the place of
  bool m_bSplitMode = false;
  std::pair<int, int> m_splitStart;  // the splitters' sizes when the splitter mode began
  // What the preview does once the listing it loads has finished loading.
  enum class AfterLoad { kShow, kPrint, kPrintPreview } m_afterLoad = AfterLoad::kShow;
};

}  // namespace orvane::ui
