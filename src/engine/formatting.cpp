#include "engine/formatting.h"

#include <cmath>
#include <cstdio>
#include <ctime>

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

std::string FormatUnsigned(std::uint64_t value, const NumberFormat& nf) {
  char buf[24];
  int n = std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(value));
  std::string out;
  out.reserve(static_cast<std::size_t>(n) + 8);
  AppendGrouped(out, buf, static_cast<std::size_t>(n), nf);
  return out;
}

std::string FormatInteger(std::int64_t value, const NumberFormat& nf) {
  if (value >= 0) return FormatUnsigned(static_cast<std::uint64_t>(value), nf);
  return "-" + FormatUnsigned(0 - static_cast<std::uint64_t>(value), nf);
}

std::string FormatDecimal(double value, int digits, const NumberFormat& nf) {
  if (!std::isfinite(value)) return std::string();
  if (digits < 0) digits = 0;
  if (digits > 9) digits = 9;
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%.*f", digits, std::fabs(value));
  if (n <= 0 || n >= static_cast<int>(sizeof buf)) return std::string();
  std::string text(buf, static_cast<std::size_t>(n));
  std::size_t dot = text.find('.');
  std::string intPart = text.substr(0, dot);
  std::string out;
  bool negative = value < 0 && text.find_first_not_of("0.") != std::string::npos;
  if (negative) out.push_back('-');
  AppendGrouped(out, intPart.data(), intPart.size(), nf);
  if (dot != std::string::npos) {
    out += nf.decimalSep;
    out += text.substr(dot + 1);
  }
  return out;
}

std::string FormatNumber(std::int64_t value, int digits, const NumberFormat& nf,
                         const char* suffix) {
  std::string out;
  if (digits == 0)
    out = FormatInteger(value, nf);
  else if (digits == 2)
    out = FormatDecimal(static_cast<double>(value) / 100.0, 2, nf);
  else
    out = FormatDecimal(static_cast<double>(value) / 10000.0, digits, nf);
  out += suffix;
  return out;
}

std::string FormatSize(std::uint64_t bytes, int unit, int precision, bool withUnit,
                       const NumberFormat& nf) {
  const double b = static_cast<double>(bytes);
  switch (unit) {
    case kBytes:
      return withUnit ? FormatUnsigned(bytes, nf) + " B" : FormatUnsigned(bytes, nf);
    case kKilobytes:
      return FormatDecimal(b / 1024.0, precision, nf) + " KB";
    case kMegabytes:
      return FormatDecimal(b / 1048576.0, precision, nf) + " MB";
    case kDynamic:
      if (bytes < 1024) return FormatUnsigned(bytes, nf) + " B";
      if (bytes < 1048576) return FormatSize(bytes, kKilobytes, precision, withUnit, nf);
      if (bytes < 1073741824) return FormatSize(bytes, kMegabytes, precision, withUnit, nf);
      return FormatSize(bytes, kGigabytes, precision, withUnit, nf);
    default:
      return FormatDecimal(b / 1073741824.0, precision, nf) + " GB";
  }
}

std::string FormatLocal(std::int64_t t, const std::string& pattern) {
  std::tm tm;
  if (!LocalTm(t, tm)) return std::string();
  char buf[129];
  std::size_t n = std::strftime(buf, sizeof buf, pattern.c_str(), &tm);
  return std::string(buf, n);
}

std::string FormatDateTime(std::int64_t t, const CListingOptions& o) {
  std::tm tm;
  if (!LocalTm(t, tm)) return std::string();
  if (tm.tm_year == 70) {
    std::string blank(10, ' ');
    if (o.m_bShowTimeInDates) blank.append(static_cast<std::size_t>(1 + o.m_nTimeWidth), ' ');
    return blank;
  }
  char buf[129];
  std::string out(buf, std::strftime(buf, sizeof buf, o.m_strDateFormat.c_str(), &tm));
  if (o.m_bShowTimeInDates) {
    out.push_back(' ');
    out.append(buf, std::strftime(buf, sizeof buf, o.m_strTimeFormat.c_str(), &tm));
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
