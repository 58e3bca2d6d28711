// Version data of executables: our own reader of the version resource of PE32 and PE32+ files
// (programs, libraries, drivers, resource-only libraries).
//
// The reader walks the MZ and PE headers, the section table and the resource directory to the
// version resource (type 16), then reads its fixed part and the strings of its first
// translation. Every offset, size and count in the file is checked against the bytes that are
// there; a file that is not PE, or is truncated or corrupt, leaves the record empty. Pure
// functions, safe from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orvane {

// The version group of a file record (listing columns 12 to 19). All texts start empty and both
// numbers start at 0; what the file does not provide stays so.
struct VersionInfo {
  // "FileVersion" of the string table, or the fixed part's file version as "%d.%d.%d.%d" (12).
  std::string fileVersion;
  // The fixed part's file version (most significant word in the upper 32 bits); 0 when the text
  // came from the string table or there is none. Sort key of column 12.
  std::uint64_t fileVersionNumber = 0;
  std::string productVersion;              // as fileVersion, from "ProductVersion" (13)
  std::uint64_t productVersionNumber = 0;  // sort key of column 13
  std::string productName;                 // "ProductName" (14)
  std::string comments;                    // "Comments" (18)
  std::string company;                     // "CompanyName" (17)
  std::string description;                 // "FileDescription" (15)
  std::string copyright;                   // "LegalCopyright" (16)
  std::string language;                    // English name of the first translation's language (19)
};

class ByteSource;

// Fills info from the bytes of a file, reading the headers and then only the resource bytes it
// needs. Clears info first. Returns true when a version resource was found (even if it gave no
// values), false for anything else.
bool ReadVersionInfo(const ByteSource& source, VersionInfo& info);

// The same for a whole file image. Clears info first. Returns true when a version resource
// was found (even if it gave no values), false for anything else.
bool ReadVersionInfo(std::span<const std::uint8_t> file, VersionInfo& info);

// The same for the file at path.
bool ReadVersionInfo(const std::string& path, VersionInfo& info);

// Fills info from a version resource alone (the VS_VERSIONINFO block). Does not clear info.
// Returns false when the block is not even a readable root block.
bool ParseVersionResource(std::span<const std::uint8_t> resource, VersionInfo& info);

// "%d.%d.%d.%d" of a 64-bit version number: the upper and lower 16 bits of its upper half, then
// of its lower half.
std::string FormatVersionNumber(std::uint64_t number);

}  // namespace orvane
