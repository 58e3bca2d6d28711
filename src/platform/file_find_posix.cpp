#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/file_find.h"
#include "platform/mount_table.h"
#include "platform/net_provider.h"

#include "base/unicode.h"

namespace orvane {
namespace {

constexpr std::int64_t kYear3001 = 32535216000LL;  // 3001-01-01 00:00:00 UTC
// More than any distance between local time and UTC.
constexpr std::int64_t kTwoDays = 2 * 86400;

std::int64_t FallbackTime() {
  static const std::int64_t t = [] {
    std::tm tm{};
    tm.tm_year = 70;
    tm.tm_mon = 1;
    tm.tm_mday = 1;
    tm.tm_hour = 1;
    tm.tm_isdst = -1;
    std::time_t r = std::mktime(&tm);
    return r == static_cast<std::time_t>(-1) ? std::int64_t{2678400} : static_cast<std::int64_t>(r);
  }();
  return t;
}

void FillFromStatx(const struct statx& sx, std::string_view name, FindData& out) {
  out.attributes = 0;
  const mode_t mode = sx.stx_mode;
  if (S_ISDIR(mode)) out.attributes |= kFindDirectory;
  if (S_ISREG(mode)) out.attributes |= kFindArchive;
  if (S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode))
    out.attributes |= kFindSystem;
  if (!(mode & S_IWUSR)) out.attributes |= kFindReadOnly;
  if (!name.empty() && name[0] == '.') out.attributes |= kFindHidden;
  if (sx.stx_attributes_mask & STATX_ATTR_COMPRESSED & sx.stx_attributes)
    out.attributes |= kFindCompressed;
  out.size = S_ISDIR(mode) ? 0 : sx.stx_size;
  out.lastWrite = SafeTime(sx.stx_mtime.tv_sec);
  out.lastAccess = SafeTime(sx.stx_atime.tv_sec);
  out.creation = (sx.stx_mask & STATX_BTIME) ? SafeTime(sx.stx_btime.tv_sec) : 0;
}

bool StatxAt(int dirfd, const char* name, std::string_view shownName, FindData& out,
             int extraFlags = 0) {
  struct statx sx;
  const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
  if (statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | extraFlags, mask, &sx) != 0)
    return false;
  out.isLink = S_ISLNK(sx.stx_mode);
  if (out.isLink) {
    struct statx target;
    if (statx(dirfd, name, AT_NO_AUTOMOUNT | extraFlags, mask, &target) == 0) {
      FillFromStatx(target, shownName, out);
      return true;
    }
  }
  FillFromStatx(sx, shownName, out);
  return true;
}

// Mount table of real file systems, read once.
struct Mount {
  std::string point;
  std::string fsType;
  std::string options;
};

const std::vector<Mount>& Mounts() {
  static const std::vector<Mount> mounts = [] {
    std::vector<Mount> list;
    std::ifstream f("/proc/self/mountinfo");
    std::string line;
    while (std::getline(f, line)) {
      std::istringstream in(line);
      std::string id, parent, dev, root, point, options, field;
      in >> id >> parent >> dev >> root >> point >> options;
      while (in >> field && field != "-") {
      }
      std::string fsType, source, super;
      in >> fsType >> source >> super;
      point = UnescapeMountField(point);
      if (IsPseudoFileSystem(fsType, point)) continue;
      // A later mount on the same point hides the earlier one.
      for (auto it = list.begin(); it != list.end(); ++it)
        if (it->point == point) {
          list.erase(it);
          break;
        }
      list.push_back({point, fsType, options + "," + super});
    }
    return list;
  }();
  return mounts;
}

}  // namespace

std::int64_t SafeTime(std::int64_t t) {
  // Only moments near either end can have a local year outside 1970 to 3000.
  if (t >= kTwoDays && t < kYear3001 - kTwoDays) return t;
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (!::localtime_r(&tt, &tm)) return FallbackTime();
  const long long year = 1900LL + tm.tm_year;
  return year < 1970 || year > 3000 ? FallbackTime() : t;
}

DirHandle::~DirHandle() {
  Close();
}

DirHandle& DirHandle::operator=(DirHandle&& o) noexcept {
  if (this != &o) {
    Close();
    m_fd = o.m_fd;
    o.m_fd = -1;
    m_net = std::move(o.m_net);
  }
  return *this;
}

void DirHandle::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_net.clear();
}

