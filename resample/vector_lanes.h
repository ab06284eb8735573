// Four-lane double vectors for the resampling kernels that are built once
// per instruction set. Lane arithmetic is IEEE double, one rounding per
// operator, whatever the instruction set the including function targets.
// Include only from a kernel's .cpp: every function taking or returning a
// vector is inlined into the variant that builds it, so no vector ever
// crosses a call boundary (hence the ABI note is silenced).
#pragma once

#include <cstdint>
#include <cstring>

#pragma GCC diagnostic ignored "-Wpsabi"

#define ALWAYS_INLINE inline __attribute__((always_inline))

namespace resample::lanes {

// Four lanes of doubles, with the matching 64-bit masks and 32-bit integers.
typedef double v4 __attribute__((vector_size(32)));
typedef int64_t v4mask __attribute__((vector_size(32)));
typedef int32_t v4int __attribute__((vector_size(16)));

ALWAYS_INLINE v4 load4(const double* p) {
  v4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

ALWAYS_INLINE void store4(double* p, v4 v) { std::memcpy(p, &v, sizeof v); }

ALWAYS_INLINE v4 broadcast(double a) { return v4{a, a, a, a}; }

}  // namespace resample::lanes
