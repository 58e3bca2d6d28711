// The tree model: reading folders again after a change on the disk, and the check marks.
#include <algorithm>
#include <unordered_map>

#include "ui/tree/dir_tree_model.h"
#include "ui/tree/dir_tree_node.h"

namespace orvane {

using namespace tree_node;

// ---- refreshing ----------------------------------------------------------------------------

void DirTreeModel::MergeChildren(Node* parent, std::vector<std::unique_ptr<Node>> fresh,
                                 bool probed) {
  std::unordered_map<std::string, Node*> byPath;
  for (auto& f : fresh) byPath.emplace(f->path, f.get());
  std::vector<bool> keep(parent->children.size());
  for (std::size_t i = 0; i < keep.size(); ++i) {
    auto it = byPath.find(parent->children[i]->path);
    keep[i] = it != byPath.end();
    if (!keep[i]) continue;
    Node* old = parent->children[i].get();
    // Roots are probed on their own (all at once, under one time limit).
    if (probed && !old->populated && parent != m_top.get())
      old->hasSubfolders = it->second->hasSubfolders;
    it->second = nullptr;  // already in the tree
  }
  RemoveRows(parent, keep);
  std::vector<std::unique_ptr<Node>> added;
  for (auto& f : fresh)
    if (byPath[f->path]) added.push_back(std::move(f));
  std::sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return Less(*a, *b); });
  InsertSorted(parent, std::move(added));
  if (!parent->children.empty())
    emit dataChanged(IndexOf(parent->children.front().get()),
                     IndexOf(parent->children.back().get()));
}

void DirTreeModel::RemoveRows(Node* parent, const std::vector<bool>& keep) {
  QModelIndex idx = IndexOf(parent);
  for (std::size_t end = keep.size(); end > 0;) {
    if (keep[end - 1]) {
      --end;
      continue;
    }
    std::size_t first = end - 1;
    while (first > 0 && !keep[first - 1]) --first;
    beginRemoveRows(idx, static_cast<int>(first), static_cast<int>(end - 1));
    parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(first),
                           parent->children.begin() + static_cast<std::ptrdiff_t>(end));
    Renumber(parent, first);
    endRemoveRows();
    end = first;
  }
}

void DirTreeModel::InsertSorted(Node* parent, std::vector<std::unique_ptr<Node>> added) {
  QModelIndex idx = IndexOf(parent);
  auto& kids = parent->children;
  for (auto& a : added) a->parent = parent;
  std::size_t i = 0, j = 0;
  while (j < added.size()) {
    while (i < kids.size() && Less(*kids[i], *added[j])) ++i;
    std::size_t k = j;
    while (k < added.size() && (i == kids.size() || Less(*added[k], *kids[i]))) ++k;
    beginInsertRows(idx, static_cast<int>(i), static_cast<int>(i + (k - j)) - 1);
    kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(i),
                std::make_move_iterator(added.begin() + static_cast<std::ptrdiff_t>(j)),
                std::make_move_iterator(added.begin() + static_cast<std::ptrdiff_t>(k)));
    Renumber(parent, i);
    endInsertRows();
    i += k - j;
    j = k;
  }
}

void DirTreeModel::ReadAgain(Node* node, bool deep) {
  if (node->pending || node->kind == Kind::kFolderLink) return;
  if (!node->populated) {
    // Only whether it holds a subfolder: its children are read when it is opened.
    std::string path = node->path;
    FolderAnswer a;
    auto job = [path](FolderSource& s) {
      FolderAnswer r;
      r.ok = true;
      r.hasSubfolder = s.HasSubfolder(path);
      return r;
    };
    if (m_reader.Run(job, a, {}) && a.hasSubfolder != node->hasSubfolders) {
      node->hasSubfolders = a.hasSubfolder;
      QModelIndex idx = IndexOf(node);
      emit dataChanged(idx, idx);
    }
    return;
  }
  if (!ListChildren(node, true)) return;
  if (deep)
    for (auto& c : node->children)
      if (c->populated) ReadAgain(c.get(), true);
}

