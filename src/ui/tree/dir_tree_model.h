// DirTreeModel: the tree of mounted volumes, folders and network places in which the user ticks
// the folders to list.
//
// Every item has one of four check states:
//   kNone         not selected, nothing below selected
//   kWithSubdirs  selected together with every folder below it, shown or not
//   kAlone        selected, but not every folder below it
//   kBelow        not selected, something below selected
// The checked folders (CheckedDirs) are rebuilt from the states after every change: kWithSubdirs
// gives "with subdirectories" and its children are not visited; kAlone gives "alone" and its
// children are visited; kBelow only has its children visited.
//
// Children are read when an item is first expanded (fetchMore); each folder knows beforehand
// whether it holds any subfolder, so only those show an expand button. Reads go through a
// FolderReader: the model waits for one at most a short time limit, and a folder whose read
// takes longer shows no children until the answer comes. A link to a folder shows as a folder
// that never opens. Lives on the user-interface thread.
#pragma once

#include <QAbstractItemModel>
#include <QString>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/checked_dirs.h"
#include "platform/folder_tree.h"
#include "ui/tree/folder_reader.h"

namespace orvane {

enum class TreeCheck { kNone = 1, kWithSubdirs = 2, kAlone = 3, kBelow = 4 };

class DirTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Role {
    kCheckRole = Qt::UserRole + 1,  // int: the TreeCheck value
    kKindRole,                      // int: the Kind value
    kPathRole,                      // QByteArray: the folder's path, as bytes
  };
  enum class Kind { kVolume, kRemovableVolume, kFolder, kFolderLink, kNetwork };
  struct Node;  // one item; defined in the source file

  explicit DirTreeModel(std::shared_ptr<FolderSource> source, QObject* parent = nullptr,
                        std::chrono::milliseconds readLimit = std::chrono::milliseconds(250));
  ~DirTreeModel() override;

  // Builds the tree from scratch: the volumes ("/" first), then the network root when the
  // network finder has a provider. Every check is cleared.
  void Fill();
  bool IsFilled() const { return m_filled; }

  // Reads every expanded folder again and the list of volumes: new folders and volumes appear
  // (a new folder takes its parent's check when that is kNone or kWithSubdirs), vanished ones go
  // with their checks; folders that remain keep their checks and their place.
  void Refresh();
  // Reads the list of volumes again, adding and removing roots only.
  void RefreshVolumes();
  // Reads one item's children again, not the folders open below them (a volume root when it is
  // selected).
  void RefreshItem(const QModelIndex& index);

  // The click and key rule: ticks or unticks the item. withSubdirs forces the whole subtree
  // to the item's new state; without it a folder with unticked subfolders is ticked alone and
  // a folder with ticked subfolders is unticked alone.
  void ToggleCheck(const QModelIndex& index, bool withSubdirs);
  // Unticks everything.
  void ClearChecks();
  TreeCheck CheckOf(const QModelIndex& index) const;

  // The ticked folders.
  const CheckedDirs& Selection() const { return m_selection; }
  // Ticks each folder of the selection, reading the tree along its path (kWithSubdirs entries
  // with their subfolders, kAlone alone); folders not found are skipped. Before Fill (the
  // batch modes, where no tree is shown) the entries are only merged into Selection(). Returns
  // the items ticked, so a view can open their parents.
  QModelIndexList SetSelection(const CheckedDirs& selection);

  // Finds a folder by path, reading the tree along the way; invalid when it is not there.
  QModelIndex RevealPath(const std::string& path);
  std::string PathOf(const QModelIndex& index) const;

  // QAbstractItemModel
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  // The ticked folders changed (a click, a key, a loaded selection, a refresh).
  void SelectionChanged();
  // A text for the status bar while the network is enumerated ("Please wait. Enumerating the
  // network..."); an empty text when the enumeration has ended.
  void NetworkStatus(const QString& text);

 private:
  Node* NodeOf(const QModelIndex& index) const;
  QModelIndex IndexOf(const Node* node) const;
  Node* FindNode(const std::string& path) const;
  std::unique_ptr<Node> MakeVolumeNode(const MountedVolume& volume) const;
  std::unique_ptr<Node> MakeChild(Node* parent, const SubfolderEntry& entry, bool probed,
                                  QString* text = nullptr, QString* key = nullptr) const;
  void ProbeRoots(const std::vector<Node*>& roots);
  void Populate(Node* node);
  // Reads node's children; a folder that does not answer within the reader's limit is marked
  // pending and filled when it answers (then, with settleLate, the check states and the
  // selection follow). True when the children were applied at once.
  bool ListChildren(Node* node, bool settleLate);
  void ApplyListing(Node* node, FolderAnswer answer);
  void ReadAgain(Node* node, bool deep);
  void MergeChildren(Node* parent, std::vector<std::unique_ptr<Node>> fresh, bool probed);
  void StartProbe(Node* node);
  void RemoveRows(Node* parent, const std::vector<bool>& keep);
  void InsertSorted(Node* parent, std::vector<std::unique_ptr<Node>> added);
  void SettleStates(Node* node);
  void SetCheck(Node* node, TreeCheck check);
  void SetSubtree(Node* node, TreeCheck check);
  void WalkUp(Node* node);
  void Tick(Node* node, DirCheck check);
  void RebuildSelection();

  FolderReader m_reader;
  std::unique_ptr<Node> m_top;  // the invisible parent of the roots
  CheckedDirs m_selection;
  bool m_filled = false;
};

}  // namespace orvane
