#include "base/local_time.h"

#include <algorithm>
#include <ctime>

namespace orvane {

std::string FormatLocal(std::int64_t t, const std::string& pattern) {
  std::tm tm;
  const std::time_t tt = static_cast<std::time_t>(t);
  if (localtime_r(&tt, &tm) == nullptr) return std::string();
  char buf[129];
  std::size_t n = std::strftime(buf, sizeof buf, pattern.c_str(), &tm);
  return std::string(buf, n);
}

namespace {

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// The local zone's offset from UTC at a moment (localtime_r uses the zone already read).
std::int64_t OffsetAt(std::int64_t t) {
  std::tm tm;
  const std::time_t tt = static_cast<std::time_t>(t);
  return localtime_r(&tt, &tm) ? static_cast<std::int64_t>(tm.tm_gmtoff) : 0;
}

}  // namespace

std::int64_t LocalToMoment(int year, int month, int day, int hour, int minute, int second,
                           std::int64_t* offsetHint) {
  // Months out of range carry into the year; everything else adds up as seconds.
  std::int64_t y = year + (month - 1) / 12;
  int m = (month - 1) % 12;
  if (m < 0) {
    m += 12;
    --y;
  }
  const std::int64_t local = DaysFromCivil(y, static_cast<unsigned>(m + 1), 1) * 86400 +
                             (static_cast<std::int64_t>(day) - 1) * 86400 +
                             static_cast<std::int64_t>(hour) * 3600 + minute * 60 + second;
  // A moment fits when the zone's offset there leads back to the local time.
  if (offsetHint && OffsetAt(local - *offsetHint) == *offsetHint) return local - *offsetHint;
  // The offset at the local time read as UTC gives the first guess; the offset there fits when
  // it is the same.
  const std::int64_t offsetLocal = OffsetAt(local);
  const std::int64_t offset1 = OffsetAt(local - offsetLocal);
  std::int64_t offset = offset1;
  if (offset1 != offsetLocal) {
    // Near a change of the offset: the second guess fits unless clocks skipped this time, which
    // is then taken with the offset from before the change (the smaller one).
    const std::int64_t offset2 = OffsetAt(local - offset1);
    if (offset2 != offset1) offset = std::min(offset1, offset2);
  }
  if (offsetHint) *offsetHint = offset;
  return local - offset;
}

}  // namespace orvane
