// The settings of the SMB provider and where its passwords come from.
//
// The settings live in smb.conf in the per-user folder (~/.config/Brenmoor/Orvane/smb.conf),
// written in the style of Samba's own file: "key = value" lines, "#" or ";" comments, section
// headers ignored, keys without regard to case or spaces. Orvane only reads this file and never
// writes a password into it or into any other file; a "password" key is ignored.
//
//   user = alice              the account; empty: the Kerberos ticket, else guest/anonymous
//   workgroup = OFFICE        the account's workgroup or domain
//   timeout = 5               seconds a server may take to answer (1 to 300)
//   port = 445                the server port (0 or absent: 445, then 139)
//   show hidden shares = no   list shares whose names end in "$" (never IPC$ or printers)
//   use kerberos = auto       yes, no, or auto (when a ticket cache is present)
//   browse network = yes      list the workgroups and servers the local network announces
//                             (the network root); no: only servers named in a path are reached
//
// The environment variable ORVANE_SMB_BROWSE=no turns browsing off whatever the file says: the
// tests set it, since browsing asks the whole local network (broadcasts), not one server.
//
// A password is taken, in this order, from the environment variable ORVANE_SMB_PASSWORD, the
// Secret Service (libsecret, when built with it), or the window's prompt, which is asked once
// per server and account in a run. Functions are safe from any thread.
#pragma once

#include <functional>
#include <string>

namespace orvane {

inline constexpr const char* kSmbPasswordVariable = "ORVANE_SMB_PASSWORD";
inline constexpr const char* kSmbBrowseVariable = "ORVANE_SMB_BROWSE";

struct SmbSettings {
  std::string user;
  std::string workgroup;
  int timeoutSeconds = 5;
  int port = 0;
  bool showHiddenShares = false;
  enum class Kerberos { kAuto, kYes, kNo } kerberos = Kerberos::kAuto;
  bool browseNetwork = true;
};

// Parses the text of a settings file; unknown keys and bad values keep the defaults.
SmbSettings ParseSmbSettings(const std::string& text);
// Reads the user's settings file; defaults when it is missing or unreadable.
SmbSettings LoadSmbSettings();

// Asks the user for the password of user on server; false when the user declines. Called on
// the thread that lists the network place, never on the window's own thread by Orvane itself.
using SmbPasswordPrompt =
    std::function<bool(const std::string& server, const std::string& user, std::string& password)>;
void SetSmbPasswordPrompt(SmbPasswordPrompt prompt);

// The password for user on server, from the sources above; empty when none gives one. The
// prompt's answer (or refusal) is kept for the rest of the run.
std::string FindSmbPassword(const std::string& server, const std::string& user);

// The Secret Service: look a password up, or store one (the window offers "remember"). Both
// fail quietly when Orvane was built without libsecret or no service runs.
bool LookupStoredSmbPassword(const std::string& server, const std::string& user,
                             std::string& password);
bool StoreSmbPassword(const std::string& server, const std::string& user,
                      const std::string& password);

}  // namespace orvane
