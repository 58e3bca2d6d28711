#include "ui/tree/dir_tree_model.h"

#include <QByteArray>

#include <algorithm>
#include <unordered_map>

#include "base/strings.h"
#include "ui/tree/dir_tree_node.h"

namespace orvane {

using namespace tree_node;

namespace {

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
  auto ended = [this, addNetwork](const FolderAnswer& a) {
    addNetwork(a);
    emit NetworkStatus(QString());
  };
  emit NetworkStatus(QString::fromStdString(GetText(120)));
  if (m_reader.Run(job, net, ended)) ended(net);
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
