// The tree's ticked folders in selection files (".ovs"): "Load dirs selection", "Save dirs
// selection" and the remembered selection, in the file format of app/selection_file.h.
#pragma once

#include <string>

#include "app/selection_file.h"
#include "base/checked_dirs.h"

namespace orvane {

CheckedDirs ToCheckedDirs(const SelectionMap& map);
SelectionMap ToSelectionMap(const CheckedDirs& dirs);

// Writes the folders to a selection file. False when it could not be written.
bool SaveCheckedDirs(const CheckedDirs& dirs, const std::string& path);
// Reads a selection file; on any status but kOk, out is left empty.
TextReadStatus LoadCheckedDirs(const std::string& path, CheckedDirs& out);

}  // namespace orvane
