// Reading the SMB settings file and gathering passwords.
#include "platform/smb_settings.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/user_folders.h"

namespace orvane {
namespace {

// "Show Hidden  Shares" -> "showhiddenshares"
std::string KeyOf(const std::string& text) {
  std::string key;
  for (unsigned char c : text)
    if (!std::isspace(c)) key += static_cast<char>(std::tolower(c));
  return key;
}

std::string Trim(const std::string& s) {
  std::size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  std::size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// 1 yes, 0 no, -1 neither.
int Boolean(const std::string& value) {
  const std::string v = KeyOf(value);
  if (v == "yes" || v == "true" || v == "1" || v == "on") return 1;
  if (v == "no" || v == "false" || v == "0" || v == "off") return 0;
  return -1;
}

bool Number(const std::string& value, int low, int high, int& out) {
  if (value.empty() || value.size() > 6) return false;
  for (char c : value)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  int n = std::atoi(value.c_str());
  if (n < low || n > high) return false;
  out = n;
  return true;
}

std::mutex g_mutex;
SmbPasswordPrompt g_prompt;
std::map<std::string, std::string> g_answers;  // server + "\n" + user -> the prompt's answer

}  // namespace

SmbSettings ParseSmbSettings(const std::string& text) {
  SmbSettings s;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = KeyOf(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    if (key == "user" || key == "username") {
      s.user = value;
    } else if (key == "workgroup" || key == "domain") {
      s.workgroup = value;
    } else if (key == "timeout") {
      Number(value, 1, 300, s.timeoutSeconds);
    } else if (key == "port") {
      Number(value, 0, 65535, s.port);
    } else if (key == "browsenetwork") {
      if (int b = Boolean(value); b >= 0) s.browseNetwork = b == 1;
    } else if (key == "showhiddenshares") {
      if (int b = Boolean(value); b >= 0) s.showHiddenShares = b == 1;
    } else if (key == "usekerberos") {
      int b = Boolean(value);
      if (b >= 0)
        s.kerberos = b ? SmbSettings::Kerberos::kYes : SmbSettings::Kerberos::kNo;
      else if (KeyOf(value) == "auto")
        s.kerberos = SmbSettings::Kerberos::kAuto;
    }
  }
  return s;
}

SmbSettings LoadSmbSettings() {
  SmbSettings s;
  const std::string folder = GetUserFolder(false);
  if (!folder.empty()) {
    std::ifstream f(folder + "smb.conf", std::ios::binary);
    std::ostringstream text;
    if (f) text << f.rdbuf();
    s = ParseSmbSettings(text.str());
  }
  if (const char* browse = std::getenv(kSmbBrowseVariable); browse && Boolean(browse) == 0)
    s.browseNetwork = false;
  return s;
}

void SetSmbPasswordPrompt(SmbPasswordPrompt prompt) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_prompt = std::move(prompt);
  g_answers.clear();
}

std::string FindSmbPassword(const std::string& server, const std::string& user) {
  if (const char* env = std::getenv(kSmbPasswordVariable); env && *env) return env;
  std::string password;
  if (LookupStoredSmbPassword(server, user, password)) return password;
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::string key = server + "\n" + user;
  if (auto it = g_answers.find(key); it != g_answers.end()) return it->second;
  if (g_prompt && !g_prompt(server, user, password)) password.clear();
  g_answers[key] = password;
  return password;
}

}  // namespace orvane
