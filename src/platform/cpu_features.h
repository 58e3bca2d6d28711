// CPU features: which optional instruction sets this processor offers, for the hash routines
// that pick a faster code path at run time.
//
// The answers are taken once (on first use) and are then constant; safe from any thread. On
// processors other than x86 every answer is false.
#pragma once

namespace orvane {

struct CpuFeatures {
  bool sse41 = false;   // SSE4.1 (and SSSE3 below it)
  bool pclmul = false;  // carry-less multiply (PCLMULQDQ)
  bool sha = false;     // SHA-1 / SHA-256 instructions (SHA-NI)
};

// The features of the processor this process runs on.
const CpuFeatures& GetCpuFeatures();

}  // namespace orvane
