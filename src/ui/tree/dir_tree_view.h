// DirTreeView: the directory tree of the window's left pane, over a DirTreeModel.
//
// A click on an item's check mark, or Space on the current item, ticks or unticks it: with
// Shift held together with all its subfolders, with Ctrl held alone, otherwise as the
// "Select with subdirectories" box says (SetWithSubdirsDefault). Every change of the ticked
// folders is reported by SelectionChanged, so the window can refresh its preview. Volumes
// mounted or unmounted while the window is open appear and disappear by themselves; F12 in the
// window calls RefreshDirs. Lives on the user-interface thread.
#pragma once

#include <QStyledItemDelegate>
#include <QTreeView>

#include <memory>
#include <string>

#include "base/checked_dirs.h"
#include "settings/text_file.h"
#include "ui/tree/dir_tree_model.h"

namespace orvane {

class MountWatcher;

// Draws an item as its check mark, its folder or drive icon and its name.
class CheckMarkDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  // Where the mark of an item drawn in itemRect sits.
  static QRect MarkRect(const QRect& itemRect);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

class DirTreeView : public QTreeView {
  Q_OBJECT

 public:
  // watchMounts: follow the system's mount table (off in tests on a fake file system).
  explicit DirTreeView(std::shared_ptr<FolderSource> source, QWidget* parent = nullptr,
                       bool watchMounts = true,
                       std::chrono::milliseconds readLimit = std::chrono::milliseconds(250));
  ~DirTreeView() override;

  DirTreeModel* TreeModel() const { return m_model; }

  // Builds the tree and opens and selects the folder `home` (not ticked).
  void Fill(const std::string& home);
  // "Refresh dirs": reads the volumes and every open folder again, keeping what still exists.
  void RefreshDirs();

  // The "Select with subdirectories" box: what a click or Space does without Shift or Ctrl.
  void SetWithSubdirsDefault(bool on) { m_withSubdirs = on; }
  bool WithSubdirsDefault() const { return m_withSubdirs; }

  CheckedDirs Selection() const { return m_model->Selection(); }
  // Ticks the folders, opening the tree down to each.
  void SetSelection(const CheckedDirs& selection);
  // "Load dirs selection": reads the file and, when it could be read, unticks everything and
  // ticks the folders it names. Nothing changes when it cannot be read.
  TextReadStatus LoadSelectionFile(const std::string& path);
  // "Save dirs selection". False when the file could not be written.
  bool SaveSelectionFile(const std::string& path) const;

  // Ticks or unticks an item as a click with these modifiers would.
  void ToggleWithModifiers(const QModelIndex& index, Qt::KeyboardModifiers modifiers);

 signals:
  void SelectionChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  bool OnMark(const QPoint& pos, QModelIndex* index) const;
  void OpenDownTo(const QModelIndex& index);

  DirTreeModel* m_model;
  MountWatcher* m_watcher = nullptr;
  bool m_withSubdirs = true;
  bool m_rereading = false;  // a volume root is being read again on selection
};

}  // namespace orvane
