#include "engine/formatting.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace orvane {
namespace {

// Inserts the thousand separator into a run of digits.
void AppendGrouped(std::string& out, const char* digits, std::size_t n, const NumberFormat& nf) {
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += nf.thousandSep;
    out.push_back(digits[i]);
  }
}

bool LocalTm(std::int64_t t, std::tm& tm) {
  std::time_t tt = static_cast<std::time_t>(t);
  return localtime_r(&tt, &tm) != nullptr;
}

}  // namespace

std::string FormatDateTimeUncached(std::int64_t t, const CListingOptions& o);

std::string FormatUnsigned(std::uint64_t value, const NumberFormat& nf) {
  char buf[24];
  const std::size_t n =
      static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, value).ptr - buf);
  std::string out;
  out.reserve(n + 8);
  AppendGrouped(out, buf, n, nf);
  return out;
}

std::string FormatInteger(std::int64_t value, const NumberFormat& nf) {
  if (value >= 0) return FormatUnsigned(static_cast<std::uint64_t>(value), nf);
  return "-" + FormatUnsigned(0 - static_cast<std::uint64_t>(value), nf);
}

std::string FormatQuotient(std::uint64_t numerator, std::uint64_t denominator, bool negative,
                           int digits, const NumberFormat& nf) {
  if (denominator == 0 || denominator > (std::uint64_t{1} << 31)) return std::string();
  if (digits < 0) digits = 0;
  if (digits > 9) digits = 9;
  std::uint64_t scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  std::uint64_t whole = numerator / denominator;
  const std::uint64_t rest = numerator % denominator;
  // rest < 2^31 and scale <= 10^9, so 2 * rest * scale stays below 2^62: the fraction in units
  // of the last digit, plus one half, floored, is the rounding with halves away from zero.
  std::uint64_t fraction = (2 * rest * scale + denominator) / (2 * denominator);
  if (fraction == scale) {
    fraction = 0;
    ++whole;
  }
  char buf[24];
  const std::size_t n =
      static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, whole).ptr - buf);
  std::string out;
  if (negative && (whole != 0 || fraction != 0)) out.push_back('-');
  AppendGrouped(out, buf, n, nf);
  if (digits > 0) {
    out += nf.decimalSep;
    std::snprintf(buf, sizeof buf, "%0*llu", digits, static_cast<unsigned long long>(fraction));
    out += buf;
  }
  return out;
}

std::string FormatNumber(std::int64_t value, int digits, const NumberFormat& nf,
                         const char* suffix) {
  std::string out;
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  if (digits == 0)
    out = FormatInteger(value, nf);
  else if (digits == 2)
    out = FormatQuotient(magnitude, 100, negative, 2, nf);
  else
    out = FormatQuotient(magnitude, 10000, negative, digits, nf);
  out += suffix;
  return out;
}

std::string FormatSize(std::uint64_t bytes, int unit, int precision, bool withUnit,
                       const NumberFormat& nf) {
  switch (unit) {
    case kBytes:
      return withUnit ? FormatUnsigned(bytes, nf) + " B" : FormatUnsigned(bytes, nf);
    case kKilobytes:
      return FormatQuotient(bytes, std::uint64_t{1} << 10, false, precision, nf) + " KB";
    case kMegabytes:
      return FormatQuotient(bytes, std::uint64_t{1} << 20, false, precision, nf) + " MB";
    case kDynamic:
      if (bytes < 1024) return FormatUnsigned(bytes, nf) + " B";
      if (bytes < 1048576) return FormatSize(bytes, kKilobytes, precision, withUnit, nf);
      if (bytes < 1073741824) return FormatSize(bytes, kMegabytes, precision, withUnit, nf);
      return FormatSize(bytes, kGigabytes, precision, withUnit, nf);
    default:
      return FormatQuotient(bytes, std::uint64_t{1} << 30, false, precision, nf) + " GB";
  }
}

namespace {

// True when every conversion of a strftime pattern depends on the calendar day alone (numeric
// fields of the date, no names, no zone, no time of day): its text can then be kept per day.
bool DayOnlyPattern(const std::string& pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (++i == pattern.size()) return false;
    if (std::string_view("YmdejyCuwUWGgVDFnt%").find(pattern[i]) == std::string_view::npos)
      return false;
  }
  return true;
}

// The date texts of the days met lately, per thread: rows of one listing mostly fall on a few
// hundred days, in any order. Direct-mapped by the day; a pattern change empties it.
class DayTexts {
 public:
  // The date text of the local day of tm in the given pattern.
  const std::string& Get(const std::tm& tm, const std::string& pattern) {
    if (pattern != m_pattern) {
      m_pattern = pattern;
      m_dayOnly = DayOnlyPattern(pattern);
      for (Entry& e : m_entries) e.day = kNoDay;
    }
    if (!m_dayOnly) return Format(m_scratch, tm);
    const std::int64_t day = static_cast<std::int64_t>(tm.tm_year) * 366 + tm.tm_yday;
    Entry& e = m_entries[static_cast<std::size_t>(day) % kEntries];
    if (e.day != day) {
      Format(e.text, tm);
      e.day = day;
    }
    return e.text;
  }