void DirTreeModel::RefreshVolumes() {
  if (!m_filled) return;
  std::vector<std::unique_ptr<Node>> fresh;
  for (const MountedVolume& v : m_reader.Source().ListVolumes()) fresh.push_back(MakeVolumeNode(v));
  // The network root is not a volume: it stays as it is.
  for (auto& r : m_top->children)
    if (r->kind == Kind::kNetwork) {
      auto keep = std::make_unique<Node>();
      keep->path = r->path;
      fresh.push_back(std::move(keep));
    }
  std::vector<std::string> before;
  for (auto& r : m_top->children) before.push_back(r->path);
  MergeChildren(m_top.get(), std::move(fresh), true);
  std::vector<Node*> added;
  for (auto& r : m_top->children)
    if (std::find(before.begin(), before.end(), r->path) == before.end()) added.push_back(r.get());
  ProbeRoots(added);
  CheckedDirs old = m_selection;
  SettleStates(m_top.get());
  RebuildSelection();
  if (old != m_selection) emit SelectionChanged();
}

void DirTreeModel::Refresh() {
  if (!m_filled) return;
  CheckedDirs old = m_selection;
  RefreshVolumes();
  for (std::size_t i = 0; i < m_top->children.size(); ++i)
    ReadAgain(m_top->children[i].get(), true);
  SettleStates(m_top.get());
  RebuildSelection();
  if (old != m_selection) emit SelectionChanged();
}

void DirTreeModel::RefreshItem(const QModelIndex& index) {
  Node* n = NodeOf(index);
  if (!n) return;
  CheckedDirs old = m_selection;
  ReadAgain(n, false);
  SettleStates(m_top.get());
  RebuildSelection();
  if (old != m_selection) emit SelectionChanged();
}

void DirTreeModel::SettleStates(Node* node) {
  for (auto& c : node->children) SettleStates(c.get());
  if (node == m_top.get() || !node->populated) return;
  // A folder whose ticked subfolders all vanished is no longer "something below selected"; a
  // folder ticked alone whose only unticked subfolders vanished is ticked with all of them.
  if (node->check == TreeCheck::kBelow && node->AllChildren(TreeCheck::kNone))
    SetCheck(node, TreeCheck::kNone);
  else if (node->check == TreeCheck::kAlone && !node->children.empty() &&
           node->AllChildren(TreeCheck::kWithSubdirs))
    SetCheck(node, TreeCheck::kWithSubdirs);
}

// ---- checks --------------------------------------------------------------------------------

void DirTreeModel::SetCheck(Node* node, TreeCheck check) {
  if (node->check == check) return;
  node->check = check;
  QModelIndex idx = IndexOf(node);
  emit dataChanged(idx, idx);
}

void DirTreeModel::SetSubtree(Node* node, TreeCheck check) {
  for (auto& c : node->children) {
    c->check = check;
    SetSubtree(c.get(), check);
  }
  if (!node->children.empty())
    emit dataChanged(IndexOf(node->children.front().get()), IndexOf(node->children.back().get()));
}

void DirTreeModel::WalkUp(Node* node) {
  for (Node *c = node, *p = node->parent; p && p != m_top.get(); c = p, p = p->parent) {
    switch (c->check) {
      case TreeCheck::kWithSubdirs:
        if (p->check == TreeCheck::kNone)
          SetCheck(p, TreeCheck::kBelow);
        else if (p->check == TreeCheck::kAlone && p->AllChildren(TreeCheck::kWithSubdirs))
          SetCheck(p, TreeCheck::kWithSubdirs);
        break;
      case TreeCheck::kNone:
        if (p->check == TreeCheck::kWithSubdirs)
          SetCheck(p, TreeCheck::kAlone);
        else if (p->check == TreeCheck::kBelow && p->AllChildren(TreeCheck::kNone))
          SetCheck(p, TreeCheck::kNone);
        break;
      case TreeCheck::kAlone:
      case TreeCheck::kBelow:
        if (p->check == TreeCheck::kNone)
          SetCheck(p, TreeCheck::kBelow);
        else if (p->check == TreeCheck::kWithSubdirs)
          SetCheck(p, TreeCheck::kAlone);
        break;
    }
  }
}

