#include "ui/tree/dir_tree_model.h"

#include <QByteArray>

#include <algorithm>
#include <unordered_map>

namespace orvane {

struct DirTreeModel::Node {
  Node* parent = nullptr;
  int row = 0;
  int rank = 1;      // roots: "/" 0, other volumes 1, the network 2; folders 1
  std::string path;  // bytes, the key of the checked folders
  std::string name;  // bytes, the last component (a root: its path)
  QString text;      // the name as shown, bytes that are not UTF-8 as U+FFFD
  QString key;       // text case-folded: folders are sorted by it
  Kind kind = Kind::kFolder;
  TreeCheck check = TreeCheck::kNone;
  bool hasSubfolders = false;  // before the children are read: show an expand button
  bool populated = false;      // the children have been read
  bool pending = false;        // a read runs past the time limit; its answer comes later
  std::vector<std::unique_ptr<Node>> children;

  bool IsNetwork() const { return kind == Kind::kNetwork; }
  bool Selected() const { return check == TreeCheck::kWithSubdirs || check == TreeCheck::kAlone; }
  bool AllChildren(TreeCheck c) const {
    return std::all_of(children.begin(), children.end(),
                       [c](const auto& n) { return n->check == c; });
  }
  bool AnyChildNot(TreeCheck c) const { return !AllChildren(c); }
};

namespace {

using Node = DirTreeModel::Node;

char SeparatorBelow(const Node& n) {
  return n.IsNetwork() ? '\\' : '/';
}

std::string JoinPath(const Node& parent, const std::string& name) {
  if (parent.path == "/") return "/" + name;
  return parent.path + SeparatorBelow(parent) + name;
}

// True when path is base itself or lies below it.
bool IsWithin(const std::string& path, const std::string& base, char sep) {
  if (path == base) return true;
  if (base == "/") return !path.empty() && path[0] == '/';
  return path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
         path[base.size()] == sep;
}

// Folders by name without regard to case (equal names then by their bytes); roots by rank and
// path.
bool Less(const Node& a, const Node& b) {
  if (a.rank != b.rank) return a.rank < b.rank;
  if (a.parent && !a.parent->parent) return a.path < b.path;
  int c = a.key.compare(b.key);
  return c != 0 ? c < 0 : a.name < b.name;
}

void Renumber(Node* parent, std::size_t from = 0) {
  for (std::size_t i = from; i < parent->children.size(); ++i) {
    parent->children[i]->row = static_cast<int>(i);
    parent->children[i]->parent = parent;
  }
}

// Folders up to this many subfolders are read with the question whether each holds a
// subfolder; larger ones show their rows first and have that asked afterwards.
constexpr std::size_t kProbeWithListing = 2000;

std::string JoinLocal(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

FolderAnswer ListJob(const std::string& path, FolderSource& source) {
  FolderAnswer a;
  const bool network = path.empty() || path[0] != '/';
  a.ok = source.ListSubfolders(path, network, a.entries);
  if (network || a.entries.size() <= kProbeWithListing) {
    if (!network)
      for (SubfolderEntry& e : a.entries)
        e.hasSubfolders = !e.isLink && source.HasSubfolder(JoinLocal(path, e.name));
    a.probed = true;
  }
  // The names as shown and their sort order are made here, off the interface thread.
  const std::size_t n = a.entries.size();
  std::vector<QString> texts(n), keys(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string& name = a.entries[i].name;
    texts[i] = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    keys[i] = texts[i].toCaseFolded();
  }
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    int c = keys[x].compare(keys[y]);
    return c != 0 ? c < 0 : a.entries[x].name < a.entries[y].name;
  });
  std::vector<SubfolderEntry> sorted(n);
  a.texts.resize(n);
  a.keys.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    sorted[i] = std::move(a.entries[order[i]]);
    a.texts[i] = std::move(texts[order[i]]);
    a.keys[i] = std::move(keys[order[i]]);
  }
  a.entries = std::move(sorted);
  return a;
}

}  // namespace

