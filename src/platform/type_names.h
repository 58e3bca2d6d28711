// Type names of files ("Type" column): the desktop's description of the content type guessed
// from the name alone, without touching the disk. Cached per extension; thread-safe.
#pragma once

#include <string>

namespace orvane {

// The description for a name ("PNG image", "Folder", ...). A name without a known type gets
// "<EXT> file" for an extension, or the generic "File" text.
std::string GetTypeName(const std::string& name, bool isDirectory);

}  // namespace orvane
