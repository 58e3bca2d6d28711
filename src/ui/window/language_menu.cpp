// The language menu of the main window and switching the window to another language.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "base/strings.h"
#include "settings/commands.h"
#include "ui/pages/options_pane.h"
#include "ui/window/language_walk.h"
#include "ui/window/main_frame.h"
#include "ui/window/status_bar.h"

namespace orvane::ui {

void CMainFrame::BuildLanguageMenu() {
  m_languageMenu = new QMenu(kLanguageMenuTitle, this);
  QAction* before = menuBar()->actions().value(kLanguageMenuPosition, nullptr);
  menuBar()->insertMenu(before, m_languageMenu);
  const std::vector<std::string> names = ListLanguages(m_setup.programFolder);
  for (std::size_t i = 0; i < names.size(); ++i) {
    QAction* item = m_languageMenu->addAction(QString::fromStdString(names[i]));
    item->setData(QString::fromStdString(names[i]));
    item->setCheckable(true);
    // Only the first languages have commands of their own; later ones stay disabled.
    if (static_cast<int>(i) >= kLanguageCommandCount) {
      item->setEnabled(false);
      continue;
    }
    connect(item, &QAction::triggered, this, [this, name = names[i]] { SwitchLanguage(name); });
    m_languageActions.push_back(item);
  }
}

bool CMainFrame::SwitchLanguage(const std::string& name) {
  const QString welcome = QString::fromStdString(GetText(57345));
  if (LoadLanguage(m_setup.programFolder, name, m_language) != TextReadStatus::kOk) {
    // A missing language changes nothing, not even the check mark the click moved.
    CheckLanguageItem(m_languageMenu, m_named.m_strLanguage);
    return false;
  }
  TranslateWidgets(this, m_language);
  TranslateMenus(menuBar(), m_language);
  TranslateColumnMenu(m_preview, m_language);
  // The column order list and the style sample show the new names.
  m_options->SyncFromModel();
  CheckLanguageItem(m_languageMenu, name);
  if (m_status->Message() == welcome) m_status->SetMessage(QString::fromStdString(GetText(57345)));
  m_named.m_strLanguage = name;
  menuBar()->update();
  return true;
}

}  // namespace orvane::ui
