#include "base/numbers.h"

#include <limits>

namespace orvane {

std::int64_t ParseDecimal64(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (value > (kMax - digit) / 10)
      return negative ? std::numeric_limits<std::int64_t>::min() : kMax;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  std::int64_t num = static_cast<std::int64_t>(a) * b;
  bool negative = (num < 0) != (c < 0);
  std::int64_t n = num < 0 ? -num : num;
  std::int64_t d = c < 0 ? -static_cast<std::int64_t>(c) : c;
  std::int64_t q = (n + d / 2) / d;
  std::int64_t r = negative ? -q : q;
  if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(r);
}

}  // namespace orvane
