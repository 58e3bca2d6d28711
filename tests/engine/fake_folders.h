// An in-memory file system for the engine's tests: a folder walker over a tree of nodes, so
// a test can build what a disk cannot readily give (names that are not UTF-8, moments past the
// year 3000, folders that refuse to be read or opened, entries that are gone when the scan
// reaches them, trees ten thousand levels deep) and see how many folders are open at once.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/unicode.h"
#include "engine/listing_services.h"
#include "platform/owner.h"
#include "platform/type_names.h"

namespace orvane::test {

class FakeFolders : public FolderWalker {
 public:
  struct Node {
    FindData data;  // name, attributes, size, times
    Node* parent = nullptr;
    std::map<std::string, std::unique_ptr<Node>> children;
    bool unreadable = false;  // opens, but listing it fails (permission denied)
    bool unopenable = false;  // listed by its parent, but it cannot be opened (gone)
  };

  FakeFolders() {
    m_root.data.attributes = kFindDirectory;
    m_root.data.name = "/";
  }

  // A folder at an absolute path, with its parents.
  Node& Folder(const std::string& path) { return Make(path, true); }
  // A file at an absolute path (its parents become folders).
  Node& File(const std::string& path, std::uint64_t size, std::int64_t lastWrite = 1700000000) {
    Node& n = Make(path, false);
    n.data.size = size;
    n.data.lastWrite = n.data.creation = n.data.lastAccess = lastWrite;
    return n;
  }
  // A chain of `depth` folders named `name` below `path`; returns the deepest.
  Node& Chain(const std::string& path, int depth, const std::string& name) {
    Node* n = &Folder(path);
    for (int i = 0; i < depth; ++i) n = &Child(*n, name, true);
    return *n;
  }

  int OpenNow() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open;
  }
  int MostOpen() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mostOpen;
  }

  FolderPtr Open(const std::string& path) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    return OpenNode(Find(path));
  }
  FolderPtr OpenChild(const OpenFolder& parent, const std::string& name) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* p = NodeOf(parent);
    auto it = p->children.find(name);
    return OpenNode(it == p->children.end() ? nullptr : it->second.get());
  }
  FolderPtr OpenParent(const OpenFolder& folder) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* n = NodeOf(folder);
    return OpenNode(n->parent ? n->parent : n);
  }
  std::unique_ptr<FolderListing> List(const OpenFolder& folder) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* n = NodeOf(folder);
    if (n->unreadable) return nullptr;
    auto listing = std::make_unique<Listing>();
    for (const auto& [name, child] : n->children) listing->entries.push_back(child->data);
    // The finder's order: case-folded names, ties by their bytes.
    std::sort(listing->entries.begin(), listing->entries.end(),
              [](const FindData& a, const FindData& b) {
                const std::string fa = FoldForSort(a.name), fb = FoldForSort(b.name);
                return fa != fb ? fa < fb : a.name < b.name;
              });
    return listing;
  }
  bool ListAhead(const std::string& path, std::unique_ptr<FolderListing>& out) override {
    FolderPtr folder = Open(path);
    if (!folder) return false;
    out = List(*folder);
    return true;
  }
  bool Stat(const std::string& path, FindData& out) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* n = Find(path);
    if (!n) return false;
    out = n->data;
    return true;
  }

 private:
  struct Handle : OpenFolder {
    Handle(FakeFolders& fs, Node* node) : fs(fs), node(node) {}
    ~Handle() override {
      std::lock_guard<std::mutex> lock(fs.m_mutex);
      --fs.m_open;
    }
    FakeFolders& fs;
    Node* node;
  };
  struct Listing : FolderListing {
    FindData* Next() override { return next < entries.size() ? &entries[next++] : nullptr; }
    void Subfolders(std::vector<std::string>& names) const override {
      for (std::size_t i = next; i < entries.size(); ++i)
        if ((entries[i].attributes & kFindDirectory) && !entries[i].isLink)
          names.push_back(entries[i].name);
    }
    std::vector<FindData> entries;
    std::size_t next = 0;
  };

  static Node* NodeOf(const OpenFolder& f) { return static_cast<const Handle&>(f).node; }
  FolderPtr OpenNode(Node* n) {
    if (!n || n->unopenable || !(n->data.attributes & kFindDirectory)) return nullptr;
    m_mostOpen = std::max(m_mostOpen, ++m_open);
    return std::make_unique<Handle>(*this, n);
  }
  Node& Child(Node& parent, const std::string& name, bool folder) {
    std::unique_ptr<Node>& slot = parent.children[name];
    if (!slot) {
      slot = std::make_unique<Node>();
      slot->parent = &parent;
      slot->data.name = name;
      slot->data.attributes = folder ? kFindDirectory : kFindArchive;
      slot->data.lastWrite = slot->data.creation = slot->data.lastAccess = 1700000000;
    }
    return *slot;
  }
  Node& Make(const std::string& path, bool folder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* n = &m_root;
    std::size_t pos = 1;
    while (pos <= path.size()) {
      std::size_t end = std::min(path.find('/', pos), path.size());
      if (end > pos) n = &Child(*n, path.substr(pos, end - pos), end < path.size() || folder);
      pos = end + 1;
    }
    return *n;
  }
  Node* Find(const std::string& path) {
    Node* n = &m_root;
    std::size_t pos = 1;
    while (n && pos <= path.size()) {
      std::size_t end = std::min(path.find('/', pos), path.size());
      if (end > pos) {
        auto it = n->children.find(path.substr(pos, end - pos));
        n = it == n->children.end() ? nullptr : it->second.get();
      }
      pos = end + 1;
    }
    return n;
  }

  std::mutex m_mutex;
  Node m_root;
  int m_open = 0;
  int m_mostOpen = 0;
};

// Services whose folders are a fake; type names and owners are the system's answers for the
// names (the paths do not exist on the disk, so owners are blank), and no path is a volume.
class FakeFolderServices : public ListingServices {
 public:
  explicit FakeFolderServices(FakeFolders& folders) : m_folders(folders) {}
  FolderWalker& Folders() override { return m_folders; }
  std::string TypeName(const std::string& name, bool isDirectory) override {
    return GetTypeName(name, isDirectory);
  }
  std::string Owner(const std::string& path) override { return GetFileOwner(path); }
  bool Volume(const std::string&, VolumeInfo&) override { return false; }
  std::string MountPoint(const std::string&) override { return "/"; }

 private:
  FakeFolders& m_folders;
};

}  // namespace orvane::test
