// RAR archives listed as directories: walks the file headers with RarReader and hands every
// member to an ArchiveSink.
//
// An archive that cannot be opened for listing (not a RAR archive, unreadable, or with
// encrypted headers) creates nothing and adds nothing. Otherwise the archive becomes a
// directory with the members read up to the end or up to the first damaged header. Member names
// are made safe with CleanMemberName. Runs on the calling thread; no shared state.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/archive_member.h"

namespace orvane {

// Lists the RAR file dirPath/archiveName through sink; baseLength is handed to
// BeginArchiveDir. Returns the sum of the members' unpacked sizes (0 when nothing was listed).
std::uint64_t ListRarArchive(const std::string& dirPath, const std::string& archiveName,
                             ArchiveSink& sink, int baseLength);
// The same for a RAR archive held in memory, reported as the file dirPath/archiveName.
std::uint64_t ListRarArchive(std::span<const std::uint8_t> bytes, const std::string& dirPath,
                             const std::string& archiveName, ArchiveSink& sink, int baseLength);

}  // namespace orvane
