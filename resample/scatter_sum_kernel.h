// Translated accumulation (push mapping) of a 2-D image.
//
// in, transx, transy  M x N doubles, column-major: element (r, c) at r + c*M.
//      transx moves source pixel (r, c) along the columns, transy along the
//      rows, in pixels.
// out  M x N doubles that the caller has zero-filled; the kernel only adds.
//
// Source pixel (r, c) goes to column cx = round(transx(r, c) + c) and row
// ry = round(transy(r, c) + r), rounding to nearest with halves away from
// zero. Its value is added there when the target lies in the image and is
// dropped otherwise; a NaN or infinite sum, or one whose rounding does not
// fit a 32-bit signed integer, counts as outside. Contributions to one
// target are added one at a time in the column-major order of their sources.
//
// Never reads or writes outside the arrays, allocates nothing, calls no host.
// Every variant gives the same bits; the widest one the processor runs is
// used.
#pragma once

#include <cstdint>

namespace resample {

// The nearest integer to `s`, halves away from zero, in *k; false (and *k
// untouched) when it is not a 32-bit signed integer, NaN and infinities
// included.
bool round_half_away(double s, int32_t* k);

void scatter_sum(const double* in, const double* transx, const double* transy, int32_t M, int32_t N,
                 double* out);

// The variants behind scatter_sum, for the bit-exact tests: one source at a
// time for the baseline instruction set, four targets at a time with AVX2.
// Call the AVX2 variant only where it is available.
void scatter_sum_baseline(const double* in, const double* transx, const double* transy, int32_t M, int32_t N,
                          double* out);
void scatter_sum_avx2(const double* in, const double* transx, const double* transy, int32_t M, int32_t N,
                      double* out);
bool scatter_sum_avx2_available();

}  // namespace resample
