#include "engine/formatting.h"

#include <gtest/gtest.h>

#include <ctime>

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

TEST(FormatNumber, DigitsScaleTheValue) {
  NumberFormat nf{",", "."};
  EXPECT_EQ(FormatNumber(2500, 2, nf, " frames/sec"), "25.00 frames/sec");
  EXPECT_EQ(FormatNumber(4410, 2, nf), "44.10");
  EXPECT_EQ(FormatNumber(-1234567, 0, nf), "-1,234,567");
  EXPECT_EQ(FormatNumber(123456789, 4, nf), "12,345.6789");
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
