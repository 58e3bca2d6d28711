#include "fileinfo/archive_member.h"

#include <vector>

#include "base/local_time.h"
#include "base/unicode.h"

namespace orvane {
namespace {

constexpr std::int64_t kYear1900 = -2208988800;    // 1900-01-01 00:00:00 UTC
constexpr std::int64_t kYear10000 = 253402300800;  // 10000-01-01 00:00:00 UTC

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

// Length in bytes of the UTF-8 sequence that starts with b (1 for an invalid lead byte).
std::size_t SequenceLength(unsigned char b) {
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

// Cuts from the front, until none applies: a drive prefix (one character and ":"), one leading
// separator, and everything up to and including the first separator-".."-separator.
std::string_view CutFront(std::string_view s) {
  for (;;) {
    const std::size_t first = s.empty() ? 0 : SequenceLength(static_cast<unsigned char>(s[0]));
    if (s.size() > first && s[first] == ':') {
      s.remove_prefix(first + 1);
      continue;
    }
    if (!s.empty() && IsSeparator(s[0])) {
      s.remove_prefix(1);
      continue;
    }
    bool cut = false;
    for (std::size_t i = 0; i + 4 <= s.size(); ++i) {
      if (IsSeparator(s[i]) && s[i + 1] == '.' && s[i + 2] == '.' && IsSeparator(s[i + 3])) {
        s.remove_prefix(i + 4);
        cut = true;
        break;
      }
    }
    if (!cut) return s;
  }
}

// True when name is ASCII and already in the cleaned form, apart from a trailing "/": the
// common case, handled without building the name again.
bool IsPlainName(std::string_view name, std::size_t maxChars) {
  if (name.size() > maxChars || (name.size() > 1 && name[1] == ':')) return false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    const char c = i < name.size() ? name[i] : '/';
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\\' || c == '\0') return false;
    if (c != '/') continue;
    const std::string_view part = name.substr(start, i - start);
    if ((part.empty() && i != name.size()) || part == "." || part == "..") return false;
    start = i + 1;
  }
  return true;
}

}  // namespace

std::string ArchiveDirPath(std::string_view dirPath, std::string_view archiveName) {
  std::string path(dirPath);
  if (path.empty() || path.back() != '/') path += '/';
  path += archiveName;
  return path;
}

std::string CleanMemberName(std::string_view name, std::size_t maxChars, bool& trailingSeparator) {
  std::string out;
  CleanMemberName(name, maxChars, trailingSeparator, out);
  return out;
}

void CleanMemberName(std::string_view name, std::size_t maxChars, bool& trailingSeparator,
                     std::string& out) {
  if (IsPlainName(name, maxChars)) {
    trailingSeparator = !name.empty() && name.back() == '/';
    out.assign(trailingSeparator ? name.substr(0, name.size() - 1) : name);
    return;
  }
  if (const std::size_t nul = name.find('\0'); nul != std::string_view::npos)
    name = name.substr(0, nul);
  const std::string valid = SanitizeUtf8(name);
  name = CutFront(valid);
  // Keep at most maxChars code points.
  std::size_t end = 0;
  for (std::size_t chars = 0; end < name.size() && chars < maxChars; ++chars)
    end += SequenceLength(static_cast<unsigned char>(name[end]));
  name = name.substr(0, end < name.size() ? end : name.size());
  trailingSeparator = !name.empty() && IsSeparator(name.back());

  // Rebuild from the components that name something; ".." drops what came before it.
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !IsSeparator(name[i])) continue;
    const std::string_view part = name.substr(start, i - start);
    start = i + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      parts.clear();
      continue;
    }
    parts.push_back(part);
  }
  out.clear();
  for (const std::string_view part : parts) {
    if (!out.empty()) out += '/';
    out += part;
  }
}

namespace {

// A DOS date and time as local time, with the zone's offset hint of LocalToMoment.
std::int64_t DosToMoment(std::uint32_t dosDateTime, std::int64_t* offsetHint) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t time = dosDateTime & 0xFFFF;
  const int year = static_cast<int>(date >> 9) + 1980;
  const int month = static_cast<int>((date >> 5) & 0x0F);
  const int day = static_cast<int>(date & 0x1F);
  const int hour = static_cast<int>(time >> 11);
  const int minute = static_cast<int>((time >> 5) & 0x3F);
  const int second = static_cast<int>(time & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return 0;
  // The zone read once for the run: no look-up of the system's zone per member.
  return LocalToMoment(year, month, day, hour, minute, second, offsetHint);
}

}  // namespace

std::int64_t DosDateTimeToSeconds(std::uint32_t dosDateTime) {
  return DosToMoment(dosDateTime, nullptr);
}

std::int64_t DosTimeConverter::ToSeconds(std::uint32_t dosDateTime) {
  const std::uint32_t seconds = (dosDateTime & 0x1F) * 2;
  if (seconds > 59) return 0;
  if ((dosDateTime >> 5) != m_minute) {
    m_minute = dosDateTime >> 5;
    if (m_recent.empty()) m_recent.resize(kRecentMinutes);
    // The conversion depends on the minute and the offset tried first, nothing else.
    Minute& recent = m_recent[(m_minute * 2654435761u >> 16) % kRecentMinutes];
    if (recent.minute == m_minute && recent.hint == m_offset) {
      m_minuteStart = recent.start;
      m_offset = recent.offset;
    } else {
      recent.minute = m_minute;
      recent.hint = m_offset;
      m_minuteStart = DosToMoment(dosDateTime & ~std::uint32_t{0x1F}, &m_offset);
      recent.start = m_minuteStart;
      recent.offset = m_offset;
    }
  }
  return m_minuteStart == 0 ? 0 : m_minuteStart + seconds;
}

std::int64_t FileTimeToSeconds(std::uint64_t fileTime) {
  constexpr std::int64_t kEpochDelta = 11644473600;  // seconds from 1601 to 1970
  return ClampListingTime(static_cast<std::int64_t>(fileTime / 10000000) - kEpochDelta);
}

std::int64_t ClampListingTime(std::int64_t seconds) {
  return seconds < kYear1900 || seconds >= kYear10000 ? 0 : seconds;
}

}  // namespace orvane
