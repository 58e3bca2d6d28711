// The SMB provider: network places through libsmbclient.
//
// One libsmbclient context serves the whole process; libsmbclient contexts are not safe for
// concurrent use, so every call holds the provider's lock. The library is loaded and the
// context made on first use, with the settings of smb.conf in the per-user folder (time limit,
// port, account, Kerberos).
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/net_provider.h"
#include "platform/smb_library.h"
#include "platform/smb_settings.h"

namespace orvane {
namespace {

constexpr std::uint32_t kDosAttributeMask =
    kFindReadOnly | kFindHidden | kFindSystem | kFindDirectory | kFindArchive | kFindCompressed;

SmbSettings g_settings;  // written once, before the context is made, under the provider lock

NetStatus StatusOfErrno(int err) {
  switch (err) {
    case ETIMEDOUT:
      return NetStatus::kTimedOut;
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
      return NetStatus::kUnreachable;
    case EACCES:
    case EPERM:
      return NetStatus::kAccessDenied;
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
      return NetStatus::kNotFound;
    default:
      return NetStatus::kFailed;
  }
}

void CopyField(char* dest, int size, const std::string& value) {
  if (size <= 0) return;
  std::strncpy(dest, value.c_str(), static_cast<std::size_t>(size) - 1);
  dest[size - 1] = 0;
}

// libsmbclient asks for an account whenever it connects to a share.
void Authenticate(SMBCCTX*, const char* server, const char*, char* workgroup, int workgroupLen,
                  char* user, int userLen, char* password, int passwordLen) {
  if (!g_settings.workgroup.empty()) CopyField(workgroup, workgroupLen, g_settings.workgroup);
  CopyField(user, userLen, g_settings.user);
  // No account configured: guest or anonymous, as the server allows.
  const std::string pw =
      g_settings.user.empty() ? std::string() : FindSmbPassword(server, g_settings.user);
  CopyField(password, passwordLen, pw);
}

bool HaveTicketCache() {
  if (const char* cc = std::getenv("KRB5CCNAME"); cc && *cc) return true;
  const std::string def = "/tmp/krb5cc_" + std::to_string(::getuid());
  return ::access(def.c_str(), R_OK) == 0;
}

std::int64_t Seconds(const struct timespec& ts) {
  return SafeTime(static_cast<std::int64_t>(ts.tv_sec));
}

// Undoes the %-escapes of a URL component.
std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

class SmbProvider;

class SmbFile : public NetFile {
 public:
  SmbFile(SmbProvider& owner, SMBCFILE* file, std::uint64_t size)
      : m_owner(owner), m_file(file), m_size(size) {}
  ~SmbFile() override;
  std::uint64_t Size() const override { return m_size; }
  long long ReadAt(std::uint64_t offset, void* buf, std::size_t len) override;

 private:
  SmbProvider& m_owner;
  SMBCFILE* m_file;
  std::uint64_t m_size;
};

class SmbProvider : public NetProvider {
 public:
  ~SmbProvider() override {
    if (m_ctx) m_lib->freeContext(m_ctx, 1);
  }

  NetStatus List(const NetLocation& where, std::vector<FindData>& out) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    SMBCCTX* ctx = Context();
    if (!ctx) return NetStatus::kFailed;
    // The network root and a workgroup are answered by the whole local network, not by one
    // server: only asked when browsing is on.
    if ((where.kind == NetLocation::kNetwork || where.kind == NetLocation::kWorkgroup) &&
        !g_settings.browseNetwork)
      return NetStatus::kNotFound;
    if (!Answers(where.server)) return NetStatus::kTimedOut;
    if (where.kind == NetLocation::kShare && TakeStash(where.url, out)) return NetStatus::kOk;
    errno = 0;
    SMBCFILE* dir = m_lib->opendir(ctx)(ctx, where.url.c_str());
    if (!dir) return StatusOfErrno(errno);
    if (where.kind == NetLocation::kShare)
      ReadFolder(ctx, dir, out, nullptr);
    else
      ReadContainer(ctx, dir, out);
    m_lib->closedir(ctx)(ctx, dir);
    return NetStatus::kOk;
  }

