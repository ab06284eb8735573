// The instruction-set variants behind gather_2d and gather_lines, for the
// bit-exact tests and the benchmarks. Every variant adds the same bits into
// every result; the public functions use the widest one the processor runs.
#pragma once

#include <cstdint>

#include "fourier/gridding.h"

namespace fourier {

enum class Simd {
  scalar,  // one result element at a time
  sse2,    // eight elements at a time, two lanes per register
  avx,     // eight elements at a time, four lanes per register
};

bool simd_available(Simd level);
Simd widest_simd();

void gather_2d_with(Simd level, const double* re, const double* im, int32_t M0, int32_t M1,
                    const double* knots, int32_t N, double* out_re, double* out_im);
void gather_lines_with(Simd level, const double* re, const double* im, const double* knots,
                       const LinkedLayout& layout, double* out_re, double* out_im);

}  // namespace fourier
