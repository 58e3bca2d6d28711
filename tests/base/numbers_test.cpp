#include "base/numbers.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(Numbers, Decimal64ReadsLeadingNumberAndSaturates) {
  EXPECT_EQ(ParseDecimal64("1700000000000"), 1700000000000);
  EXPECT_EQ(ParseDecimal64(" \t-12x"), -12);
  EXPECT_EQ(ParseDecimal64("moment"), 0);
  EXPECT_EQ(ParseDecimal64("99999999999999999999"), INT64_MAX);
  EXPECT_EQ(ParseDecimal64("-99999999999999999999"), INT64_MIN);
}

TEST(Numbers, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(-11, 72, 96), -8);
  EXPECT_EQ(MulDiv(-12, 72, 96), -9);  // -9 exactly
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 4, 1), -1);  // does not fit
}

}  // namespace
}  // namespace orvane
