#include "ui/tree/tree_selection_file.h"

namespace orvane {

CheckedDirs ToCheckedDirs(const SelectionMap& map) {
  CheckedDirs dirs;
  for (const auto& [path, code] : map)
    if (auto check = ParseSelectionCode(code)) dirs[path] = *check;
  return dirs;
}

SelectionMap ToSelectionMap(const CheckedDirs& dirs) {
  SelectionMap map;
  for (const auto& [path, check] : dirs) map[path] = SelectionCode(check);
  return map;
}

bool SaveCheckedDirs(const CheckedDirs& dirs, const std::string& path) {
  return SaveSelection(ToSelectionMap(dirs), path);
}

TextReadStatus LoadCheckedDirs(const std::string& path, CheckedDirs& out) {
  SelectionMap map;
  out.clear();
  TextReadStatus status = LoadSelection(path, map);
  if (status == TextReadStatus::kOk) out = ToCheckedDirs(map);
  return status;
}

}  // namespace orvane
