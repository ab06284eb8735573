// Linear pull-warp of a 2-D image along a per-pixel displacement field.
//
// in   M x N doubles, column-major: element (r, c) at r + c*M.
// sv   M x N x 2 doubles: plane 0 is the displacement along columns, plane 1
//      along rows, in pixels. Output pixel (r, c) samples `in` at
//      x = c - sv(r, c, 0), y = r - sv(r, c, 1).
// out  M x N doubles, every element written once.
//
// A position outside [0, N-1] x [0, M-1] (bounds inclusive, on the unrounded
// position) gives 0; a NaN position gives NaN. The base index is the nearest
// integer with halves upward; at the last index it steps back by one so that
// the fraction runs to 1. The value is
//   (s01*fx)*(1-fy) + (s00*(1-fx))*(1-fy) + (s10*(1-fx))*fy + (s11*fx)*fy
// summed left to right. On a one-row or one-column image the samples of the
// missing neighbour row or column have weight exactly 0 and are taken as 0.
//
// Never reads outside `in` or `sv`, allocates nothing, calls no host. Every
// variant gives the same bits; the widest one the processor runs is used.
#pragma once

#include <cstdint>

namespace resample {

void fieldwarp_linear(const double* in, const double* sv, int32_t M, int32_t N, double* out);

// The variants behind fieldwarp_linear, for the bit-exact tests.
void fieldwarp_linear_scalar(const double* in, const double* sv, int32_t M, int32_t N, double* out);
void fieldwarp_linear_avx2(const double* in, const double* sv, int32_t M, int32_t N, double* out);
bool fieldwarp_avx2_available();

}  // namespace resample
