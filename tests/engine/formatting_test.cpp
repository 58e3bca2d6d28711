#include "engine/formatting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace orvane {
namespace {

TEST(FormatSize, UnitsPrecisionAndSeparators) {
  NumberFormat nf;  // blank thousands, "." decimals
  EXPECT_EQ(FormatSize(1500, kKilobytes, 2, false, nf), "1.46 KB");
  EXPECT_EQ(FormatSize(1500, kKilobytes, 0, false, nf), "1 KB");
  EXPECT_EQ(FormatSize(1023, kDynamic, 0, false, nf), "1 023 B");
  EXPECT_EQ(FormatSize(1024, kDynamic, 0, false, nf), "1 KB");
  EXPECT_EQ(FormatSize(5 * 1048576ull, kDynamic, 1, false, nf), "5.0 MB");
  EXPECT_EQ(FormatSize(3ull << 30, kDynamic, 0, false, nf), "3 GB");
  EXPECT_EQ(FormatSize(1234567, kBytes, 0, false, nf), "1 234 567");
  EXPECT_EQ(FormatSize(1234567, kBytes, 0, true, nf), "1 234 567 B");
  NumberFormat none{"", ","};
  EXPECT_EQ(FormatSize(1234567, kBytes, 0, false, none), "1234567");
  EXPECT_EQ(FormatSize(1536 * 1024, kMegabytes, 2, false, none), "1,50 MB");
}

// A size that lies exactly half-way between two shown values goes up, in every unit and at
// every precision (rounding to even would give 2 KB, 0.2, 0.12, 0.062 and 0.0312).
TEST(FormatSize, ExactHalvesRoundAwayFromZero) {
  NumberFormat nf;
  struct Case {
    std::uint64_t bytes;
    int unit, precision;
    const char* text;
  };
  const std::uint64_t kb = 1024, mb = kb * kb, gb = mb * kb;
  const Case cases[] = {
      {2560, kKilobytes, 0, "3 KB"},  // 2.5
      {512, kKilobytes, 0, "1 KB"},   // 0.5
      {256, kKilobytes, 1, "0.3 KB"},
      {128, kKilobytes, 2, "0.13 KB"},
      {64, kKilobytes, 3, "0.063 KB"},
      {32, kKilobytes, 4, "0.0313 KB"},
      {1023488, kKilobytes, 0, "1 000 KB"},  // 999.5: the carry reaches the grouping
      {5 * mb / 2, kMegabytes, 0, "3 MB"},
      {mb / 4, kMegabytes, 1, "0.3 MB"},
      {mb / 8 + 2 * mb, kMegabytes, 2, "2.13 MB"},
      {mb / 16, kMegabytes, 3, "0.063 MB"},
      {mb / 32, kMegabytes, 4, "0.0313 MB"},
      {5 * gb / 2, kGigabytes, 0, "3 GB"},
      {gb / 4, kGigabytes, 1, "0.3 GB"},
      {gb / 8, kGigabytes, 2, "0.13 GB"},
      {gb / 16, kGigabytes, 3, "0.063 GB"},
      {gb / 32 + 4096 * gb, kGigabytes, 4, "4 096.0313 GB"},
      {2560, kDynamic, 0, "3 KB"},
      {1047040, kDynamic, 0, "1 023 KB"},  // 1022.5
      {mb / 8 + mb, kDynamic, 2, "1.13 MB"},
      {gb / 8 + gb, kDynamic, 2, "1.13 GB"},
      // Just below a half stays down; the largest size does not overflow.
      {2559, kKilobytes, 0, "2 KB"},
      {127, kKilobytes, 2, "0.12 KB"},
      {~std::uint64_t{0}, kGigabytes, 4, "17 179 869 184.0000 GB"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatSize(c.bytes, c.unit, c.precision, false, nf), c.text)
        << c.bytes << " bytes, unit " << c.unit << ", precision " << c.precision;
}

TEST(FormatNumber, DigitsScaleTheValue) {
  NumberFormat nf{",", "."};
  EXPECT_EQ(FormatNumber(2500, 2, nf, " frames/sec"), "25.00 frames/sec");
  EXPECT_EQ(FormatNumber(4410, 2, nf), "44.10");
  EXPECT_EQ(FormatNumber(-1234567, 0, nf), "-1,234,567");
  EXPECT_EQ(FormatNumber(123456789, 4, nf), "12,345.6789");
  // Fewer digits than the scale round halves away from zero, on both sides of zero; a value
  // that rounds to zero has no sign.
  EXPECT_EQ(FormatNumber(625, 3, nf), "0.063");  // 0.0625
  EXPECT_EQ(FormatNumber(-625, 3, nf), "-0.063");
  EXPECT_EQ(FormatNumber(125000, 1, nf), "12.5");
  EXPECT_EQ(FormatNumber(5, 3, nf), "0.001");
  EXPECT_EQ(FormatNumber(-4, 3, nf), "0.000");
  EXPECT_EQ(FormatNumber(-1234, 2, nf), "-12.34");
  EXPECT_EQ(FormatNumber(INT64_MIN, 2, nf), "-92,233,720,368,547,758.08");
}

TEST(FormatDateTime, YearNineteenSeventyIsBlankOfTheSameWidth) {
  CListingOptions o;
  std::tm tm{};
  tm.tm_year = 108, tm.tm_mon = 2, tm.tm_mday = 1, tm.tm_hour = 14, tm.tm_min = 5;
  tm.tm_isdst = -1;
  const std::int64_t t = std::mktime(&tm);
  EXPECT_EQ(FormatDateTime(t, o), "2008-03-01 14:05");
  EXPECT_EQ(FormatDateTime(86400 * 2, o), std::string(16, ' '));
  o.m_nTimeFormat = 1;
  o.m_nDateFormat = 2;
  o.DeriveFormats();
  EXPECT_EQ(FormatDateTime(t, o), "01-03-2008 14:05:00");
  EXPECT_EQ(FormatDateTime(86400 * 2, o).size(), 19u);
  o.m_bShowTimeInDates = 0;
  EXPECT_EQ(FormatDateTime(86400 * 2, o), std::string(10, ' '));
  EXPECT_EQ(FormatDocDate(0, o), "");
  EXPECT_EQ(FormatLength(3723000), "01:02:03");
}

TEST(FormatDateTime, DayTextsKeptPerDayMatchStrftimeInEveryPattern) {
  // A zone with summer time, moments of several hundred days in scrambled order (the texts of
  // one day are kept and met again among others), and patterns switched between runs.
  const char* oldTz = std::getenv("TZ");
  const std::string savedTz = oldTz ? oldTz : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  std::vector<std::int64_t> moments;
  std::uint64_t state = 7;
  for (int i = 0; i < 3000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    moments.push_back(86400 * 366 + static_cast<std::int64_t>(state >> 35) % (86400ll * 9000));
  }
  moments.push_back(1679792400);  // 2023-03-26 03:00 local, just after the clocks went forward
  moments.push_back(1698541200);  // 2023-10-29 02:00 local, the second time
  CListingOptions o;
  for (const char* date : {"%Y-%m-%d", "%d-%m-%Y", "%d.%m.%Y %Z", "%A %e %B %Y, week %V"})
    for (const char* time : {"%H:%M", "%H:%M:%S", "%I:%M %p"})
      for (const std::int64_t t : moments) {
        o.m_strDateFormat = date;
        o.m_strTimeFormat = time;
        ASSERT_EQ(FormatDateTime(t, o), FormatLocal(t, date) + " " + FormatLocal(t, time))
            << t << " " << date << " " << time;
      }
  if (oldTz)
    setenv("TZ", savedTz.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(PathForms, DropMountPointOrBase) {
  EXPECT_EQ(ApplyPathForm("/media/usb/photos", kPathFull, 0, "/media/usb"), "/media/usb/photos/");
  EXPECT_EQ(ApplyPathForm("/media/usb/photos", kPathNoDrive, 0, "/media/usb"), "/photos/");
  EXPECT_EQ(ApplyPathForm("/home/u", kPathNoDrive, 0, "/"), "/home/u/");
  EXPECT_EQ(ApplyPathForm("/", kPathFull, 0, "/"), "/");
  // Checked /home/u/photos: "From top-checked dir" keeps its name, "Top-checked is root" not.
  EXPECT_EQ(ApplyPathForm("/home/u/photos/2020", kPathFromTop, 7, "/"), "/photos/2020/");
  EXPECT_EQ(ApplyPathForm("/home/u/photos/2020", kPathTopIsRoot, 14, "/"), "/2020/");
  EXPECT_EQ(ApplyPathForm("/home/u/photos", kPathTopIsRoot, 14, "/"), "/");
}

}  // namespace
}  // namespace orvane
