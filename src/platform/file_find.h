// Directory enumeration: CBRMFileFind lists the entries of one directory with their attributes,
// size and times; CBRMNetFind adds network places (see net_provider.h): the containers of the
// network and the folders of shares, which a DirHandle carries by path.
//
// Directories are opened relative to an open parent (DirHandle), so paths of any length and
// trees of any depth can be walked. Symbolic links report their target's attributes, size and
// times; a link to a directory reports the directory bit but IsLink() tells the scan not to
// descend. A dangling link reports its own lstat. Entries that vanish between reading the
// directory and asking for their status are skipped. One finder belongs to one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

// Windows attribute bits as the enumeration reports them.
inline constexpr std::uint32_t kFindReadOnly = 0x1, kFindHidden = 0x2, kFindSystem = 0x4,
                               kFindDirectory = 0x10, kFindArchive = 0x20, kFindCompressed = 0x800;

// An open directory, usable as the parent of further opens. Moves, never copies. A network
// place is held by its path (nothing is asked of the server until it is listed).
class DirHandle {
 public:
  DirHandle() = default;
  ~DirHandle();
  DirHandle(DirHandle&& o) noexcept : m_fd(o.m_fd), m_net(std::move(o.m_net)) { o.m_fd = -1; }
  DirHandle& operator=(DirHandle&& o) noexcept;
  DirHandle(const DirHandle&) = delete;
  DirHandle& operator=(const DirHandle&) = delete;

  // Opens a directory by path (long paths are opened component by component).
  static DirHandle Open(const std::string& path);
  // Opens the subdirectory `name` of this directory without following a symbolic link.
  DirHandle OpenChild(const std::string& name) const;
  // Opens this directory's parent ("..").
  DirHandle OpenParent() const;
  // Opens a local directory by a path shorter than the system's limit, without following a
  // symbolic link at its end; nothing for a network place or a longer path.
  static DirHandle OpenLocal(const std::string& path);
  bool IsOpen() const { return m_fd >= 0 || !m_net.empty(); }
  int Fd() const { return m_fd; }
  void Close();
  // The network path of a network place; empty for a local directory.
  const std::string& NetworkPath() const { return m_net; }

 private:
  explicit DirHandle(int fd) : m_fd(fd) {}
  static DirHandle OpenNetwork(std::string path);
  DirHandle OpenNetworkChild(const std::string& name) const;
  DirHandle OpenNetworkParent() const;
  int m_fd = -1;
  std::string m_net;
};

// Status of one file-system object, as the scan needs it.
struct FindData {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::int64_t creation = 0;  // 0 where the file system keeps no birth time
  std::int64_t lastWrite = 0;
  std::int64_t lastAccess = 0;
  bool isLink = false;
};

class CBRMFileFind {
 public:
  CBRMFileFind();
  virtual ~CBRMFileFind();

  // Starts listing the directory `dir` (owned by the caller; the finder reads every entry and
  // its status here and keeps no descriptor). False when it cannot be read; the caller treats it
  // as empty. The entries come in ascending order of their case-folded names (the folding of
  // sorting by name), ties in the order of the names' bytes, so two copies of one tree list
  // alike.
  virtual bool FindFile(const DirHandle& dir);
  // Starts listing a directory by path ("" means the current directory).
  virtual bool FindFile(const std::string& path);
  // Advances to the next entry; false at the end. "." and ".." are never returned.
  virtual bool FindNextFile();
  // The names of the entries still to come that are directories and not links, in order.
  virtual void Subfolders(std::vector<std::string>& names) const;
  // The number of entries FindNextFile has still to hand out.
  virtual std::size_t EntriesLeft() const;
  virtual void Close();

  struct Impl;  // the entries read by FindFile

  virtual const std::string& GetFileName() const { return m_cur.name; }
  virtual bool IsDots() const { return m_cur.name == "." || m_cur.name == ".."; }
  virtual bool MatchesMask(std::uint32_t bits) const { return (m_cur.attributes & bits) != 0; }
  bool IsDirectory() const { return MatchesMask(kFindDirectory); }
  bool IsLink() const { return m_cur.isLink; }
  std::uint64_t GetLength() const { return m_cur.size; }
  std::int64_t GetCreationTime() const { return m_cur.creation; }
  std::int64_t GetLastWriteTime() const { return m_cur.lastWrite; }
  std::int64_t GetLastAccessTime() const { return m_cur.lastAccess; }
  const FindData& Current() const { return m_cur; }

 protected:
  FindData m_cur;

 private:
  std::unique_ptr<Impl> m_impl;
};

// The network finder: network places (containers and folders of shares, see net_provider.h)
// are listed through the network provider, local directories by the base class. A container's
// entries are directories with blank times and never dots. FindFile on a network place fails
// (errno set) when there is no provider or the place cannot be listed; the provider has then
// warned about a dead server or a refused share.
class CBRMNetFind : public CBRMFileFind {
 public:
  CBRMNetFind();
  ~CBRMNetFind() override;
  bool FindFile(const std::string& path) override;
  bool FindFile(const DirHandle& dir) override;
  bool FindNextFile() override;
  void Subfolders(std::vector<std::string>& names) const override;
  std::size_t EntriesLeft() const override;
  void Close() override;
  bool IsDots() const override { return !m_netMode && CBRMFileFind::IsDots(); }

 private:
  bool FindNetwork(const std::string& path);
  bool m_netMode = false;
  std::vector<FindData> m_netEntries;  // sorted by name
  std::size_t m_netNext = 0;
};

// Status of one object by path (following links; a dangling link gives its own status). False
// when it does not exist or cannot be asked.
bool StatPath(const std::string& path, FindData& out);
bool StatAt(const DirHandle& dir, const std::string& name, FindData& out);

// Makes a moment safe for display: a moment whose local year is before 1970 or after 3000
// becomes a moment in February 1970, which the listing shows as a blank date; every other
// moment (the whole local year 3000 included) is kept.
std::int64_t SafeTime(std::int64_t t);

// A mounted volume.
struct VolumeInfo {
  std::string serial;      // "XXXX-XXXX"
  std::string fileSystem;  // e.g. "ext4"
  bool compressed = false;
};
// True when `path` (absolute, no trailing "/") is the mount point of a real file system;
// fills its volume information.
bool GetVolumeInfo(const std::string& path, VolumeInfo& out);
// The mount point of the volume that holds `path` ("/" for the root volume).
std::string MountPointOf(const std::string& path);

}  // namespace orvane
