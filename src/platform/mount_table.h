// Helpers for reading the mount table (/proc/self/mountinfo): its escaped fields and which file
// systems are the system's own rather than volumes a user keeps files on. Pure functions; safe
// from any thread.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// A mountinfo field with its "\ooo" escapes (space, tab, newline, backslash) decoded.
std::string UnescapeMountField(std::string_view field);

// Whether a mount of file system `fs` at `point` is a pseudo file system (proc, sysfs, cgroup,
// the system's tmpfs under /dev, /run, /sys, /proc, ...), never shown as a volume.
bool IsPseudoFileSystem(const std::string& fs, const std::string& point);

// Whether point is top itself or lies below it.
bool IsUnderPath(const std::string& point, const char* top);

}  // namespace orvane