void DirTreeModel::ToggleCheck(const QModelIndex& index, bool withSubdirs) {
  Node* n = NodeOf(index);
  if (!n) return;
  // Without the flag the new state depends on the children, so they are read first.
  if (!withSubdirs) Populate(n);
  // Children still unknown (a folder that did not answer in time) count as one unticked
  // subfolder when the folder has any: ticking it ticks it alone, unticking it unticks it
  // whole, so no ticked subfolder is left behind that the tree does not show.
  const bool unknown = !n->populated && n->hasSubfolders;
  TreeCheck next;
  if (n->Selected())
    next = !withSubdirs && n->populated && n->AnyChildNot(TreeCheck::kNone) ? TreeCheck::kBelow
                                                                            : TreeCheck::kNone;
  else
    next = !withSubdirs && (unknown || n->AnyChildNot(TreeCheck::kWithSubdirs))
               ? TreeCheck::kAlone
               : TreeCheck::kWithSubdirs;
  SetCheck(n, next);
  if (withSubdirs) SetSubtree(n, next);
  WalkUp(n);
  RebuildSelection();
  emit SelectionChanged();
}

void DirTreeModel::ClearChecks() {
  for (auto& r : m_top->children) {
    SetCheck(r.get(), TreeCheck::kNone);
    SetSubtree(r.get(), TreeCheck::kNone);
  }
  bool had = !m_selection.empty();
  RebuildSelection();
  if (had) emit SelectionChanged();
}

TreeCheck DirTreeModel::CheckOf(const QModelIndex& index) const {
  Node* n = NodeOf(index);
  return n ? n->check : TreeCheck::kNone;
}

void DirTreeModel::Tick(Node* node, DirCheck check) {
  TreeCheck next = TreeCheck::kWithSubdirs;
  if (check == DirCheck::kAlone) {
    Populate(node);
    if ((!node->populated && node->hasSubfolders) || node->AnyChildNot(TreeCheck::kWithSubdirs))
      next = TreeCheck::kAlone;
  }
  SetCheck(node, next);
  if (next == TreeCheck::kWithSubdirs) SetSubtree(node, next);
  WalkUp(node);
}

QModelIndexList DirTreeModel::SetSelection(const CheckedDirs& selection) {
  QModelIndexList ticked;
  if (!m_filled) {
    for (const auto& [path, check] : selection) m_selection[path] = check;
    emit SelectionChanged();
    return ticked;
  }
  // The map holds a folder before anything below it, so a folder ticked alone is not undone
  // by the subfolders ticked after it.
  for (const auto& [path, check] : selection) {
    QModelIndex idx = RevealPath(path);
    if (!idx.isValid()) continue;
    Tick(NodeOf(idx), check);
    ticked.push_back(idx);
  }
  RebuildSelection();
  emit SelectionChanged();
  return ticked;
}

void DirTreeModel::RebuildSelection() {
  m_selection.clear();
  std::vector<Node*> stack;
  for (auto& r : m_top->children) stack.push_back(r.get());
  while (!stack.empty()) {
    Node* n = stack.back();
    stack.pop_back();
    if (n->check == TreeCheck::kWithSubdirs) {
      // A folder shown twice (a mount point also seen from its parent volume) counts with its
      // subfolders when either place says so.
      m_selection[n->path] = DirCheck::kWithSubdirs;
      continue;
    }
    if (n->check == TreeCheck::kNone) continue;
    if (n->check == TreeCheck::kAlone) m_selection.try_emplace(n->path, DirCheck::kAlone);
    for (auto& c : n->children) stack.push_back(c.get());
  }
}

}  // namespace orvane
