#include "platform/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace orvane {

namespace {

CpuFeatures Detect() {
  CpuFeatures f;
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
  const bool ssse3 = (c & (1u << 9)) != 0;
  f.sse41 = ssse3 && (c & (1u << 19)) != 0;
  f.pclmul = f.sse41 && (c & (1u << 1)) != 0;
  if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) f.sha = f.sse41 && (b & (1u << 29)) != 0;
#endif
  return f;
}

}  // namespace

const CpuFeatures& GetCpuFeatures() {
  static const CpuFeatures features = Detect();
  return features;
}

}  // namespace orvane
