#include <gio/gio.h>

#include <mutex>
#include <unordered_map>

#include "base/unicode.h"
#include "platform/type_names.h"

namespace orvane {
namespace {

std::string Describe(const char* contentType) {
  gchar* desc = g_content_type_get_description(contentType);
  std::string out = desc ? desc : "";
  g_free(desc);
  return out;
}

}  // namespace

std::string GetTypeName(const std::string& name, bool isDirectory) {
  static std::mutex mutex;
  static std::unordered_map<std::string, std::string> cache;
  if (isDirectory) {
    static const std::string folder = [] {
      std::string d = Describe("inode/directory");
      return d.empty() ? std::string("File folder") : d;
    }();
    return folder;
  }
  std::size_t dot = name.rfind('.');
  // Names with an extension share a type; names without one are guessed whole.
  std::string key = dot == std::string::npos ? "\x01" + name : AsciiLower(name.substr(dot));
  std::lock_guard<std::mutex> lock(mutex);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  std::string probe = dot == std::string::npos ? name : "x" + key;
  gboolean uncertain = FALSE;
  gchar* type = g_content_type_guess(probe.c_str(), nullptr, 0, &uncertain);
  std::string result;
  if (type && !uncertain && !g_content_type_is_unknown(type)) result = Describe(type);
  g_free(type);
  if (result.empty()) {
    if (dot != std::string::npos && dot + 1 < name.size()) {
      std::string ext = name.substr(dot + 1);
      for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      result = ext + " file";
    } else {
      result = "File";
    }
  }
  if (cache.size() > 4096) cache.clear();
  cache.emplace(std::move(key), result);
  return result;
}

}  // namespace orvane
