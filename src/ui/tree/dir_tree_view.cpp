#include "ui/tree/dir_tree_view.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "settings/selection_file.h"
#include "ui/tree/check_marks.h"
#include "ui/tree/mount_watcher.h"

namespace orvane {
namespace {

constexpr int kMarkGap = 4;  // between the mark and the icon

QIcon IconFor(DirTreeModel::Kind kind) {
  static QFileIconProvider provider;
  switch (kind) {
    case DirTreeModel::Kind::kVolume:
      return QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                              provider.icon(QFileIconProvider::Drive));
    case DirTreeModel::Kind::kRemovableVolume:
      return QIcon::fromTheme(QStringLiteral("drive-removable-media"),
                              provider.icon(QFileIconProvider::Drive));
    case DirTreeModel::Kind::kNetwork:
      return QIcon::fromTheme(QStringLiteral("network-workgroup"),
                              provider.icon(QFileIconProvider::Network));
    case DirTreeModel::Kind::kFolder:
    case DirTreeModel::Kind::kFolderLink:
      break;
  }
  return QIcon::fromTheme(QStringLiteral("folder"), provider.icon(QFileIconProvider::Folder));
}

}  // namespace

// ---- delegate ------------------------------------------------------------------------------

QRect CheckMarkDelegate::MarkRect(const QRect& itemRect) {
  return QRect(itemRect.left() + 2, itemRect.center().y() - kCheckMarkSize / 2 + 1, kCheckMarkSize,
               kCheckMarkSize);
}

void CheckMarkDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  auto kind = static_cast<DirTreeModel::Kind>(index.data(DirTreeModel::kKindRole).toInt());
  option->icon = IconFor(kind);
  option->features |= QStyleOptionViewItem::HasDecoration;
  if (kind == DirTreeModel::Kind::kFolderLink) option->font.setItalic(true);
}

void CheckMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  auto check = static_cast<TreeCheck>(index.data(DirTreeModel::kCheckRole).toInt());
  // The row's background (the selection colour on the current row) runs under the mark too.
  QStyleOptionViewItem whole = option;
  initStyleOption(&whole, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &whole, painter, widget);
  QPalette colours = option.palette;
  if (option.state & QStyle::State_Selected) {
    // On the selection colour the mark is drawn in the selected text's colour instead.
    const QColor back = option.palette.color(QPalette::Highlight);
    const QColor ink = option.palette.color(QPalette::HighlightedText);
    colours.setColor(QPalette::Highlight, ink);
    colours.setColor(QPalette::HighlightedText, back);
    colours.setColor(QPalette::Text, ink);
    colours.setColor(QPalette::Base, back);
  }
  DrawCheckMark(*painter, MarkRect(option.rect), check, colours);
  QStyleOptionViewItem rest = option;
  rest.rect.setLeft(option.rect.left() + 2 + kCheckMarkSize + kMarkGap);
  QStyledItemDelegate::paint(painter, rest, index);
}

QSize CheckMarkDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  QSize s = QStyledItemDelegate::sizeHint(option, index);
  return QSize(s.width() + 2 + kCheckMarkSize + kMarkGap, std::max(s.height(), kCheckMarkSize + 4));
}

// ---- view ----------------------------------------------------------------------------------

DirTreeView::DirTreeView(std::shared_ptr<FolderSource> source, QWidget* parent, bool watchMounts,
                         std::chrono::milliseconds readLimit)
    : QTreeView(parent), m_model(new DirTreeModel(std::move(source), this, readLimit)) {
  setModel(m_model);
  setItemDelegate(new CheckMarkDelegate(this));
  setHeaderHidden(true);
  setUniformRowHeights(true);  // keeps a folder of 100,000 subfolders quick to open
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  connect(m_model, &DirTreeModel::SelectionChanged, this, &DirTreeView::SelectionChanged);
  if (watchMounts) {
    m_watcher = new MountWatcher(this);
    connect(m_watcher, &MountWatcher::MountsChanged, m_model, &DirTreeModel::RefreshVolumes);
  }
}

DirTreeView::~DirTreeView() = default;

void DirTreeView::Fill(const std::string& home) {
  m_model->Fill();
  QModelIndex idx = m_model->RevealPath(home);
  if (!idx.isValid()) idx = m_model->index(0, 0);
  OpenDownTo(idx);
  expand(idx);
  m_rereading = true;  // the start needs no second reading of a volume
  setCurrentIndex(idx);
  m_rereading = false;
  scrollTo(idx);
}

void DirTreeView::RefreshDirs() {
  m_model->Refresh();
}

void DirTreeView::OpenDownTo(const QModelIndex& index) {
  for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) expand(p);
}

void DirTreeView::SetSelection(const CheckedDirs& selection) {
  setUpdatesEnabled(false);
  for (const QModelIndex& idx : m_model->SetSelection(selection)) OpenDownTo(idx);
  setUpdatesEnabled(true);
}

TextReadStatus DirTreeView::LoadSelectionFile(const std::string& path) {
  CheckedDirs read;
  TextReadStatus status = LoadSelection(path, read);
  if (status != TextReadStatus::kOk) return status;
  m_model->Refresh();
  m_model->ClearChecks();
  SetSelection(read);
  return status;
}

bool DirTreeView::SaveSelectionFile(const std::string& path) const {
  return SaveSelection(m_model->Selection(), path);
}

void DirTreeView::ToggleWithModifiers(const QModelIndex& index, Qt::KeyboardModifiers modifiers) {
  bool withSubdirs = m_withSubdirs;
  if (modifiers & Qt::ShiftModifier)
    withSubdirs = true;
  else if (modifiers & Qt::ControlModifier)
    withSubdirs = false;
  m_model->ToggleCheck(index, withSubdirs);
}

bool DirTreeView::OnMark(const QPoint& pos, QModelIndex* index) const {
  QModelIndex idx = indexAt(pos);
  if (!idx.isValid() || !CheckMarkDelegate::MarkRect(visualRect(idx)).contains(pos)) return false;
  *index = idx;
  return true;
}

void DirTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && currentIndex().isValid()) {
    ToggleWithModifiers(currentIndex(), event->modifiers());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void DirTreeView::mousePressEvent(QMouseEvent* event) {
  QModelIndex idx;
  if (event->button() == Qt::LeftButton && OnMark(event->position().toPoint(), &idx)) {
    ToggleWithModifiers(idx, event->modifiers());
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
}

void DirTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  // A quick second click on a mark is a second toggle, not a request to open the folder.
  QModelIndex idx;
  if (event->button() == Qt::LeftButton && OnMark(event->position().toPoint(), &idx)) {
    ToggleWithModifiers(idx, event->modifiers());
    event->accept();
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

void DirTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  // Selecting a volume reads its first level again: new folders appear, vanished ones go.
  if (current.isValid() && !current.parent().isValid() && !m_rereading) {
    m_rereading = true;
    m_model->RefreshItem(current);
    m_rereading = false;
  }
}

}  // namespace orvane
