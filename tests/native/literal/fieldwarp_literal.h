// The linear warp written exactly as documented, one pixel at a time, for
// comparison with the optimised kernel: floor() for the nearest integer,
// NaN positions giving NaN, and weight-0 neighbours of a one-row or
// one-column image taken as 0.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace literal {

inline void fieldwarp_linear(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  const std::ptrdiff_t plane = static_cast<std::ptrdiff_t>(M) * N;
  for (int32_t c = 0; c < N; ++c) {
    for (int32_t r = 0; r < M; ++r) {
      const std::ptrdiff_t i = r + static_cast<std::ptrdiff_t>(c) * M;
      const double x = c - sv[i];
      const double y = r - sv[i + plane];
      if (x < 0 || x > N - 1 || y < 0 || y > M - 1) {
        out[i] = 0.0;
        continue;
      }
      if (std::isnan(x) || std::isnan(y)) {
        out[i] = std::numeric_limits<double>::quiet_NaN();
        continue;
      }
      int32_t kx = static_cast<int32_t>(std::floor(x + 0.5));
      int32_t ky = static_cast<int32_t>(std::floor(y + 0.5));
      if (kx == N - 1) kx = N - 2;
      if (ky == M - 1) ky = M - 2;
      const double fx = x - kx;
      const double fy = y - ky;
      auto at = [&](int32_t row, int32_t col) {
        return row < 0 || col < 0 ? 0.0 : in[row + static_cast<std::ptrdiff_t>(col) * M];
      };
      const double s00 = at(ky, kx), s01 = at(ky, kx + 1);
      const double s10 = at(ky + 1, kx), s11 = at(ky + 1, kx + 1);
      out[i] = (s01 * fx) * (1 - fy) + (s00 * (1 - fx)) * (1 - fy) + (s10 * (1 - fx)) * fy +
               (s11 * fx) * fy;
    }
  }
}

}  // namespace literal
