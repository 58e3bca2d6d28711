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

std::int64_t LocalToMoment(int year, int month, int day, int hour, int minute, int second) {
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
  // A moment fits when the zone's offset there leads back to the local time. The offset at the
  // local time read as UTC gives the first guess; the offset at that guess the second.
  const std::int64_t guess1 = local - OffsetAt(local);
  const std::int64_t offsetGuess1 = OffsetAt(guess1);
  const std::int64_t guess2 = local - offsetGuess1;
  const std::int64_t offsetGuess2 = OffsetAt(guess2);
  const bool guess1Fits = local - offsetGuess1 == guess1;
  const bool guess2Fits = local - offsetGuess2 == guess2;
  if (guess1Fits && guess2Fits) return std::min(guess1, guess2);
  if (guess1Fits) return guess1;
  if (guess2Fits) return guess2;
  // Skipped by clocks set forward: the offset before the change is the smaller one.
  return local - std::min(offsetGuess1, offsetGuess2);
}

}  // namespace orvane
