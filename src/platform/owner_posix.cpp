#include "platform/net_provider.h"
#include "platform/owner.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace orvane {
namespace {

struct OwnerCache {
  bool valid = false;
  std::uint32_t uid = 0;
  std::string text;
  std::uint64_t lookups = 0;
};

thread_local OwnerCache t_cache;

// Asks the user database for the name of uid; empty when it has none.
std::string LookUpUserName(uid_t uid) {
  long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(hint > 0 ? static_cast<std::size_t>(hint) : 1024);
  for (;;) {
    passwd pw{};
    passwd* found = nullptr;
    const int rc = getpwuid_r(uid, &pw, buf.data(), buf.size(), &found);
    if (rc == ERANGE && buf.size() < (1u << 20)) {
      buf.resize(buf.size() * 2);
      continue;
    }
    if (rc == EINTR) continue;
    return rc == 0 && found && found->pw_name ? std::string(found->pw_name) : std::string();
  }
}

}  // namespace

std::string OwnerNameForUid(std::uint32_t uid) {
  if (t_cache.valid && t_cache.uid == uid) return t_cache.text;
  ++t_cache.lookups;
  std::string name = LookUpUserName(static_cast<uid_t>(uid));
  t_cache.valid = true;
  t_cache.uid = uid;
  t_cache.text = name.empty() ? std::to_string(uid) : std::move(name);
  return t_cache.text;
}

std::string GetFileOwner(const std::string& path) {
  // A file on a share has a Windows owner that names no Linux account.
  if (IsNetworkPath(path)) return std::string();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) return std::string();
  return OwnerNameForUid(static_cast<std::uint32_t>(st.st_uid));
}

std::uint64_t OwnerLookupCount() {
  return t_cache.lookups;
}

}  // namespace orvane
