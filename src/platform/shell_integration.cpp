#include "platform/shell_integration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace orvane {
namespace {

constexpr const char* kKdeFile = "/kio/servicemenus/org.brenmoor.Orvane.listing.desktop";
constexpr const char* kNautilusFile = "/nautilus/scripts/Orvane listing";
constexpr const char* kThunarFile = "/Thunar/uca.xml";
constexpr const char* kMarker = "Added by Orvane";  // in both files Orvane writes
constexpr const char* kThunarId = "<unique-id>orvane-listing</unique-id>";
constexpr const char* kThunarCreated =
    "<!-- Added by Orvane with its \"Orvane listing\" action -->\n";
constexpr const char* kThunarEmpty =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Folder(const std::string& path) {
  return path.substr(0, path.rfind('/'));
}

std::optional<std::string> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

// Writes through a temporary file in the same folder and renames it over path, so the old
// file stays whole when anything fails.
bool WriteAll(const std::string& path, const std::string& text, mode_t mode) {
  const std::string temp = path + ".orvane-new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.flush();
    if (!out) {
      unlink(temp.c_str());
      return false;
    }
  }
  if (chmod(temp.c_str(), mode) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

mode_t ModeOf(const std::string& path, mode_t fallback) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : fallback;
}

// Quoting of one argument for a POSIX shell (the Nautilus script, Thunar's command line).
std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Quoting of one argument of a desktop entry's Exec key, then the escapes of its string value.
std::string ExecQuote(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c == '%' ? std::string("%%") : std::string(1, c);
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

std::string KdeServiceMenu(const std::string& program) {
  return std::string("[Desktop Entry]\n") + "# " + kMarker + " (\"Enable shell integration\").\n" +
         "Type=Service\n" + "MimeType=inode/directory;\n" + "Actions=orvaneListing;\n" +
         "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n" + "X-KDE-Priority=TopLevel\n" + "\n" +
         "[Desktop Action orvaneListing]\n" + "Name=Orvane listing\n" +
         "Icon=org.brenmoor.Orvane\n" + "Exec=" + ExecQuote(program) + " /l %f\n";
}

std::string NautilusScript(const std::string& program) {
  return std::string("#!/bin/sh\n# ") + kMarker +
         " (\"Enable shell integration\"): lists each selected folder.\n"
         "for f in \"$@\"; do\n  if [ -d \"$f\" ]; then " +
         ShellQuote(program) + " /l \"$f\" & fi\ndone\n";
}

std::string ThunarAction(const std::string& program) {
  std::string command = ShellQuote(program);
  std::string escaped;
  for (char c : command) escaped += c == '%' ? std::string("%%") : std::string(1, c);
  return std::string(
             "<action>\n\t<icon>org.brenmoor.Orvane</icon>\n\t<name>Orvane listing</name>\n") +
         "\t" + kThunarId + "\n\t<command>" + XmlEscape(escaped) +
         " /l %f</command>\n\t<description>List this folder with Orvane</description>\n"
         "\t<patterns>*</patterns>\n\t<directories/>\n</action>\n";
}

// The span of Orvane's action in uca.xml: from the start of the line of its "<action>" to
// the end of the line of its "</action>". nullopt when there is none.
std::optional<std::pair<std::size_t, std::size_t>> ThunarActionSpan(const std::string& xml) {
  const std::size_t id = xml.find(kThunarId);
  if (id == std::string::npos) return std::nullopt;
  const std::size_t open = xml.rfind("<action>", id);
  const std::size_t close = xml.find("</action>", id);
  if (open == std::string::npos || close == std::string::npos) return std::nullopt;
  std::size_t begin = open;
  while (begin > 0 && (xml[begin - 1] == ' ' || xml[begin - 1] == '\t')) --begin;
  std::size_t end = close + std::string("</action>").size();
  if (end < xml.size() && xml[end] == '\n') ++end;
  return std::pair(begin, end);
}

// What the user's uca.xml starts from when there is none: Thunar's own actions of the system,
// which a user file would otherwise hide, or an empty list.
std::string ThunarBase(const ShellPlaces& places) {
  for (const std::string& dir : places.configDirs) {
    if (auto text = ReadAll(dir + kThunarFile)) return *text;
  }
  return kThunarEmpty;
}

bool InstallThunar(const std::string& program, const ShellPlaces& places) {
  const std::string path = places.configHome + kThunarFile;
  std::optional<std::string> xml = ReadAll(path);
  if (!xml) xml = kThunarCreated + ThunarBase(places);
  if (auto span = ThunarActionSpan(*xml)) xml->erase(span->first, span->second - span->first);
  const std::size_t end = xml->rfind("</actions>");
  if (end == std::string::npos) return false;  // not a list of actions: left alone
  xml->insert(end, ThunarAction(program));
  return WriteAll(path, *xml, ModeOf(path, 0644));
}

// nullopt: nothing of Orvane's there; else whether the removal was written.
std::optional<bool> RemoveThunar(const ShellPlaces& places) {
  const std::string path = places.configHome + kThunarFile;
  std::optional<std::string> xml = ReadAll(path);
  if (!xml) return std::nullopt;
  const auto span = ThunarActionSpan(*xml);
  if (!span) return std::nullopt;
  xml->erase(span->first, span->second - span->first);
  const std::string created = kThunarCreated;
  if (xml->compare(0, created.size(), created) == 0) {
    xml->erase(0, created.size());
    // The file was Orvane's from the start and holds nothing else now.
    if (*xml == ThunarBase(places)) return unlink(path.c_str()) == 0;
  }
  return WriteAll(path, *xml, ModeOf(path, 0644));
}

bool IsOrvaneFile(const std::string& path) {
  const std::optional<std::string> text = ReadAll(path);
  return text && text->find(kMarker) != std::string::npos;
}

void Note(ShellIntegrationResult& result, FileManager manager, bool ok) {
  (ok ? result.changed : result.failed).push_back(manager);
}

}  // namespace

ShellPlaces GetShellPlaces() {
  ShellPlaces places;
  const std::string home = Env("HOME");
  places.dataHome = Env("XDG_DATA_HOME");
  if (places.dataHome.empty() || places.dataHome[0] != '/')
    places.dataHome = home.empty() ? "" : home + "/.local/share";
  places.configHome = Env("XDG_CONFIG_HOME");
  if (places.configHome.empty() || places.configHome[0] != '/')
    places.configHome = home.empty() ? "" : home + "/.config";
  std::string dirs = Env("XDG_CONFIG_DIRS");
  if (dirs.empty()) dirs = "/etc/xdg";
  std::istringstream list(dirs);
  for (std::string dir; std::getline(list, dir, ':');) {
    if (!dir.empty() && dir[0] == '/') places.configDirs.push_back(dir);
  }
  return places;
}

ShellIntegrationResult InstallShellIntegration(const std::string& program,
                                               const ShellPlaces& places) {
  ShellIntegrationResult result;
  const std::string kde = places.dataHome + kKdeFile;
  if (!places.dataHome.empty() && IsDirectory(Folder(kde)))
    Note(result, FileManager::kKde, WriteAll(kde, KdeServiceMenu(program), 0755));
  const std::string nautilus = places.dataHome + kNautilusFile;
  if (!places.dataHome.empty() && IsDirectory(Folder(nautilus)))
    Note(result, FileManager::kNautilus, WriteAll(nautilus, NautilusScript(program), 0755));
  if (!places.configHome.empty() && IsDirectory(Folder(places.configHome + kThunarFile)))
    Note(result, FileManager::kThunar, InstallThunar(program, places));
  return result;
}

ShellIntegrationResult RemoveShellIntegration(const ShellPlaces& places) {
  ShellIntegrationResult result;
  if (!places.dataHome.empty()) {
    for (auto [manager, file] : {std::pair(FileManager::kKde, kKdeFile),
                                 std::pair(FileManager::kNautilus, kNautilusFile)}) {
      const std::string path = places.dataHome + file;
      if (IsOrvaneFile(path)) Note(result, manager, unlink(path.c_str()) == 0);
    }
  }
  if (!places.configHome.empty()) {
    if (std::optional<bool> removed = RemoveThunar(places))
      Note(result, FileManager::kThunar, *removed);
  }
  return result;
}

}  // namespace orvane
