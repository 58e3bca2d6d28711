// Zip archives listed as directories: walks the central directory in one forward pass over
// blocks of the archive and hands every member to an ArchiveSink.
//
// The archive always becomes a directory (BeginArchiveDir first, EndArchiveDir last), even when
// it cannot be opened or read: a damaged zip lists as an empty directory, or with the members
// read before the damage. Member data is never decompressed; memory stays bounded (about 1 MiB
// per read window) whatever sizes and counts the archive claims. Member names are made safe
// with CleanMemberName. Runs on the calling thread; no shared state.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/archive_member.h"

namespace orvane {

// Lists the zip file dirPath/archiveName through sink; baseLength is handed to
// BeginArchiveDir. Returns the sum of the members' uncompressed sizes.
std::uint64_t ListZipArchive(const std::string& dirPath, const std::string& archiveName,
                             ArchiveSink& sink, int baseLength);
// The same for a zip archive held in memory, reported as the file dirPath/archiveName.
std::uint64_t ListZipArchive(std::span<const std::uint8_t> bytes, const std::string& dirPath,
                             const std::string& archiveName, ArchiveSink& sink, int baseLength);

}  // namespace orvane