  // The protocol gives a folder's DOS attributes and birth time only in listings: a folder
  // reads them from its own "." entry, a file from its entry in its folder. The folder's
  // listing is kept for the List that follows, so a folder is listed once, not twice.
  NetStatus Stat(const NetLocation& where, FindData& out) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    SMBCCTX* ctx = Context();
    if (!ctx) return NetStatus::kFailed;
    if (!Answers(where.server)) return NetStatus::kTimedOut;
    errno = 0;
    if (SMBCFILE* dir = m_lib->opendir(ctx)(ctx, where.url.c_str())) {
      FindData self;
      self.name.clear();
      m_stash.clear();
      ReadFolder(ctx, dir, m_stash, &self);
      m_lib->closedir(ctx)(ctx, dir);
      m_stashUrl = where.url;
      m_stashTime = std::chrono::steady_clock::now();
      if (self.name == ".") {
        out = self;
        return NetStatus::kOk;
      }
      errno = 0;
    }
    if (errno == 0) {
      // A folder that lists no "." of its own: its times from the plain status.
      struct stat st {};
      if (m_lib->stat(ctx)(ctx, where.url.c_str(), &st) < 0) return StatusOfErrno(errno);
      out.attributes = kFindDirectory;
      out.size = 0;
      out.creation = 0;
      out.lastWrite = SafeTime(st.st_mtime);
      out.lastAccess = SafeTime(st.st_atime);
      return NetStatus::kOk;
    }
    if (errno != ENOTDIR) return StatusOfErrno(errno);
    const std::size_t cut = where.url.rfind('/');
    const std::string name = Unescape(where.url.substr(cut + 1));
    if (FindEntry(ctx, where.url.substr(0, cut), name, out)) return NetStatus::kOk;
    return errno ? StatusOfErrno(errno) : NetStatus::kNotFound;
  }

