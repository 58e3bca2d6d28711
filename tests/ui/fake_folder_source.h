// An in-memory folder tree for the directory-tree tests: folders by path, links, unreadable
// folders, volumes, a network provider, and folders whose reading hangs until released.
// Safe to use from the reader's worker threads.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/folder_tree.h"

namespace orvane::test {

class FakeFolderSource : public FolderSource {
 public:
  FakeFolderSource() { m_folders["/"]; }
  // Adds a folder and every missing folder above it ("/a/b/c").
  void AddFolder(const std::string& path) {
    std::lock_guard lock(m_mutex);
    AddLocked(path);
  }
  // A link to a folder at path (its target is not followed).
  void AddLink(const std::string& path) {
    std::lock_guard lock(m_mutex);
    AddLocked(Parent(path));
    m_links.insert(path);
    m_folders[Parent(path)].insert(Name(path));
  }
  // Removes a folder with everything below it.
  void Remove(const std::string& path) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_folders.begin(); it != m_folders.end();)
      it = Below(it->first, path) ? m_folders.erase(it) : std::next(it);
    if (m_folders.count(Parent(path))) m_folders[Parent(path)].erase(Name(path));
    m_links.erase(path);
  }
  void SetUnreadable(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_unreadable.insert(path);
  }
  // Reading anything at or below path waits until Release.
  void Hang(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_hanging = path;
  }
  void Release() {
    std::lock_guard lock(m_mutex);
    m_hanging.clear();
    m_cv.notify_all();
  }
  void SetVolumes(std::vector<MountedVolume> volumes) {
    std::lock_guard lock(m_mutex);
    m_volumes = std::move(volumes);
    for (const auto& v : m_volumes) AddLocked(v.mountPoint);
  }
  void SetNetworkRoot(const std::string& name) {
    std::lock_guard lock(m_mutex);
    m_network = name;
  }
  int Reads() {
    std::lock_guard lock(m_mutex);
    return m_reads;
  }

  bool ListSubfolders(const std::string& path, bool probe,
                      std::vector<SubfolderEntry>& out) override {
    std::unique_lock lock(m_mutex);
    WaitIfHanging(lock, path);
    ++m_reads;
    out.clear();
    auto it = m_folders.find(path);
    if (it == m_folders.end() || m_unreadable.count(path) || m_links.count(path)) return false;
    for (const std::string& name : it->second) {
      std::string child = Join(path, name);
      bool link = m_links.count(child) > 0;
      out.push_back({name, link, probe && !link && HasLocked(child)});
    }
    std::reverse(out.begin(), out.end());  // the model must sort for itself
    return true;
  }
  bool HasSubfolder(const std::string& path) override {
    std::unique_lock lock(m_mutex);
    WaitIfHanging(lock, path);
    return HasLocked(path);
  }
  std::vector<MountedVolume> ListVolumes() override {
    std::lock_guard lock(m_mutex);
    return m_volumes;
  }
  std::string NetworkRootName() override {
    std::lock_guard lock(m_mutex);
    return m_network;
  }

  static std::string Join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
  }

 private:
  static std::string Parent(const std::string& p) {
    auto slash = p.rfind('/');
    return slash == 0 ? "/" : p.substr(0, slash);
  }
  static std::string Name(const std::string& p) { return p.substr(p.rfind('/') + 1); }
  static bool Below(const std::string& p, const std::string& base) {
    return p == base || (p.size() > base.size() && p.compare(0, base.size(), base) == 0 &&
                         p[base.size()] == '/');
  }
  void AddLocked(const std::string& path) {
    m_folders[path];
    if (path == "/") return;
    AddLocked(Parent(path));
    m_folders[Parent(path)].insert(Name(path));
  }
  bool HasLocked(const std::string& path) const {
    auto it = m_folders.find(path);
    return it != m_folders.end() && !m_unreadable.count(path) && !it->second.empty();
  }
  void WaitIfHanging(std::unique_lock<std::mutex>& lock, const std::string& path) {
    m_cv.wait(lock, [&] { return m_hanging.empty() || !Below(path, m_hanging); });
  }

  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::map<std::string, std::set<std::string>> m_folders;
  std::set<std::string> m_links, m_unreadable;
  std::vector<MountedVolume> m_volumes{{"/", "", "/dev/vda", false}};
  std::string m_network, m_hanging;
  int m_reads = 0;
};

}  // namespace orvane::test
