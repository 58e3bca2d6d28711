#include "ui/window/language_walk.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "base/strings.h"
#include "settings/commands.h"
#include "settings/window_texts.h"
#include "ui/pages/control_binder.h"
#include "ui/tree/dir_tree_view.h"
#include "ui/window/preview_view.h"

namespace orvane::ui {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The identifier of a control's widget, from its object name "control<id>"; 0 for none.
int ControlId(const QWidget* widget) {
  const QString name = widget->objectName();
  if (!name.startsWith(QStringLiteral("control"))) return 0;
  bool ok = false;
  const int id = name.mid(7).toInt(&ok);
  return ok ? id : 0;
}

std::vector<std::string> Texts(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

void SetCaption(QWidget* widget, const std::string& caption) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    // Each item keeps its place, so its data and the selection stay as they were.
    const std::vector<std::string> texts = ItemsFromCaption(Texts(items), caption);
    for (int i = 0; i < combo->count(); ++i) combo->setItemText(i, Q(texts[i]));
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
    const std::vector<std::string> texts = ItemsFromCaption(Texts(titles), caption);
    for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, Q(texts[i]));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(Q(caption));
  }
}

void TranslateControl(QWidget* widget, int id, const CLanguage& language) {
  if (std::optional<std::string> hint = language.Hint(id)) SetText(id, *hint);
  std::optional<std::string> caption = language.Caption(id);
  if (caption && !caption->empty()) SetCaption(widget, *caption);
}

void ShowWindowText(QWidget* widget, int id) {
  const QString text = Q(WindowText(id));
  if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  }
}

bool IsLeftAlone(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    if (qobject_cast<DirTreeView*>(w)) return true;
  }
  return qobject_cast<QAbstractSpinBox*>(widget) != nullptr;
}

void TranslateMenuItems(QMenu* menu, const CLanguage& language) {
  for (QAction* item : menu->actions()) {
    if (item->isSeparator()) continue;
    const int section =
        item->menu() ? kQuickConfigSection : item->property(kSectionProperty).toInt();
    if (section == 0) continue;
    if (std::optional<std::string> caption = language.Caption(section)) {
      item->setText(Q(*caption));
      item->setToolTip(Q(*caption).remove('&').remove(QStringLiteral("...")));
    }
    if (std::optional<std::string> hint = language.Hint(section)) {
      SetText(section, *hint);
      item->setStatusTip(Q(*hint));
    }
  }
}

}  // namespace

void TranslateWidgets(QWidget* root, const CLanguage& language) {
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (IsLeftAlone(widget)) continue;
    if (const int id = ControlId(widget)) TranslateControl(widget, id, language);
    bool ok = false;
    const int captionOf = widget->property(kCaptionOfProperty).toInt(&ok);
    if (ok && captionOf) {
      std::optional<std::string> label = language.Label(captionOf);
      if (label && !label->empty())
        if (auto* text = qobject_cast<QLabel*>(widget)) text->setText(Q(*label));
    }
    const int textId = widget->property(kWindowTextProperty).toInt(&ok);
    if (ok && textId) ShowWindowText(widget, textId);
  }
}

void TranslateMenus(QMenuBar* bar, const CLanguage& language) {
  const QList<QAction*> menus = bar->actions();
  for (int position = 0; position < menus.size(); ++position) {
    if (std::optional<std::string> title = language.MenuTitle(position))
      menus[position]->setText(Q(*title));
    if (position != kLanguageMenuPosition && menus[position]->menu())
      TranslateMenuItems(menus[position]->menu(), language);
  }
}

void TranslateColumnMenu(PreviewView* preview, const CLanguage& language) {
  for (const ColumnMenuRow& row : ColumnMenuItems()) {
    if (std::optional<std::string> caption = language.Caption(row.id))
      preview->SetColumnMenuText(row.id, Q(*caption));
    if (std::optional<std::string> hint = language.Hint(row.id)) SetText(row.id, *hint);
  }
}

void CheckLanguageItem(QMenu* menu, const std::string& name) {
  // An item's data holds its language's name (its text may have gained an "&").
  for (QAction* item : menu->actions())
    item->setChecked(item->data().toString().toStdString() == name);
}

}  // namespace orvane::ui
