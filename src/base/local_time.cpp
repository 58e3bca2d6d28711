#include "base/local_time.h"

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

}  // namespace orvane
