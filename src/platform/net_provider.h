// Network places: the provider behind CBRMNetFind and FileSource for paths on the network.
//
// Orvane names network places in three forms, all accepted wherever a directory path is:
//   smb://server/share/folder          the usual Linux form (names literal, no %-escapes)
//   \\server\share\folder               the Windows form, typed on the command line
//   Windows Network/WORKGROUP/\\server/share/folder
//                                       the tree's form: the provider, a workgroup, the server
//                                       by its full remote name, then the share and folders
// "/" and "\" are both accepted as separators after the server, and a component that starts with
// "\\" starts a server afresh, so the paths the scan builds by joining names with "/" stay valid.
//
// The provider answers for containers (the workgroups of the network, the servers of a
// workgroup, the disk shares of a server) and for the folders and files inside shares. Every call
// may block on the network for at most the provider's time limit; a server that missed it is not
// asked again for a minute, so a dead server costs the limit once, not once per folder. Calls
// are safe from any thread (the SMB provider serialises them).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_find.h"

namespace orvane {

// The provider's name: the network root of the tree and the first component of its paths.
inline constexpr const char* kNetworkProviderName = "Windows Network";

// True when path names a network place in one of the three forms.
bool IsNetworkPath(const std::string& path);

// What a network path points at, and the provider's URL for it (names %-escaped for
// libsmbclient; smb://server:port keeps its port).
struct NetLocation {
  enum Kind { kInvalid, kNetwork, kWorkgroup, kServer, kShare };  // kShare: a share or below it
  Kind kind = kInvalid;
  std::string url;
  std::string server;  // the server (or workgroup) named, without "\\"; empty for kNetwork
};
NetLocation ParseNetworkPath(const std::string& path);

// The smb:// form of a network path typed by a user (\\server\share becomes smb://server/share),
// so the listing shows one kind of separator. Other paths come back unchanged.
std::string CanonicalNetworkPath(const std::string& path);

enum class NetStatus { kOk, kNotFound, kAccessDenied, kTimedOut, kUnreachable, kFailed };

// An open file on a share.
class NetFile {
 public:
  virtual ~NetFile() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to len bytes at offset; the count read, 0 at the end, -1 on error.
  virtual long long ReadAt(std::uint64_t offset, void* buf, std::size_t len) = 0;
};

class NetProvider {
 public:
  virtual ~NetProvider() = default;
  // Lists a container (workgroups, servers named "\\server", disk shares) or a folder of a
  // share, without "." and "..", in no particular order. Container entries are directories
  // with blank times. On failure out is empty and the status says why.
  virtual NetStatus List(const NetLocation& where, std::vector<FindData>& out) = 0;
  // The status of one folder or file inside a share.
  virtual NetStatus Stat(const NetLocation& where, FindData& out) = 0;
  // Opens a regular file for reading; null on failure, with the status saying why.
  virtual std::unique_ptr<NetFile> Open(const NetLocation& where, NetStatus& status) = 0;
};

// The provider in use: the SMB provider when Orvane was built with libsmbclient, else none
// (then network paths list nothing and open nothing).
NetProvider* GetNetProvider();
// Replaces the provider (tests install a fake; null restores the built-in one).
void SetNetProvider(NetProvider* provider);
// The built-in provider: the SMB provider, or null when Orvane was built without libsmbclient.
NetProvider* BuiltInNetProvider();

// The status of a network place by path (a container is a directory with blank times). False
// when there is no provider or the place cannot be asked.
bool StatNetworkPath(const std::string& path, FindData& out);
// Lists a network place by path through the provider, sorted like local folders (case-folded
// names, then bytes). Listing kNetworkProviderName gives the workgroups of the local network:
// the tree shows its network root only when that list is not empty. Servers that missed their time
// limit or cannot be reached are warned about once and not asked again for a minute; a refused
// place is warned about once.
NetStatus ListNetworkPath(const std::string& path, std::vector<FindData>& out);
// Opens a file on a share by path; null when it cannot be opened (a server that stopped
// answering is remembered as for listings, so the next files do not wait for it again).
std::unique_ptr<NetFile> OpenNetworkFile(const std::string& path);

// Where warnings about network places go ("no answer from ..."): batch mode prints them on
// stderr, the window shows them. Without a handler they are dropped. One line per event.
using NetWarningHandler = std::function<void(const std::string& line)>;
void SetNetWarningHandler(NetWarningHandler handler);
void NetWarn(const std::string& line);

}  // namespace orvane
