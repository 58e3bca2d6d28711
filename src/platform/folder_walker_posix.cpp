#include "platform/folder_walker.h"

namespace orvane {
namespace {

class SystemFolder : public OpenFolder {
 public:
  explicit SystemFolder(DirHandle h) : handle(std::move(h)) {}
  DirHandle handle;
};

class SystemListing : public FolderListing, public CBRMNetFind {
 public:
  FindData* Next() override { return FindNextFile() ? &m_cur : nullptr; }
  void Subfolders(std::vector<std::string>& names) const override {
    CBRMNetFind::Subfolders(names);
  }
  std::size_t EntriesLeft() const override { return CBRMNetFind::EntriesLeft(); }
};

FolderPtr Wrap(DirHandle h) {
  if (!h.IsOpen()) return nullptr;
  return std::make_unique<SystemFolder>(std::move(h));
}

const DirHandle& HandleOf(const OpenFolder& f) {
  return static_cast<const SystemFolder&>(f).handle;
}

class SystemWalker : public FolderWalker {
 public:
  FolderPtr Open(const std::string& path) override { return Wrap(DirHandle::Open(path)); }
  FolderPtr OpenChild(const OpenFolder& parent, const std::string& name) override {
    return Wrap(HandleOf(parent).OpenChild(name));
  }
  FolderPtr OpenParent(const OpenFolder& folder) override {
    return Wrap(HandleOf(folder).OpenParent());
  }
  std::unique_ptr<FolderListing> List(const OpenFolder& folder) override {
    auto listing = std::make_unique<SystemListing>();
    if (!listing->FindFile(HandleOf(folder))) return nullptr;
    return listing;
  }
  bool ListAhead(const std::string& path, std::unique_ptr<FolderListing>& out) override {
    DirHandle h = DirHandle::OpenLocal(path);
    out.reset();
    if (h.IsOpen()) {
      out = std::make_unique<SystemListing>();
      if (!static_cast<SystemListing&>(*out).FindFile(h)) out.reset();
      return true;
    }
    // A folder that cannot be opened by its path is left to the walk, which tells alike.
    return false;
  }
  bool Stat(const std::string& path, FindData& out) override { return StatPath(path, out); }
};

}  // namespace

FolderWalker& SystemFolderWalker() {
  static SystemWalker walker;
  return walker;
}

}  // namespace orvane
