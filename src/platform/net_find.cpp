// The network finder and the provider-independent rules of network places: which provider
// answers, servers that missed their time limit, warnings, and the order of entries.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cwchar>
#include <cwctype>
#include <map>
#include <mutex>
#include <set>

#include "platform/net_provider.h"

namespace orvane {
namespace {

std::mutex g_mutex;  // guards the provider choice and the memory of dead servers
NetProvider* g_provider = nullptr;
bool g_providerSet = false;
std::map<std::string, std::chrono::steady_clock::time_point> g_deadServers;
std::set<std::string> g_deniedWarned;

constexpr auto kDeadServerPause = std::chrono::seconds(60);

// Blank times for containers: a moment on 1 February 1970, shown as a blank date.
std::int64_t ContainerTime() {
  return SafeTime(-1) + 61;
}

std::wstring FoldKey(const std::string& name) {
  std::wstring key;
  std::mbstate_t state{};
  const char* p = name.data();
  std::size_t left = name.size();
  while (left > 0) {
    wchar_t wc = 0;
    std::size_t n = std::mbrtowc(&wc, p, left, &state);
    if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
      wc = static_cast<wchar_t>(0xFFFD);
      n = 1;
      state = std::mbstate_t{};
    }
    key += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc)));
    p += n;
    left -= n;
  }
  return key;
}

void SortByName(std::vector<FindData>& entries) {
  std::vector<std::pair<std::wstring, std::size_t>> keys;
  keys.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) keys.emplace_back(FoldKey(entries[i].name), i);
  std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return entries[a.second].name < entries[b.second].name;
  });
  std::vector<FindData> sorted;
  sorted.reserve(entries.size());
  for (const auto& k : keys) sorted.push_back(std::move(entries[k.second]));
  entries = std::move(sorted);
}

// The provider to ask for a location, or null when the server is resting after a failure.
NetProvider* ProviderFor(const NetLocation& loc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  NetProvider* p = g_providerSet ? g_provider : BuiltInNetProvider();
  if (!p || loc.kind == NetLocation::kInvalid) return nullptr;
  auto it = g_deadServers.find(loc.server);
  if (it != g_deadServers.end()) {
    if (std::chrono::steady_clock::now() - it->second < kDeadServerPause) return nullptr;
    g_deadServers.erase(it);
  }
  return p;
}

// Remembers a failed server and says so once; says once that a place refused access.
void NoteFailure(const NetLocation& loc, NetStatus status, const std::string& path) {
  std::string line;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (status == NetStatus::kTimedOut || status == NetStatus::kUnreachable) {
      if (!g_deadServers.emplace(loc.server, std::chrono::steady_clock::now()).second) return;
      line = "the network server \"" + loc.server + "\" " +
             (status == NetStatus::kTimedOut ? "did not answer within the time limit"
                                             : "cannot be reached") +
             "; its folders are listed as empty";
    } else if (status == NetStatus::kAccessDenied) {
      if (!g_deniedWarned.insert(path).second) return;
      line = "access to \"" + path + "\" was denied; it is listed as empty";
    } else {
      return;
    }
  }
  NetWarn(line);
}

int ErrnoOf(NetStatus status) {
  switch (status) {
    case NetStatus::kOk:
      return 0;
    case NetStatus::kNotFound:
      return ENOENT;
    case NetStatus::kAccessDenied:
      return EACCES;
    case NetStatus::kTimedOut:
      return ETIMEDOUT;
    case NetStatus::kUnreachable:
      return EHOSTUNREACH;
    case NetStatus::kFailed:
      break;
  }
  return EIO;
}

}  // namespace

void SetNetProvider(NetProvider* provider) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_provider = provider;
  g_providerSet = provider != nullptr;
  g_deadServers.clear();
  g_deniedWarned.clear();
}

NetProvider* GetNetProvider() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_providerSet ? g_provider : BuiltInNetProvider();
}

NetStatus ListNetworkPath(const std::string& path, std::vector<FindData>& out) {
  out.clear();
  const NetLocation loc = ParseNetworkPath(path);
  NetProvider* p = ProviderFor(loc);
  if (!p) return loc.kind == NetLocation::kInvalid ? NetStatus::kNotFound : NetStatus::kFailed;
  NetStatus status = p->List(loc, out);
  if (status != NetStatus::kOk) {
    out.clear();
    NoteFailure(loc, status, path);
    return status;
  }
  if (loc.kind != NetLocation::kShare)
    for (FindData& e : out) {
      e.attributes = kFindDirectory;
      e.size = 0;
      e.creation = e.lastWrite = e.lastAccess = ContainerTime();
      e.isLink = false;
    }
  SortByName(out);
  return status;
}

