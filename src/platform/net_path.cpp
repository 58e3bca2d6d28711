// Network paths: the three spellings of a network place and their libsmbclient URLs.
#include <cctype>
#include <mutex>

#include "platform/net_provider.h"

namespace orvane {
namespace {

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

bool StartsWithProvider(const std::string& path) {
  const std::string name = kNetworkProviderName;
  return path.compare(0, name.size(), name) == 0 &&
         (path.size() == name.size() || IsSeparator(path[name.size()]));
}

// Splits at "/" and "\", keeping a server component's leading "\\" (the joint "/\\" or "\\\").
std::vector<std::string> Components(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < text.size()) {
    // In a run of three backslashes the first is the joint and the last two start the server.
    if (text.compare(i, 2, "\\\\") == 0 && (i + 2 >= text.size() || text[i + 2] != '\\')) {
      std::size_t end = i + 2;
      while (end < text.size() && !IsSeparator(text[end])) ++end;
      parts.push_back(text.substr(i, end - i));
      i = end;
      continue;
    }
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    parts.push_back(text.substr(i, end - i));
    i = end;
  }
  return parts;
}

// %-escapes everything libsmbclient could read as URL syntax; names reach the server unchanged.
std::string Escape(const std::string& name) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == ' ' || c == '$' ||
        c == '(' || c == ')' || c == '+' || c == ',' || c == '=' || c == '&' || c == '!' ||
        c == '\'') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

// The location of the components after the provider (tree form) or after "smb://".
NetLocation FromComponents(std::vector<std::string> parts, bool treeForm) {
  NetLocation loc;
  // The last component naming a server ("\\server") starts the server's part of the path.
  bool named = false;
  for (std::size_t i = parts.size(); i-- > 0;)
    if (parts[i].compare(0, 2, "\\\\") == 0) {
      parts[i].erase(0, 2);
      parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(i));
      named = true;
      break;
    }
  if (named && parts[0].empty()) return loc;
  if (!named && treeForm && parts.size() > 1) return loc;  // the tree names servers "\\x"
  for (const std::string& p : parts)
    if (p.empty() || p == "." || p == "..") return loc;
  if (parts.empty()) {
    loc.kind = NetLocation::kNetwork;
    loc.url = "smb://";
    return loc;
  }
  loc.server = parts[0];
  // The server keeps a ":port" as it is; its name is escaped like the rest.
  std::string host = parts[0], port;
  if (std::size_t colon = host.rfind(':'); colon != std::string::npos && colon + 1 < host.size()) {
    port = host.substr(colon);
    host.resize(colon);
  }
  loc.url = "smb://" + Escape(host) + port;
  for (std::size_t i = 1; i < parts.size(); ++i) loc.url += "/" + Escape(parts[i]);
  // smb://name may be a workgroup or a server; libsmbclient tells them apart when listing.
  if (parts.size() >= 2)
    loc.kind = NetLocation::kShare;
  else
    loc.kind = treeForm && !named ? NetLocation::kWorkgroup : NetLocation::kServer;
  return loc;
}

}  // namespace

bool IsNetworkPath(const std::string& path) {
  return StartsWithNoCase(path, "smb://") || path.compare(0, 2, "\\\\") == 0 ||
         StartsWithProvider(path);
}

NetLocation ParseNetworkPath(const std::string& path) {
  if (StartsWithNoCase(path, "smb://")) return FromComponents(Components(path.substr(6)), false);
  if (path.compare(0, 2, "\\\\") == 0) {
    NetLocation loc = FromComponents(Components(path), false);
    // A UNC path names at least a server.
    return loc.kind == NetLocation::kNetwork ? NetLocation{} : loc;
  }
  if (StartsWithProvider(path)) {
    const std::size_t n = std::string(kNetworkProviderName).size();
    return FromComponents(Components(path.substr(n)), true);
  }
  return {};
}

std::string CanonicalNetworkPath(const std::string& path) {
  if (path.compare(0, 2, "\\\\") != 0) return path;
  std::vector<std::string> parts = Components(path.substr(2));
  if (parts.empty()) return path;
  std::string out = "smb:/";
  for (const std::string& p : parts) out += "/" + p;
  return out;
}

namespace {
std::mutex g_warnMutex;
NetWarningHandler g_warn;
}  // namespace

void SetNetWarningHandler(NetWarningHandler handler) {
  std::lock_guard<std::mutex> lock(g_warnMutex);
  g_warn = std::move(handler);
}

void NetWarn(const std::string& line) {
  std::lock_guard<std::mutex> lock(g_warnMutex);
  if (g_warn) g_warn(line);
}

}  // namespace orvane
