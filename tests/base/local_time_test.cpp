// Local calendar times back to moments, with the zone read once: the same moments as mktime in
// zones with and without daylight saving time, and carried-over fields.
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "base/local_time.h"

namespace orvane {
namespace {

// Sets TZ for one test and reloads the zone; restores the previous zone afterwards.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    if (const char* old = std::getenv("TZ")) m_old = old, m_hadOld = true;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (m_hadOld)
      setenv("TZ", m_old.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::string m_old;
  bool m_hadOld = false;
};

std::int64_t ByMktime(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

// True when the zone's offset is the same a day before and a day after t: no change near it.
bool SteadyAround(std::int64_t t) {
  std::tm a, b;
  const std::time_t before = t - 86400, after = t + 86400;
  localtime_r(&before, &a);
  localtime_r(&after, &b);
  return a.tm_gmtoff == b.tm_gmtoff;
}

TEST(LocalTime, MomentsMatchMktimeInZonesWithAndWithoutSummerTime) {
  for (const char* zone : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
                           "LHST-10:30LHDT-11,M10.1.0,M4.1.0", "<+0545>-5:45"}) {
    ZoneScope scope(zone);
    std::mt19937 gen(11);
    for (int i = 0; i < 4000; ++i) {
      const int y = 1980 + static_cast<int>(gen() % 128), mo = 1 + static_cast<int>(gen() % 12),
                d = 1 + static_cast<int>(gen() % 28), h = static_cast<int>(gen() % 24),
                mi = static_cast<int>(gen() % 60), s = static_cast<int>(gen() % 60);
      const std::int64_t expected = ByMktime(y, mo, d, h, mi, s);
      if (!SteadyAround(expected)) continue;
      ASSERT_EQ(LocalToMoment(y, mo, d, h, mi, s), expected)
          << zone << " " << y << "-" << mo << "-" << d << " " << h << ":" << mi << ":" << s;
    }
  }
}

TEST(LocalTime, EveryLocalTimeAroundAChangeOfOffsetLandsNearIt) {
  ZoneScope scope("CET-1CEST,M3.5.0,M10.5.0/3");
  // 2024-03-31 02:30 does not exist (clocks go from 02:00 to 03:00): taken with the winter
  // offset it is 01:30 UTC. 2024-10-27 02:30 exists twice: 00:30 or 01:30 UTC.
  EXPECT_EQ(LocalToMoment(2024, 3, 31, 2, 30, 0), 1711848600);
  const std::int64_t twice = LocalToMoment(2024, 10, 27, 2, 30, 0);
  EXPECT_TRUE(twice == 1729989000 || twice == 1729992600) << twice;
  EXPECT_EQ(LocalToMoment(2024, 3, 31, 1, 59, 59), 1711846799);
  EXPECT_EQ(LocalToMoment(2024, 3, 31, 3, 0, 0), 1711846800);
}

TEST(LocalTime, FieldsOutOfRangeCarryOverLikeMktime) {
  ZoneScope scope("UTC0");
  EXPECT_EQ(LocalToMoment(2023, 2, 31, 0, 0, 0), LocalToMoment(2023, 3, 3, 0, 0, 0));
  EXPECT_EQ(LocalToMoment(2024, 2, 29, 24, 0, 0), LocalToMoment(2024, 3, 1, 0, 0, 0));
  EXPECT_EQ(LocalToMoment(2024, 13, 1, 0, 0, 0), LocalToMoment(2025, 1, 1, 0, 0, 0));
  EXPECT_EQ(LocalToMoment(1970, 1, 1, 0, 0, 0), 0);
  EXPECT_EQ(LocalToMoment(2107, 12, 31, 23, 59, 58), 4354819198);
}

}  // namespace
}  // namespace orvane
