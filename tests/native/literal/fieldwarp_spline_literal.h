// The spline warp written exactly as documented, one pixel at a time and
// one solve after another, for comparison with the optimised kernel: the
// general n-sample solver in its elimination and back-substitution order,
// the evaluation with its grouping, the clamped 4 x 4 neighbourhood, four
// solves along columns and one along rows. NaN positions give NaN.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace literal {

constexpr int kMaxSamples = 16;

// n from 2 to kMaxSamples.
inline void spline_second_derivatives(const double* v, int n, double* m) {
  double alpha[kMaxSamples - 1], beta[kMaxSamples - 1];
  alpha[0] = -0.5;
  beta[0] = 3 * (v[1] - v[0]);
  for (int i = 1; i <= n - 2; ++i) {
    const double p = 0.5 * alpha[i - 1] + 2;
    alpha[i] = -0.5 / p;
    beta[i] = (3 * (v[i + 1] - 2 * v[i]) + 3 * v[i - 1] - 0.5 * beta[i - 1]) / p;
  }
  m[n - 1] = (3 * (v[n - 2] - v[n - 1]) - 0.5 * beta[n - 2]) / (0.5 * alpha[n - 2] + 1);
  for (int i = n - 2; i >= 0; --i) m[i] = m[i + 1] * alpha[i] + beta[i];
}

inline double spline_between_1_and_2(const double* v, const double* m, double f) {
  return (((f * f) * f - f) * m[2] + (((1 - f) * (1 - f)) * (1 - f) - (1 - f)) * m[1]) / 6 +
         (v[1] * (1 - f) + v[2] * f);
}

inline void fieldwarp_spline(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
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
      double B[4][4];
      for (int t = 0; t < 4; ++t) {
        for (int s = 0; s < 4; ++s) {
          int32_t row = ky - 1 + t, col = kx - 1 + s;
          if (row < 0) row = 0;
          if (row > M - 1) row = M - 1;
          if (col < 0) col = 0;
          if (col > N - 1) col = N - 1;
          B[t][s] = in[row + static_cast<std::ptrdiff_t>(col) * M];
        }
      }
      double R[4], m[4];
      for (int t = 0; t < 4; ++t) {
        spline_second_derivatives(B[t], 4, m);
        R[t] = spline_between_1_and_2(B[t], m, fx);
      }
      spline_second_derivatives(R, 4, m);
      out[i] = spline_between_1_and_2(R, m, fy);
    }
  }
}

}  // namespace literal