DirTreeModel::DirTreeModel(std::shared_ptr<FolderSource> source, QObject* parent,
                           std::chrono::milliseconds readLimit)
    : QAbstractItemModel(parent),
      m_reader(std::move(source), this, readLimit),
      m_top(std::make_unique<Node>()) {
  m_top->populated = true;
}

DirTreeModel::~DirTreeModel() = default;

// ---- building ------------------------------------------------------------------------------

std::unique_ptr<Node> DirTreeModel::MakeVolumeNode(const MountedVolume& volume) const {
  auto n = std::make_unique<Node>();
  n->path = n->name = volume.mountPoint;
  n->text = QString::fromUtf8(VolumeDisplayName(volume));
  n->key = n->text.toCaseFolded();
  n->rank = volume.mountPoint == "/" ? 0 : 1;
  n->kind = volume.removable ? Kind::kRemovableVolume : Kind::kVolume;
  n->parent = m_top.get();
  return n;
}

std::unique_ptr<Node> DirTreeModel::MakeChild(Node* parent, const SubfolderEntry& entry,
                                              bool probed, QString* text, QString* key) const {
  auto n = std::make_unique<Node>();
  n->parent = parent;
  n->name = entry.name;
  n->path = JoinPath(*parent, entry.name);
  if (text && key) {
    n->text = std::move(*text);
    n->key = std::move(*key);
  } else {
    n->text = QString::fromUtf8(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
    n->key = n->text.toCaseFolded();
  }
  n->kind = parent->IsNetwork() ? Kind::kNetwork : entry.isLink ? Kind::kFolderLink : Kind::kFolder;
  // A link is never opened below itself, so a link loop cannot be walked.
  // Not asked yet: the button shows until the answer comes.
  n->hasSubfolders = !entry.isLink && (entry.hasSubfolders || !probed);
  // A folder read under a folder ticked with its subfolders is ticked too; under any other
  // state it starts unticked.
  n->check = parent->check == TreeCheck::kWithSubdirs ? TreeCheck::kWithSubdirs : TreeCheck::kNone;
  return n;
}

void DirTreeModel::Fill() {
  beginResetModel();
  m_top = std::make_unique<Node>();
  m_top->populated = true;
  for (const MountedVolume& v : m_reader.Source().ListVolumes())
    m_top->children.push_back(MakeVolumeNode(v));
  std::sort(m_top->children.begin(), m_top->children.end(),
            [](const auto& a, const auto& b) { return Less(*a, *b); });
  Renumber(m_top.get());
  m_selection.clear();
  m_filled = true;
  endResetModel();

  std::vector<Node*> roots;
  for (auto& r : m_top->children) roots.push_back(r.get());
  ProbeRoots(roots);

  // The network root appears only when the network finder has a provider.
  FolderAnswer net;
  auto addNetwork = [this](const FolderAnswer& a) {
    if (a.entries.empty() || FindNode(a.entries[0].name)) return;
    auto n = std::make_unique<Node>();
    n->path = n->name = a.entries[0].name;
    n->text = QString::fromUtf8(n->name);
    n->rank = 2;
    n->kind = Kind::kNetwork;
    n->hasSubfolders = true;
    std::vector<std::unique_ptr<Node>> one;
    one.push_back(std::move(n));
    InsertSorted(m_top.get(), std::move(one));
  };
  auto job = [](FolderSource& s) {
    FolderAnswer a;
    std::string name = s.NetworkRootName();
    a.ok = !name.empty();
    if (a.ok) a.entries.push_back({name, false, true});
    return a;
  };
  if (m_reader.Run(job, net, addNetwork)) addNetwork(net);
}

void DirTreeModel::ProbeRoots(const std::vector<Node*>& roots) {
  // All roots are asked at once, so dead mounts cost one time limit together.
  std::vector<std::shared_ptr<FolderReader::Pending>> jobs;
  for (Node* r : roots) {
    std::string path = r->path;
    jobs.push_back(m_reader.Start([path](FolderSource& s) {
      FolderAnswer a;
      a.ok = true;
      a.hasSubfolder = s.HasSubfolder(path);
      return a;
    }));
  }
  const auto deadline = FolderReader::Clock::now() + m_reader.Limit();
  for (std::size_t i = 0; i < roots.size(); ++i) {
    std::string path = roots[i]->path;
    auto late = [this, path](const FolderAnswer& a) {
      Node* n = FindNode(path);
      if (!n || n->populated) return;
      n->hasSubfolders = a.hasSubfolder;
      QModelIndex idx = IndexOf(n);
      emit dataChanged(idx, idx);
    };
    FolderAnswer a;
    if (m_reader.Wait(jobs[i], deadline, a, late)) roots[i]->hasSubfolders = a.hasSubfolder;
  }
  for (Node* r : roots) {
    QModelIndex idx = IndexOf(r);
    emit dataChanged(idx, idx);
  }
}

void DirTreeModel::Populate(Node* node) {
  if (node == m_top.get() || node->populated || node->pending) return;
  if (node->kind == Kind::kFolderLink) {
    node->populated = true;
    return;
  }
  ListChildren(node, false);
}

bool DirTreeModel::ListChildren(Node* node, bool settleLate) {
  std::string path = node->path;
  auto late = [this, path, settleLate](FolderAnswer a) {
    Node* n = FindNode(path);
    if (!n || !n->pending) return;
    n->pending = false;
    ApplyListing(n, std::move(a));
    if (settleLate) {
      SettleStates(m_top.get());
      RebuildSelection();
    }
  };
  FolderAnswer a;
  if (!m_reader.Run([path](FolderSource& s) { return ListJob(path, s); }, a, late)) {
    node->pending = true;  // a dead mount keeps what it showed until it answers
    return false;
  }
  ApplyListing(node, std::move(a));
  return true;
}

void DirTreeModel::ApplyListing(Node* node, FolderAnswer answer) {
  std::vector<std::unique_ptr<Node>> fresh;
  fresh.reserve(answer.entries.size());
  const bool named = answer.texts.size() == answer.entries.size();
  for (std::size_t i = 0; i < answer.entries.size(); ++i) {
    if (named) {
      fresh.push_back(
          MakeChild(node, answer.entries[i], answer.probed, &answer.texts[i], &answer.keys[i]));
    } else {
      fresh.push_back(MakeChild(node, answer.entries[i], answer.probed));
    }
  }
  if (node->populated) {
    MergeChildren(node, std::move(fresh), answer.probed);
    if (!answer.probed) StartProbe(node);
    return;
  }
  if (!named)
    std::sort(fresh.begin(), fresh.end(),
              [](const auto& a, const auto& b) { return Less(*a, *b); });
  QModelIndex idx = IndexOf(node);
  node->populated = true;
  node->hasSubfolders = !fresh.empty();
  if (!fresh.empty()) {
    beginInsertRows(idx, 0, static_cast<int>(fresh.size()) - 1);
    node->children = std::move(fresh);
    Renumber(node);
    endInsertRows();
  }
  emit dataChanged(idx, idx);  // the expand button may have gone
  if (!answer.probed) StartProbe(node);
}

void DirTreeModel::StartProbe(Node* node) {
  std::string path = node->path;
  std::vector<std::string> names;
  for (auto& c : node->children)
    if (!c->populated && c->kind != Kind::kFolderLink) names.push_back(c->name);
  auto job = [path, names](FolderSource& s) {
    FolderAnswer a;
    a.ok = a.probed = true;
    for (const std::string& n : names)
      a.entries.push_back({n, false, s.HasSubfolder(JoinLocal(path, n))});
    return a;
  };
  auto apply = [this, path](const FolderAnswer& a) {
    Node* n = FindNode(path);
    if (!n || !n->populated || n->children.empty()) return;
    std::unordered_map<std::string, bool> has;
    for (const SubfolderEntry& e : a.entries) has.emplace(e.name, e.hasSubfolders);
    for (auto& c : n->children) {
      auto it = has.find(c->name);
      if (it != has.end() && !c->populated) c->hasSubfolders = it->second;
    }
    emit dataChanged(IndexOf(n->children.front().get()), IndexOf(n->children.back().get()));
  };
  FolderAnswer a;
  if (m_reader.Wait(m_reader.Start(job), FolderReader::Clock::now(), a, apply)) apply(a);
}

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

// ---- finding -------------------------------------------------------------------------------

DirTreeModel::Node* DirTreeModel::FindNode(const std::string& path) const {
  Node* best = nullptr;
  for (auto& r : m_top->children)
    if (IsWithin(path, r->path, r->IsNetwork() ? '\\' : '/') &&
        (!best || r->path.size() > best->path.size()))
      best = r.get();
  Node* n = best;
  while (n && n->path != path) {
    Node* next = nullptr;
    for (auto& c : n->children)
      if (IsWithin(path, c->path, SeparatorBelow(*c))) next = c.get();
    n = next;
  }
  return n;
}

QModelIndex DirTreeModel::RevealPath(const std::string& rawPath) {
  std::string path = rawPath;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty()) return {};
  Node* best = nullptr;
  for (auto& r : m_top->children)
    if (IsWithin(path, r->path, r->IsNetwork() ? '\\' : '/') &&
        (!best || r->path.size() > best->path.size()))
      best = r.get();
  for (Node* n = best; n;) {
    if (n->path == path) return IndexOf(n);
    Populate(n);
    Node* next = nullptr;
    for (auto& c : n->children)
      if (IsWithin(path, c->path, SeparatorBelow(*c))) next = c.get();
    n = next;
  }
  return {};
}