bool StatNetworkPath(const std::string& path, FindData& out) {
  const NetLocation loc = ParseNetworkPath(path);
  out = FindData();
  std::size_t cut = path.find_last_of("/\\");
  out.name = cut == std::string::npos ? path : path.substr(cut + 1);
  if (loc.kind != NetLocation::kShare) {
    if (loc.kind == NetLocation::kInvalid) return false;
    out.attributes = kFindDirectory;
    out.creation = out.lastWrite = out.lastAccess = ContainerTime();
    return true;
  }
  NetProvider* p = ProviderFor(loc);
  if (!p) return false;
  NetStatus status = p->Stat(loc, out);
  if (status == NetStatus::kTimedOut || status == NetStatus::kUnreachable)
    NoteFailure(loc, status, path);
  if (status == NetStatus::kOk && cut != std::string::npos) out.name = path.substr(cut + 1);
  return status == NetStatus::kOk;
}

std::unique_ptr<NetFile> OpenNetworkFile(const std::string& path) {
  const NetLocation loc = ParseNetworkPath(path);
  if (loc.kind != NetLocation::kShare) return nullptr;
  NetProvider* p = ProviderFor(loc);
  if (!p) return nullptr;
  NetStatus status = NetStatus::kOk;
  std::unique_ptr<NetFile> file = p->Open(loc, status);
  if (!file && (status == NetStatus::kTimedOut || status == NetStatus::kUnreachable))
    NoteFailure(loc, status, path);
  return file;
}

DirHandle DirHandle::OpenNetwork(std::string path) {
  DirHandle h;
  if (ParseNetworkPath(path).kind != NetLocation::kInvalid) h.m_net = std::move(path);
  return h;
}

DirHandle DirHandle::OpenNetworkChild(const std::string& name) const {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
    return DirHandle();
  return OpenNetwork(m_net + "/" + name);
}

DirHandle DirHandle::OpenNetworkParent() const {
  std::size_t cut = m_net.find_last_of("/\\");
  // A server's "\\" is part of its name, not a separator.
  while (cut != std::string::npos && cut > 0 && m_net[cut] == '\\' && m_net[cut - 1] == '\\')
    cut = m_net.find_last_of("/\\", cut - 2);
  if (cut == std::string::npos) return DirHandle();
  return OpenNetwork(m_net.substr(0, cut));
}

CBRMNetFind::CBRMNetFind() = default;
CBRMNetFind::~CBRMNetFind() = default;

void CBRMNetFind::Close() {
  m_netMode = false;
  m_netEntries.clear();
  m_netNext = 0;
  CBRMFileFind::Close();
}

bool CBRMNetFind::FindNetwork(const std::string& path) {
  Close();
  m_netMode = true;
  NetStatus status = ListNetworkPath(path, m_netEntries);
  if (status != NetStatus::kOk) {
    Close();
    errno = ErrnoOf(status);
    return false;
  }
  return true;
}

bool CBRMNetFind::FindFile(const std::string& path) {
  if (IsNetworkPath(path)) return FindNetwork(path);
  Close();
  // Anything else must be a local path from the root.
  if (!path.empty() && path[0] != '/') {
    errno = ENOENT;
    return false;
  }
  return CBRMFileFind::FindFile(path);
}

bool CBRMNetFind::FindFile(const DirHandle& dir) {
  if (!dir.NetworkPath().empty()) return FindNetwork(dir.NetworkPath());
  Close();
  return CBRMFileFind::FindFile(dir);
}

bool CBRMNetFind::FindNextFile() {
  if (!m_netMode) return CBRMFileFind::FindNextFile();
  if (m_netNext >= m_netEntries.size()) return false;
  m_cur = std::move(m_netEntries[m_netNext++]);
  return true;
}

std::size_t CBRMNetFind::EntriesLeft() const {
  if (!m_netMode) return CBRMFileFind::EntriesLeft();
  return m_netEntries.size() - std::min(m_netNext, m_netEntries.size());
}

void CBRMNetFind::Subfolders(std::vector<std::string>& names) const {
  if (!m_netMode) return CBRMFileFind::Subfolders(names);
  for (std::size_t i = m_netNext; i < m_netEntries.size(); ++i) {
    const FindData& e = m_netEntries[i];
    if ((e.attributes & kFindDirectory) && !e.isLink) names.push_back(e.name);
  }
}

}  // namespace orvane
