#include "resample/fieldwarp_spline_kernel.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace resample {

void spline_second_derivatives(const double* v, int32_t n, double* m, double* alpha, double* beta) {
  alpha[0] = -0.5;
  beta[0] = 3.0 * (v[1] - v[0]);
  for (int32_t i = 1; i <= n - 2; ++i) {
    const double p = 0.5 * alpha[i - 1] + 2.0;
    alpha[i] = -0.5 / p;
    beta[i] = (3.0 * (v[i + 1] - 2.0 * v[i]) + 3.0 * v[i - 1] - 0.5 * beta[i - 1]) / p;
  }
  m[n - 1] = (3.0 * (v[n - 2] - v[n - 1]) - 0.5 * beta[n - 2]) / (0.5 * alpha[n - 2] + 1.0);
  for (int32_t i = n - 2; i >= 0; --i) m[i] = m[i + 1] * alpha[i] + beta[i];
}

double spline_between_1_and_2(const double* v, const double* m, double f) {
  const double g = 1.0 - f;
  const double f3 = (f * f) * f;
  const double g3 = (g * g) * g;
  return ((f3 - f) * m[2] + (g3 - g) * m[1]) / 6.0 + (v[1] * g + v[2] * f);
}

namespace {

int32_t clamp_index(int32_t k, int32_t last) { return k < 0 ? 0 : (k > last ? last : k); }

double spline_at(const double* v, double f) {
  double m[4], alpha[3], beta[3];
  spline_second_derivatives(v, 4, m, alpha, beta);
  return spline_between_1_and_2(v, m, f);
}

}  // namespace

void fieldwarp_spline(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  const std::ptrdiff_t plane = static_cast<std::ptrdiff_t>(M) * N;
  const double last_x = static_cast<double>(N) - 1.0;
  const double last_y = static_cast<double>(M) - 1.0;
  const double nan = std::numeric_limits<double>::quiet_NaN();

  for (int32_t c = 0; c < N; ++c) {
    for (int32_t r = 0; r < M; ++r) {
      const std::ptrdiff_t i = r + static_cast<std::ptrdiff_t>(c) * M;
      const double x = static_cast<double>(c) - sv[i];
      const double y = static_cast<double>(r) - sv[i + plane];
      if (x < 0.0 || x > last_x || y < 0.0 || y > last_y) {
        out[i] = 0.0;
        continue;
      }
      // NaN passes the test above but has no nearest integer; its value
      // would be NaN whatever samples were taken.
      if (std::isnan(x) || std::isnan(y)) {
        out[i] = nan;
        continue;
      }
      // x and y now lie within the image, so the conversions are exact.
      int32_t kx = static_cast<int32_t>(std::floor(x + 0.5));
      int32_t ky = static_cast<int32_t>(std::floor(y + 0.5));
      if (kx == N - 1) kx = N - 2;
      if (ky == M - 1) ky = M - 2;
      const double fx = x - kx;
      const double fy = y - ky;

      const double* cols[4];
      std::ptrdiff_t rows[4];
      for (int32_t s = 0; s < 4; ++s)
        cols[s] = in + static_cast<std::ptrdiff_t>(clamp_index(kx - 1 + s, N - 1)) * M;
      for (int32_t t = 0; t < 4; ++t) rows[t] = clamp_index(ky - 1 + t, M - 1);

      double across[4];
      for (int32_t t = 0; t < 4; ++t) {
        const double v[4] = {cols[0][rows[t]], cols[1][rows[t]], cols[2][rows[t]], cols[3][rows[t]]};
        across[t] = spline_at(v, fx);
      }
      out[i] = spline_at(across, fy);
    }
  }
}

}  // namespace resample
