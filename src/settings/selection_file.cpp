#include "settings/selection_file.h"

#include <algorithm>
#include <vector>

#include "platform/net_provider.h"
#include "platform/temp_files.h"
#include "platform/user_folders.h"

namespace orvane {

std::string EncodeSelection(const CheckedDirs& selection) {
  std::string out = "\xEF\xBB\xBF";
  for (const auto& [path, check] : selection) {
    // A line end inside a name cannot be told from the end of the entry: such a path is not
    // written (read back it would name another directory).
    if (path.find_first_of("\r\n") != std::string::npos) continue;
    out += SelectionCode(check);
    out += '|';
    out += path;
    out += "\r\n";
  }
  return out;
}

void ParseSelectionLines(const std::vector<std::string>& lines, CheckedDirs& selection) {
  for (const std::string& line : lines) {
    std::size_t bar = line.find('|');
    const std::optional<DirCheck> check = ParseSelectionCode(std::string_view(line).substr(0, bar));
    if (!check || bar == std::string::npos) continue;
    // Local paths from the root, or network places (smb://server/share, \\server\share, ...).
    std::string path = CanonicalNetworkPath(line.substr(bar + 1));
    if (path.empty() || (path[0] != '/' && !IsNetworkPath(path))) continue;
    if (path.find('\0') != std::string::npos) continue;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    selection[path] = *check;
  }
}

bool SaveSelection(const CheckedDirs& selection, const std::string& path) {
  return ReplaceFileContent(path, EncodeSelection(selection));
}

TextReadStatus LoadSelection(const std::string& path, CheckedDirs& selection) {
  std::vector<std::string> lines;
  // A damaged line (a NUL byte in it, say) costs that line alone: the others still load.
  TextReadStatus status = ReadTextLines(path, NoMarkAs::kGuessUtf16, kMaxSelectionFileSize, lines,
                                        NulChars::kKeepInLines);
  if (status != TextReadStatus::kOk) return status;
  CheckedDirs read;
  ParseSelectionLines(lines, read);
  // NUL bytes and not one usable line: some other kind of file was named, which says more
  // than "names no directories".
  if (read.empty() && std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find('\0') != std::string::npos;
      }))
    return TextReadStatus::kNotText;
  for (const auto& [dir, check] : read) selection[dir] = check;
  return status;
}

std::string GetRememberedSelectionPath() {
  std::string folder = GetUserFolder();
  if (folder.empty()) return {};
  return folder + GetProgramBaseName() + ".ovs";
}

}  // namespace orvane