 private:
  static constexpr std::size_t kEntries = 512;
  static constexpr std::int64_t kNoDay = INT64_MIN;
  struct Entry {
    std::int64_t day = kNoDay;
    std::string text;
  };
  const std::string& Format(std::string& out, const std::tm& tm) const {
    char buf[129];
    out.assign(buf, std::strftime(buf, sizeof buf, m_pattern.c_str(), &tm));
    return out;
  }

  std::string m_pattern;
  bool m_dayOnly = false;
  std::string m_scratch;
  Entry m_entries[kEntries];
};

void AppendTwoDigits(std::string& out, int v) {
  out.push_back(static_cast<char>('0' + v / 10));
  out.push_back(static_cast<char>('0' + v % 10));
}

// The time of day in the time pattern: the two patterns the options offer are written directly,
// any other through strftime.
void AppendTimeOfDay(std::string& out, const std::tm& tm, const std::string& pattern) {
  const bool seconds = pattern == "%H:%M:%S";
  if ((seconds || pattern == "%H:%M") && tm.tm_hour >= 0 && tm.tm_hour < 100 && tm.tm_min >= 0 &&
      tm.tm_min < 100 && tm.tm_sec >= 0 && tm.tm_sec < 100) {
    AppendTwoDigits(out, tm.tm_hour);
    out.push_back(':');
    AppendTwoDigits(out, tm.tm_min);
    if (seconds) {
      out.push_back(':');
      AppendTwoDigits(out, tm.tm_sec);
    }
    return;
  }
  char buf[129];
  out.append(buf, std::strftime(buf, sizeof buf, pattern.c_str(), &tm));
}

}  // namespace

std::string FormatDateTime(std::int64_t t, const CListingOptions& o) {
  // Neighbouring rows often share a moment: the last text is kept per thread.
  struct Last {
    std::int64_t t = -1;
    std::string date, time, text;
    int showTime = -1, timeWidth = -1;
  };
  thread_local Last last;
  if (t == last.t && o.m_bShowTimeInDates == last.showTime && o.m_nTimeWidth == last.timeWidth &&
      o.m_strDateFormat == last.date && o.m_strTimeFormat == last.time)
    return last.text;
  std::string text = FormatDateTimeUncached(t, o);
  last.t = t;
  last.showTime = o.m_bShowTimeInDates;
  last.timeWidth = o.m_nTimeWidth;
  last.date = o.m_strDateFormat;
  last.time = o.m_strTimeFormat;
  last.text = text;
  return text;
}

std::string FormatDateTimeUncached(std::int64_t t, const CListingOptions& o) {
  std::tm tm;
  if (!LocalTm(t, tm)) return std::string();
  if (tm.tm_year == 70) {
    std::string blank(10, ' ');
    if (o.m_bShowTimeInDates) blank.append(static_cast<std::size_t>(1 + o.m_nTimeWidth), ' ');
    return blank;
  }
  thread_local DayTexts days;
  std::string out;
  out.reserve(32);
  out = days.Get(tm, o.m_strDateFormat);
  if (o.m_bShowTimeInDates) {
    out.push_back(' ');
    AppendTimeOfDay(out, tm, o.m_strTimeFormat);
  }
  return out;
}

std::string FormatDocDate(std::int64_t t, const CListingOptions& o) {
  if (t == 0) return std::string();
  std::string out = FormatLocal(t, o.m_strDateFormat);
  if (o.m_bShowTimeInDates) out += " " + FormatLocal(t, o.m_strTimeFormat);
  return out;
}

std::string FormatLength(std::int64_t ms) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(ms / 3600000),
                static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60));
  return buf;
}

std::string ApplyPathForm(const std::string& path, int form, int baseLength,
                          const std::string& mountPoint) {
  std::string full = path == "/" ? "/" : path + "/";
  switch (form) {
    case kPathNoDrive:
      if (mountPoint.size() > 1 && full.compare(0, mountPoint.size(), mountPoint) == 0 &&
          full.size() > mountPoint.size() && full[mountPoint.size()] == '/')
        return full.substr(mountPoint.size());
      return full;
    case kPathFromTop:
    case kPathTopIsRoot:
      if (baseLength > 0 && static_cast<std::size_t>(baseLength) <= full.size()) {
        std::string rest = full.substr(static_cast<std::size_t>(baseLength));
        return rest.empty() || rest[0] != '/' ? "/" + rest : rest;
      }
      return full;
    default:
      return full;
  }
}

}  // namespace orvane