std::string DirTreeModel::PathOf(const QModelIndex& index) const {
  Node* n = NodeOf(index);
  return n ? n->path : std::string();
}

// ---- QAbstractItemModel ----------------------------------------------------------------------

DirTreeModel::Node* DirTreeModel::NodeOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex DirTreeModel::IndexOf(const Node* node) const {
  if (!node || node == m_top.get()) return {};
  return createIndex(node->row, 0, const_cast<Node*>(node));
}

QModelIndex DirTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const Node* p = parent.isValid() ? NodeOf(parent) : m_top.get();
  if (column != 0 || row < 0 || static_cast<std::size_t>(row) >= p->children.size()) return {};
  return createIndex(row, 0, p->children[static_cast<std::size_t>(row)].get());
}

QModelIndex DirTreeModel::parent(const QModelIndex& child) const {
  Node* n = NodeOf(child);
  return n ? IndexOf(n->parent) : QModelIndex();
}

int DirTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const Node* p = parent.isValid() ? NodeOf(parent) : m_top.get();
  return static_cast<int>(p->children.size());
}

int DirTreeModel::columnCount(const QModelIndex&) const {
  return 1;
}

bool DirTreeModel::hasChildren(const QModelIndex& parent) const {
  if (parent.column() > 0) return false;
  const Node* p = parent.isValid() ? NodeOf(parent) : m_top.get();
  return p->populated ? !p->children.empty() : p->hasSubfolders;
}

bool DirTreeModel::canFetchMore(const QModelIndex& parent) const {
  const Node* p = NodeOf(parent);
  return p && !p->populated && !p->pending && p->hasSubfolders;
}

void DirTreeModel::fetchMore(const QModelIndex& parent) {
  if (Node* p = NodeOf(parent)) Populate(p);
}

QVariant DirTreeModel::data(const QModelIndex& index, int role) const {
  const Node* n = NodeOf(index);
  if (!n) return {};
  switch (role) {
    case Qt::DisplayRole:
      return n->text;
    case Qt::ToolTipRole:
      // A volume shows where it is mounted.
      if (n->parent == m_top.get()) return QString::fromUtf8(n->path);
      return {};
    case kCheckRole:
      return static_cast<int>(n->check);
    case kKindRole:
      return static_cast<int>(n->kind);
    case kPathRole:
      return QByteArray(n->path.data(), static_cast<qsizetype>(n->path.size()));
    default:
      return {};
  }
}

Qt::ItemFlags DirTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace orvane
