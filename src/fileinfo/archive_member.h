// Archives listed as directories: one member as the archive readers hand it over, the sink the
// listing engine implements to receive members, and helpers shared by the zip and rar listers.
//
// A lister calls the sink on the thread that called the lister (the listing worker); the sink
// owns every record it builds from the members. The free helpers are pure functions, safe from
// any thread (the time conversions read the process's time zone); a DosTimeConverter belongs to
// one listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Windows attribute bits of a member.
inline constexpr std::uint32_t kMemberReadOnly = 0x01;
inline constexpr std::uint32_t kMemberHidden = 0x02;
inline constexpr std::uint32_t kMemberSystem = 0x04;
inline constexpr std::uint32_t kMemberDirectory = 0x10;
inline constexpr std::uint32_t kMemberArchive = 0x20;
inline constexpr std::uint32_t kMemberCompressed = 0x800;

struct ArchiveMember {
  // Path inside the archive, components joined by "/". Never empty; holds no empty, "." or
  // ".." component and no NUL, so archive path + "/" + name stays inside the archive.
  std::string name;
  std::uint64_t size = 0;        // uncompressed size in bytes
  std::int64_t time = 0;         // last write, seconds since 1970 UTC; 0 when unknown
  std::uint32_t crc = 0;         // CRC-32 stored in the archive
  std::uint32_t attributes = 0;  // kMember* bits

  bool IsDirectory() const { return (attributes & kMemberDirectory) != 0; }
};

// Receives the members of one archive; implemented by the listing engine.
class ArchiveSink {
 public:
  virtual ~ArchiveSink() = default;

  // The archive dirPath + "/" + archiveName becomes a directory record with the given base
  // length. Called once, before any member.
  virtual void BeginArchiveDir(const std::string& dirPath, const std::string& archiveName,
                               int baseLength) = 0;
  // One member of the archive whose directory record is archivePath (ArchiveDirPath of the
  // two names above). Members come in archive order; a member's parent directories need not
  // have come before it.
  virtual void AddArchiveEntry(const std::string& archivePath, const ArchiveMember& member) = 0;
  // Called once after the last member with the sum of the members' sizes.
  virtual void EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                             std::uint64_t totalSize) = 0;
  // Polled between members; true stops the listing early (EndArchiveDir still follows).
  virtual bool StopRequested() const { return false; }
};

// dirPath + "/" + archiveName, without doubling the "/" of the root.
std::string ArchiveDirPath(std::string_view dirPath, std::string_view archiveName);

// Turns a stored member name (UTF-8) into a safe name for ArchiveMember::name: it ends at the
// first NUL; drive prefixes ("X:"), leading separators and everything up to a ".." component
// are cut; at most maxChars code points are kept; "\" and "/" both separate components, and
// empty and "." components are dropped. trailingSeparator tells whether the stored name (after
// cutting and shortening) ended in a separator, which marks a directory. The result may be
// empty (nothing left to list).
std::string CleanMemberName(std::string_view name, std::size_t maxChars, bool& trailingSeparator);
// The same into `out`, whose storage is reused: listers call it once per member.
void CleanMemberName(std::string_view name, std::size_t maxChars, bool& trailingSeparator,
                     std::string& out);

// A DOS date and time (date in the upper 16 bits), taken as local time, in seconds since 1970
// UTC; 0 when the date is not a valid calendar date.
std::int64_t DosDateTimeToSeconds(std::uint32_t dosDateTime);

// DosDateTimeToSeconds for the members of one archive, which mostly share their dates: the
// local-time conversion is done once per minute and reused for the seconds within it, and the
// zone's offset of the last minute is tried first for the next. The minutes converted lately are
// remembered with the offset tried first, so a minute met again (members of one folder written
// together, listed among others) is not converted again; the result is the same either way.
class DosTimeConverter {
 public:
  std::int64_t ToSeconds(std::uint32_t dosDateTime);

 private:
  struct Minute {
    std::uint32_t minute = ~std::uint32_t{0};
    std::int64_t hint = 0;    // the offset tried first
    std::int64_t start = 0;   // the minute's moment
    std::int64_t offset = 0;  // the zone's offset there
  };
  static constexpr std::size_t kRecentMinutes = 1024;

  std::uint32_t m_minute = ~std::uint32_t{0};  // dosDateTime without its seconds
  std::int64_t m_minuteStart = 0;
  std::int64_t m_offset = 0;     // the zone's offset at m_minuteStart
  std::vector<Minute> m_recent;  // by minute, made on first use
};

// Windows FILETIME (100 ns units since 1601 UTC) in seconds since 1970; 0 for a moment before
// the year 1900 or after the year 9999.
std::int64_t FileTimeToSeconds(std::uint64_t fileTime);

// Seconds since 1970; 0 for a moment before 1900 or after 9999 (dates the listing cannot show).
std::int64_t ClampListingTime(std::int64_t seconds);

// a + b, held at the largest value instead of wrapping.
inline std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a + b < a ? ~std::uint64_t{0} : a + b;
}

}  // namespace orvane
