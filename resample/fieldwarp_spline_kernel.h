// Cubic-spline pull-warp of a 2-D image along a per-pixel displacement field.
//
// in   M x N doubles, column-major: element (r, c) at r + c*M.
// sv   M x N x 2 doubles: plane 0 is the displacement along columns, plane 1
//      along rows, in pixels. Output pixel (r, c) samples `in` at
//      x = c - sv(r, c, 0), y = r - sv(r, c, 1).
// out  M x N doubles, every element written once, in column-major order.
//
// A position outside [0, N-1] x [0, M-1] (bounds inclusive, on the unrounded
// position) gives 0; a NaN position that is not outside gives NaN. The base
// index is the nearest integer with halves upward, stepped back by one at the
// last index so that the fraction runs to 1. The 4 x 4 neighbourhood starts
// one before the base index on each axis; indices past an edge repeat the
// edge sample. Four local splines along the columns (one per neighbourhood
// row), evaluated at the column fraction, feed one spline along the rows,
// evaluated at the row fraction.
//
// Never reads outside `in` or `sv`, allocates nothing, calls no host. Every
// variant gives the same bits; the widest one the processor runs is used.
#pragma once

#include <cstdint>

namespace resample {

// Second derivatives m(0..n-1), n >= 2, of the cubic spline through v(0..n-1)
// at unit spacing whose first derivative is 0 at both ends. alpha and beta
// are the caller's scratch of n - 1 values each. The elimination runs
// forward from the first sample and substitutes back from the last, with the
// operations in a fixed order so that results are reproducible bit for bit.
void spline_second_derivatives(const double* v, int32_t n, double* m, double* alpha, double* beta);

// The spline through v with second derivatives m, between samples 1 and 2,
// at fraction f (0 at sample 1, 1 at sample 2; below 0 the same cubic piece
// continues toward sample 0).
double spline_between_1_and_2(const double* v, const double* m, double f);

void fieldwarp_spline(const double* in, const double* sv, int32_t M, int32_t N, double* out);

// The variants behind fieldwarp_spline, for the bit-exact tests: the same
// four-lane code built for the baseline instruction set and for AVX2. Call
// the AVX2 variant only where it is available.
void fieldwarp_spline_baseline(const double* in, const double* sv, int32_t M, int32_t N, double* out);
void fieldwarp_spline_avx2(const double* in, const double* sv, int32_t M, int32_t N, double* out);
bool fieldwarp_spline_avx2_available();

}  // namespace resample
