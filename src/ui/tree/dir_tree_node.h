// The tree model's nodes and the small rules shared by its building, refreshing and checking
// code. Private to the model's own files.
#pragma once

#include <QString>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ui/tree/dir_tree_model.h"

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

namespace tree_node {

using Node = DirTreeModel::Node;

inline char SeparatorBelow(const Node& n) {
  return n.IsNetwork() ? '\\' : '/';
}

inline std::string JoinPath(const Node& parent, const std::string& name) {
  if (parent.path == "/") return "/" + name;
  return parent.path + SeparatorBelow(parent) + name;
}

// True when path is base itself or lies below it.
inline bool IsWithin(const std::string& path, const std::string& base, char sep) {
  if (path == base) return true;
  if (base == "/") return !path.empty() && path[0] == '/';
  return path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
         path[base.size()] == sep;
}

// Folders by name without regard to case (equal names then by their bytes); roots by rank and
// path.
inline bool Less(const Node& a, const Node& b) {
  if (a.rank != b.rank) return a.rank < b.rank;
  if (a.parent && !a.parent->parent) return a.path < b.path;
  int c = a.key.compare(b.key);
  return c != 0 ? c < 0 : a.name < b.name;
}

inline void Renumber(Node* parent, std::size_t from = 0) {
  for (std::size_t i = from; i < parent->children.size(); ++i) {
    parent->children[i]->row = static_cast<int>(i);
    parent->children[i]->parent = parent;
  }
}

}  // namespace tree_node
}  // namespace orvane
