// Cell formatting: numbers with the listing's separators, sizes in units, dates and times in
// local time, and the four path forms. Pure functions of their arguments (local time through the
// C library, whose zone is read once); safe from any thread.
#pragma once

#include <cstdint>
#include <string>

#include "base/local_time.h"
#include "engine/listing_options.h"

namespace orvane {

// The listing's number format: grouping by 3, a leading zero, the two separators, "-" in front.
struct NumberFormat {
  std::string thousandSep = " ";
  std::string decimalSep = ".";
  static NumberFormat FromOptions(const CListingOptions& o) {
    return NumberFormat{o.m_chThousandSep, o.m_chDecimalSep};
  }
};

// Groups a whole number.
std::string FormatInteger(std::int64_t value, const NumberFormat& nf);
std::string FormatUnsigned(std::uint64_t value, const NumberFormat& nf);
// numerator / denominator with `digits` decimals (0 to 9), grouped, "-" in front when negative
// and the rounded text is not zero. Computed exactly in integers; a half in the last digit rounds
// away from zero (2.5 gives 3, 0.125 with two decimals gives 0.13). denominator must be 1 to 2^31.
std::string FormatQuotient(std::uint64_t numerator, std::uint64_t denominator, bool negative,
                           int digits, const NumberFormat& nf);
// digits 0: the integer; 2: value / 100 with two decimals; other: value / 10000 with `digits`.
std::string FormatNumber(std::int64_t value, int digits, const NumberFormat& nf,
                         const char* suffix = "");
// Size in the unit of the options (0 bytes .. 4 dynamic) with `precision` decimals, rounded
// as FormatQuotient rounds.
std::string FormatSize(std::uint64_t bytes, int unit, int precision, bool withUnit,
                       const NumberFormat& nf);

// Date (and time when shown) of a moment in local time; a moment in 1970 gives blanks of the
// same width.
std::string FormatDateTime(std::int64_t t, const CListingOptions& o);
// Document dates: 0 gives an empty text; no 1970 rule.
std::string FormatDocDate(std::int64_t t, const CListingOptions& o);
// "HH:MM:SS" of milliseconds.
std::string FormatLength(std::int64_t ms);

// The directory path with its trailing "/" in the path form of the options.
// `path` has no trailing "/" (except the root "/"); `mountPoint` is the volume that holds it.
std::string ApplyPathForm(const std::string& path, int form, int baseLength,
                          const std::string& mountPoint);

}  // namespace orvane
