// Directory selection files (".ovs"): one line per ticked directory, the code "3" (with all
// its subdirectories) or "2" (the directory alone), "|", and the directory's path.
//
// Written as UTF-8 with a byte-order mark and CR LF line ends; read as UTF-8 (with or without
// the mark) or UTF-16 little-endian. A file that cannot be read gives no entries; a line that
// does not parse (a bad code, a relative path, a NUL byte) is skipped and the others are kept. Pure
// functions apart from the file access; safe from any thread.
#pragma once

#include <string>
#include <vector>

#include "base/checked_dirs.h"
#include "settings/text_file.h"

namespace orvane {

// The file image of a selection.
std::string EncodeSelection(const CheckedDirs& selection);
// Adds the entries of the lines to selection (a later line for the same path wins). Lines
// whose code is not "2" or "3", and paths that are empty, relative or hold a NUL, are skipped;
// final "/" are dropped from paths (the root stays "/").
void ParseSelectionLines(const std::vector<std::string>& lines, CheckedDirs& selection);

// Writes the file (through a temporary file and a rename). False when it could not be written.
bool SaveSelection(const CheckedDirs& selection, const std::string& path);
// Reads a file into selection (merged into what is there; a path read wins). On any status but
// kOk nothing is added; a file with NUL bytes in which no line parses gives kNotText.
TextReadStatus LoadSelection(const std::string& path, CheckedDirs& selection);

// The remembered selection: per-user folder + program base name + ".ovs"; empty when there is
// no per-user folder.
std::string GetRememberedSelectionPath();

}  // namespace orvane
