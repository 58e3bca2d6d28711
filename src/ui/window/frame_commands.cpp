// The main window's menus, toolbar and shortcuts, built from the command table, and the
// dispatch of their commands.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QWhatsThis>

#include <functional>
#include <map>

#include "base/strings.h"
#include "settings/commands.h"
#include "ui/tree/dir_tree_view.h"
#include "ui/window/about_dialog.h"
#include "ui/window/language_walk.h"
#include "ui/window/main_frame.h"
#include "ui/window/preview_view.h"

namespace orvane::ui {
namespace {

// The toolbar picture of a command: the desktop theme's icon, else one of the style's own.
QIcon CommandIcon(int id, QStyle* style) {
  struct Pick {
    int id;
    const char* theme;
    QStyle::StandardPixmap fallback;
  };
  static const Pick picks[] = {
      {kCmdSaveListing, "document-save", QStyle::SP_DialogSaveButton},
      {kCmdPrintListing, "document-print", QStyle::SP_FileDialogDetailedView},
      {kCmdSendListing, "mail-send", QStyle::SP_ArrowForward},
      {kCmdCopyListing, "edit-copy", QStyle::SP_FileDialogContentsView},
      {kCmdRefreshListing, "view-refresh", QStyle::SP_BrowserReload},
      {kCmdCancel, "process-stop", QStyle::SP_BrowserStop},
      {kCmdHelpTopics, "help-contents", QStyle::SP_MessageBoxQuestion},
      {kCmdVisitHomepage, "go-home", QStyle::SP_DirHomeIcon},
      {kCmdExit, "application-exit", QStyle::SP_DialogCloseButton},
  };
  for (const Pick& p : picks) {
    if (p.id == id) return QIcon::fromTheme(p.theme, style->standardIcon(p.fallback));
  }
  return {};
}

}  // namespace

QAction* CMainFrame::Action(int commandId) const {
  auto it = m_actions.find(commandId);
  return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildCommands() {
  std::map<CommandMenu, QMenu*> menus;
  for (CommandMenu menu :
       {CommandMenu::kFile, CommandMenu::kEdit, CommandMenu::kView, CommandMenu::kHelp})
    menus[menu] = menuBar()->addMenu(CommandMenuTitle(menu));
  std::map<int, QAction*> byToolbarPlace;
  for (const CommandRow& row : Commands()) {
    QMenu* menu = menus[row.menu];
    if (row.separatorBefore && !menu->isEmpty()) menu->addSeparator();
    auto* action = new QAction(CommandIcon(row.id, style()), row.caption, this);
    action->setProperty(kSectionProperty, row.id);
    if (*row.shortcut) action->setShortcut(QKeySequence(row.shortcut, QKeySequence::PortableText));
    const QString tip = QString::fromStdString(CommandStatusText(row, kProgramName));
    action->setStatusTip(tip);
    action->setToolTip(QString(row.caption).remove('&').remove("..."));
    connect(action, &QAction::triggered, this, [this, id = row.id] { RunCommand(id); });
    menu->addAction(action);
    m_actions[row.id] = action;
    if (row.toolbarOrder > 0) byToolbarPlace[row.toolbarOrder] = action;
  }
  BuildQuickConfigurations(menus[CommandMenu::kFile], Action(kCmdLoadConfiguration));
  BuildLanguageMenu();

  QToolBar* toolbar = addToolBar("Toolbar");
  toolbar->setObjectName("toolbar");
  toolbar->setIconSize(QSize(16, 16));
  toolbar->setMovable(false);
  for (const auto& [place, action] : byToolbarPlace) {
    toolbar->addAction(action);
    for (int after : kToolbarSeparatorsAfter)
      if (after == place) toolbar->addSeparator();
  }

  // Keys without a menu item: context help, the next and previous pane. (The options pane
  // turns its pages with Ctrl+Tab and Ctrl+Shift+Tab itself.)
  auto key = [this](const char* sequence, auto slot) {
    auto* shortcut = new QShortcut(QKeySequence(sequence, QKeySequence::PortableText), this);
    connect(shortcut, &QShortcut::activated, this, slot);
  };
  key("Shift+F1", [] { QWhatsThis::enterWhatsThisMode(); });
  key("F6", [this] { focusNextChild(); });
  key("Shift+F6", [this] { focusPreviousChild(); });
}

void CMainFrame::BuildQuickConfigurations(QMenu* file, QAction* before) {
  m_quickNames = ListQuickConfigurations(m_setup.programFolder);
  auto* popup = new QMenu(kQuickConfigurationTitle, file);
  for (std::size_t i = 0; i < m_quickNames.size(); ++i) {
    QAction* item = popup->addAction(QString::fromStdString(m_quickNames[i]));
    const int index = static_cast<int>(i);
    // Only the first entries have commands of their own; later ones stay disabled.
    if (index >= kQuickConfigMax) {
      item->setEnabled(false);
      continue;
    }
    connect(item, &QAction::triggered, this, [this, index] {
      const std::string path = QuickConfigurationPath(m_setup.programFolder, m_quickNames, index);
      if (!path.empty()) LoadConfiguration(path);
    });
    m_quickActions.push_back(item);
  }
  file->insertMenu(before, popup);
  popup->menuAction()->setEnabled(!m_quickNames.empty());
}

void CMainFrame::UpdateCommandStates() {
  const bool generating = m_gen->Generating();
  for (const CommandRow& row : Commands()) {
    if (QAction* action = Action(row.id))
      action->setEnabled(CommandEnabled(row, generating, m_setup.mailAvailable));
  }
  for (QAction* item : m_quickActions) item->setEnabled(!generating);
  for (QAction* item : m_languageActions) item->setEnabled(!generating);
}

void CMainFrame::RunCommand(int commandId) {
  // A command that cannot be used now does nothing, whichever way it was reached.
  if (const CommandRow* row = FindCommand(commandId);
      row && !CommandEnabled(*row, m_gen->Generating(), m_setup.mailAvailable))
    return;
  using F = CMainFrame;
  static const std::map<int, std::function<void(CMainFrame&)>> handlers = {
      {kCmdSaveListing, [](F& f) { f.SaveListing(); }},
      {kCmdPrintListing, [](F& f) { f.PrintListing(false); }},
      {kCmdPrintPreview, [](F& f) { f.PrintListing(true); }},
      {kCmdPrintSetup, [](F& f) { f.PrintSetup(); }},
      {kCmdSendListing, [](F& f) { f.SendListing(); }},
      {kCmdLoadConfiguration, [](F& f) { f.LoadConfigurationCommand(); }},
      {kCmdSaveConfiguration, [](F& f) { f.SaveConfigurationCommand(); }},
      {kCmdLoadSelection, [](F& f) { f.LoadSelectionCommand(); }},
      {kCmdSaveSelection, [](F& f) { f.SaveSelectionCommand(); }},
      {kCmdLoadHtmlStyle, [](F& f) { f.LoadStyleCommand(); }},
      {kCmdSaveHtmlStyle, [](F& f) { f.SaveStyleCommand(); }},
      {kCmdCancel, [](F& f) { f.m_gen->Cancel(); }},
      {kCmdExit, [](F& f) { f.close(); }},
      {kCmdCopyListing, [](F& f) { f.m_preview->CopyListing(); }},
      {kCmdSplit, [](F& f) { f.StartSplitMode(); }},
      {kCmdRefreshListing, [](F& f) { f.RefreshPreview(); }},
      {kCmdRefreshDirs, [](F& f) { f.RefreshDirs(); }},
      {kCmdHelpTopics, [](F& f) { f.OpenHelp(); }},
      {kCmdContactSupport, [](F& f) { f.ContactSupport(); }},
      {kCmdVisitHomepage, [](F& f) { f.OpenAddress(ORVANE_HOMEPAGE); }},
      {kCmdVisitForum, [](F& f) { f.OpenAddress(std::string(ORVANE_HOMEPAGE) + "/forum"); }},
      {kCmdAbout, [](F& f) { ShowAboutDialog(&f); }},
  };
  if (auto it = handlers.find(commandId); it != handlers.end()) it->second(*this);
}

}  // namespace orvane::ui