  std::unique_ptr<NetFile> Open(const NetLocation& where, NetStatus& status) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    status = NetStatus::kFailed;
    SMBCCTX* ctx = Context();
    if (!ctx) return nullptr;
    if (!Answers(where.server)) {
      status = NetStatus::kTimedOut;
      return nullptr;
    }
    errno = 0;
    SMBCFILE* f = m_lib->open(ctx)(ctx, where.url.c_str(), O_RDONLY, 0);
    if (!f) {
      status = StatusOfErrno(errno);
      return nullptr;
    }
    struct stat st {};
    if (m_lib->fstat(ctx)(ctx, f, &st) < 0 || !S_ISREG(st.st_mode)) {
      m_lib->close(ctx)(ctx, f);
      return nullptr;
    }
    status = NetStatus::kOk;
    return std::make_unique<SmbFile>(*this, f, static_cast<std::uint64_t>(st.st_size));
  }

  long long Read(SMBCFILE* f, std::uint64_t offset, void* buf, std::size_t len) {
    std::lock_guard<std::mutex> lock(m_mutex);
    SMBCCTX* ctx = m_ctx;
    if (!ctx) return -1;
    if (m_lib->lseek(ctx)(ctx, f, static_cast<off_t>(offset), SEEK_SET) < 0) return -1;
    std::size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < len) {
      ssize_t n = m_lib->read(ctx)(ctx, f, p + done, len - done);
      if (n < 0) return done ? static_cast<long long>(done) : -1;
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
  }

  void CloseFile(SMBCFILE* f) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ctx) m_lib->close(m_ctx)(m_ctx, f);
  }

 private:
  // The context, made on first use; null when libsmbclient cannot start.
  SMBCCTX* Context() {
    if (m_ctx || m_failed) return m_ctx;
    m_lib = SmbClientLibrary();
    if (!m_lib) {
      m_failed = true;
      return nullptr;
    }
    g_settings = LoadSmbSettings();
    SMBCCTX* ctx = m_lib->newContext();
    if (!ctx) {
      m_failed = true;
      return nullptr;
    }
    m_lib->setDebug(ctx, 0);
    m_lib->setTimeout(ctx, g_settings.timeoutSeconds * 1000);
    if (g_settings.port > 0) m_lib->setPort(ctx, static_cast<std::uint16_t>(g_settings.port));
    m_lib->setAuthData(ctx, Authenticate);
    const bool kerberos =
        g_settings.kerberos == SmbSettings::Kerberos::kYes ||
        (g_settings.kerberos == SmbSettings::Kerberos::kAuto && HaveTicketCache());
    m_lib->setUseKerberos(ctx, kerberos);
    m_lib->setFallbackAfterKerberos(ctx, kerberos);
    m_lib->setUseCCache(ctx, kerberos);
    if (!m_lib->initContext(ctx)) {
      m_lib->freeContext(ctx, 0);
      m_failed = true;
      return nullptr;
    }
    m_ctx = ctx;
    return m_ctx;
  }

  static void FromInfo(const libsmb_file_info& info, FindData& e) {
    e.name = info.name;
    e.attributes = info.attrs & kDosAttributeMask;
    e.size = (e.attributes & kFindDirectory) ? 0 : info.size;
    e.creation = info.btime_ts.tv_sec > 0 ? Seconds(info.btime_ts) : 0;
    e.lastWrite = Seconds(info.mtime_ts);
    e.lastAccess = Seconds(info.atime_ts);
    e.isLink = false;
  }

  // Reads a folder's entries; its own "." entry goes to self when asked for.
  void ReadFolder(SMBCCTX* ctx, SMBCFILE* dir, std::vector<FindData>& out, FindData* self) {
    auto next = m_lib->readdirPlus2(ctx);
    struct stat st {};
    while (const libsmb_file_info* info = next(ctx, dir, &st)) {
      if (!info->name || !*info->name) continue;
      if (std::strcmp(info->name, ".") == 0 && self) FromInfo(*info, *self);
      if (std::strcmp(info->name, ".") == 0 || std::strcmp(info->name, "..") == 0) continue;
      FindData e;
      FromInfo(*info, e);
      out.push_back(std::move(e));
    }
  }

  // Finds the entry name in the folder at url; false with errno set when the folder cannot be
  // listed, false with errno 0 when it has no such entry.
  bool FindEntry(SMBCCTX* ctx, const std::string& url, const std::string& name, FindData& out) {
    SMBCFILE* dir = m_lib->opendir(ctx)(ctx, url.c_str());
    if (!dir) return false;
    auto next = m_lib->readdirPlus2(ctx);
    struct stat st {};
    bool found = false;
    while (const libsmb_file_info* info = next(ctx, dir, &st)) {
      if (info->name && name == info->name) {
        FromInfo(*info, out);
        found = true;
        break;
      }
    }
    m_lib->closedir(ctx)(ctx, dir);
    errno = 0;
    return found;
  }

  void ReadContainer(SMBCCTX* ctx, SMBCFILE* dir, std::vector<FindData>& out) {
    auto next = m_lib->readdir(ctx);
    while (const smbc_dirent* d = next(ctx, dir)) {
      std::string name = d->name;
      if (name.empty()) continue;
      switch (d->smbc_type) {
        case SMBC_WORKGROUP:
          break;
        case SMBC_SERVER:
          name = "\\\\" + name;
          break;
        case SMBC_FILE_SHARE:
          // Administrative and hidden shares end in "$"; only disk shares are places.
          if (name.back() == '$' && !g_settings.showHiddenShares) continue;
          break;
        default:
          continue;  // printers, IPC$, communication devices, files
      }
      FindData e;
      e.name = std::move(name);
      out.push_back(std::move(e));
    }
  }

  // libsmbclient gives up connecting after its own fixed delay, whatever its time limit: a
  // server whose port swallows connection attempts is found here, within the user's limit.
  // Names that the system cannot resolve (NetBIOS names, workgroups) are left to libsmbclient.
  bool Answers(const std::string& server) {
    if (server.empty()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (auto it = m_answered.find(server);
        it != m_answered.end() && now - it->second < std::chrono::seconds(60))
      return true;
    std::string host = server, port = g_settings.port > 0 ? std::to_string(g_settings.port) : "445";
    if (std::size_t colon = host.rfind(':'); colon != std::string::npos) {
      port = host.substr(colon + 1);
      host.resize(colon);
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) return true;
    bool answered = true;
    int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
      if (::connect(fd, found->ai_addr, found->ai_addrlen) != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int n;
        do {
          n = ::poll(&p, 1, g_settings.timeoutSeconds * 1000);
        } while (n < 0 && errno == EINTR);
        answered = n != 0;
      }
      ::close(fd);
    }
    freeaddrinfo(found);
    if (answered) m_answered[server] = now;
    return answered;
  }

  // The listing read by the last Stat of a folder, if it was that folder's and fresh.
  bool TakeStash(const std::string& url, std::vector<FindData>& out) {
    const bool fresh = m_stashUrl == url &&
                       std::chrono::steady_clock::now() - m_stashTime < std::chrono::seconds(5);
    if (fresh) out = std::move(m_stash);
    m_stash.clear();
    m_stashUrl.clear();
    return fresh;
  }

  std::mutex m_mutex;
  std::map<std::string, std::chrono::steady_clock::time_point> m_answered;
  std::vector<FindData> m_stash;
  std::string m_stashUrl;
  std::chrono::steady_clock::time_point m_stashTime;
  const SmbLibrary* m_lib = nullptr;  // set with the context
  SMBCCTX* m_ctx = nullptr;
  bool m_failed = false;
};

SmbFile::~SmbFile() {
  m_owner.CloseFile(m_file);
}

long long SmbFile::ReadAt(std::uint64_t offset, void* buf, std::size_t len) {
  return m_owner.Read(m_file, offset, buf, len);
}

}  // namespace

NetProvider* BuiltInNetProvider() {
  static SmbProvider provider;
  return &provider;
}

}  // namespace orvane