DirHandle DirHandle::Open(const std::string& path) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  if (IsNetworkPath(path)) return OpenNetwork(path);
  if (path.size() < PATH_MAX - 1)
    return DirHandle(::open(path.empty() ? "." : path.c_str(), kFlags));
  // A path longer than the system accepts in one call: walk it component by component.
  int fd = ::open(path[0] == '/' ? "/" : ".", kFlags);
  std::size_t pos = 0;
  while (fd >= 0 && pos < path.size()) {
    std::size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    std::string comp = path.substr(pos, end - pos);
    pos = end + 1;
    if (comp.empty()) continue;
    int next = ::openat(fd, comp.c_str(), kFlags);
    ::close(fd);
    fd = next;
  }
  return DirHandle(fd);
}

DirHandle DirHandle::OpenLocal(const std::string& path) {
  if (path.empty() || path.size() >= PATH_MAX - 1 || IsNetworkPath(path)) return DirHandle();
  return DirHandle(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

DirHandle DirHandle::OpenChild(const std::string& name) const {
  if (!m_net.empty()) return OpenNetworkChild(name);
  if (m_fd < 0) return DirHandle();
  return DirHandle(::openat(m_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

DirHandle DirHandle::OpenParent() const {
  if (!m_net.empty()) return OpenNetworkParent();
  if (m_fd < 0) return DirHandle();
  return DirHandle(::openat(m_fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// The entries of one directory, read and examined in one go when the listing starts. Names
// sit in one buffer (the status records carry none), so reading a folder costs a few
// allocations, not several per entry; `order` is the order FindNextFile hands them out in.
// Holding no descriptor afterwards keeps the number of open folders of a deep walk bounded by
// the walker alone.
struct CBRMFileFind::Impl {
  std::string names;                     // every name, each followed by a NUL
  std::vector<std::uint32_t> nameStart;  // where each entry's name starts in `names`
  std::vector<FindData> entries;         // status of each entry, without its name
  std::vector<std::uint32_t> order;
  std::size_t next = 0;

  std::string_view Name(std::uint32_t i) const {
    const std::uint32_t end = i + 1 < nameStart.size()
                                  ? nameStart[i + 1] - 1
                                  : static_cast<std::uint32_t>(names.size() - 1);
    return std::string_view(names).substr(nameStart[i], end - nameStart[i]);
  }
};

namespace {

// Reads every entry of the directory open as fd (except "." and ".."), with its status. The
// entries are read straight from the descriptor, a buffer at a time, without a stream of their
// own: a folder costs its reads and a status call per entry, nothing more.
bool ReadEntries(int fd, CBRMFileFind::Impl& out) {
  // Whatever was read of the folder before, its listing starts at its first entry.
  if (::lseek(fd, 0, SEEK_SET) < 0) return false;
  alignas(8) thread_local char buffer[32768];
  out.entries.reserve(64);
  out.nameStart.reserve(64);
  out.names.reserve(1024);
  FindData entry;
  for (;;) {
    const ssize_t got = ::getdents64(fd, buffer, sizeof buffer);
    // A read error ends the listing with the entries read so far, as the end of a stream does.
    if (got <= 0) break;
    for (ssize_t at = 0; at < got;) {
      const auto* e = reinterpret_cast<const struct dirent64*>(buffer + at);
      at += e->d_reclen;
      const char* n = e->d_name;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      // An entry that vanished since the directory was read is skipped.
      if (!StatxAt(fd, n, n, entry)) continue;
      out.nameStart.push_back(static_cast<std::uint32_t>(out.names.size()));
      out.names.append(n).push_back('\0');
      out.entries.push_back(entry);
    }
  }
  return true;
}

// Three-way comparison of the bytes (unsigned), eight at a time: names are short, and this is
// the inner step of sorting every folder.
int CompareBytes(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x == y) continue;
    if constexpr (std::endian::native == std::endian::little) {
      x = __builtin_bswap64(x);
      y = __builtin_bswap64(y);
    }
    return x < y ? -1 : 1;
  }
  for (; i < n; ++i)
    if (a[i] != b[i])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// Ascending case-folded name (the folding of sorting by name), ties by the name's bytes. The
// folded names share one buffer; ASCII names (nearly all) fold by lower-casing.
void SortByFoldedName(CBRMFileFind::Impl& impl) {
  const auto n = static_cast<std::uint32_t>(impl.entries.size());
  std::string folded;
  folded.reserve(impl.names.size());
  std::vector<std::uint32_t> start(n + 1);
  for (std::uint32_t i = 0; i < n; ++i) {
    start[i] = static_cast<std::uint32_t>(folded.size());
    const std::string_view name = impl.Name(i);
    folded.append(name);
    bool ascii = true;
    for (auto it = folded.begin() + start[i]; it != folded.end(); ++it) {
      const char c = *it;
      if (c >= 'A' && c <= 'Z') *it = static_cast<char>(c + 32);
      ascii &= static_cast<unsigned char>(c) < 0x80;
    }
    if (!ascii) {
      folded.resize(start[i]);
      folded += FoldForSort(name);
    }
  }
  start[n] = static_cast<std::uint32_t>(folded.size());
  struct Key {
    std::string_view folded;
    std::uint32_t index;
  };
  std::vector<Key> keys(n);
  for (std::uint32_t i = 0; i < n; ++i)
    keys[i] = {std::string_view(folded).substr(start[i], start[i + 1] - start[i]), i};
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    const int c = CompareBytes(a.folded, b.folded);
    return c != 0 ? c < 0 : CompareBytes(impl.Name(a.index), impl.Name(b.index)) < 0;
  });
  impl.order.resize(n);
  for (std::uint32_t i = 0; i < n; ++i) impl.order[i] = keys[i].index;
}

}  // namespace

CBRMFileFind::CBRMFileFind() = default;
CBRMFileFind::~CBRMFileFind() {
  Close();
}

void CBRMFileFind::Close() {
  m_impl.reset();
  m_cur = FindData();
}

bool CBRMFileFind::FindFile(const DirHandle& dir) {
  Close();
  if (!dir.IsOpen()) return false;
  auto impl = std::make_unique<Impl>();
  if (!ReadEntries(dir.Fd(), *impl)) return false;
  SortByFoldedName(*impl);
  m_impl = std::move(impl);
  return true;
}

bool CBRMFileFind::FindFile(const std::string& path) {
  DirHandle h = DirHandle::Open(path);
  if (!h.IsOpen()) {
    Close();
    return false;
  }
  return FindFile(h);
}

std::size_t CBRMFileFind::EntriesLeft() const {
  return m_impl ? m_impl->order.size() - m_impl->next : 0;
}

bool CBRMFileFind::FindNextFile() {
  if (!m_impl || m_impl->next >= m_impl->order.size()) return false;
  const std::uint32_t i = m_impl->order[m_impl->next++];
  m_cur = m_impl->entries[i];  // the nameless copy keeps m_cur's name buffer for reuse
  m_cur.name.assign(m_impl->Name(i));
  return true;
}

void CBRMFileFind::Subfolders(std::vector<std::string>& names) const {
  if (!m_impl) return;
  for (std::size_t k = m_impl->next; k < m_impl->order.size(); ++k) {
    const std::uint32_t i = m_impl->order[k];
    const FindData& e = m_impl->entries[i];
    if ((e.attributes & kFindDirectory) && !e.isLink) names.emplace_back(m_impl->Name(i));
  }
}

bool StatPath(const std::string& path, FindData& out) {
  if (IsNetworkPath(path)) return StatNetworkPath(path, out);
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  std::size_t slash = name.rfind('/');
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (path.size() < PATH_MAX - 1) {
    out.name = base;
    return StatxAt(AT_FDCWD, path.c_str(), base, out);
  }
  DirHandle parent = DirHandle::Open(name.substr(0, slash == 0 ? 1 : slash));
  out.name = base;
  return parent.IsOpen() && StatxAt(parent.Fd(), base.c_str(), base, out);
}

bool StatAt(const DirHandle& dir, const std::string& name, FindData& out) {
  if (!dir.NetworkPath().empty()) return StatNetworkPath(dir.NetworkPath() + "/" + name, out);
  if (!dir.IsOpen()) return false;
  out.name = name;
  return StatxAt(dir.Fd(), name.c_str(), name, out);
}

bool GetVolumeInfo(const std::string& path, VolumeInfo& out) {
  const std::string key = path.empty() ? "/" : path;
  for (const Mount& m : Mounts()) {
    if (m.point != key) continue;
    out.fileSystem = m.fsType;
    out.compressed = m.options.find("compress") != std::string::npos;
    struct statvfs sv;
    out.serial.clear();
    if (::statvfs(key.c_str(), &sv) == 0) {
      char buf[16];
      unsigned v = static_cast<unsigned>(sv.f_fsid & 0xFFFFFFFFu);
      std::snprintf(buf, sizeof buf, "%04X-%04X", v >> 16, v & 0xFFFF);
      out.serial = buf;
    }
    return true;
  }
  return false;
}

std::string MountPointOf(const std::string& path) {
  std::string best = "/";
  for (const Mount& m : Mounts()) {
    const std::string& p = m.point;
    if (p == "/" || p.size() <= best.size()) continue;
    if (path.compare(0, p.size(), p) == 0 && (path.size() == p.size() || path[p.size()] == '/'))
      best = p;
  }
  return best;
}

}  // namespace orvane
