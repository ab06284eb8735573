#include "resample/fieldwarp_kernel.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace resample {

void fieldwarp_linear(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
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
      // NaN passes the test above; rounding it would be undefined.
      if (std::isnan(x) || std::isnan(y)) {
        out[i] = nan;
        continue;
      }
      int32_t kx = static_cast<int32_t>(std::floor(x + 0.5));
      int32_t ky = static_cast<int32_t>(std::floor(y + 0.5));
      if (kx == N - 1) kx = N - 2;
      if (ky == M - 1) ky = M - 2;
      const double fx = x - kx;
      const double fy = y - ky;
      // kx or ky is -1 only on a one-column or one-row image, where those
      // samples carry weight 1 - fx = 0 or 1 - fy = 0.
      const double* col0 = in + static_cast<std::ptrdiff_t>(kx) * M;
      const double* col1 = col0 + M;
      const bool has_col0 = kx >= 0;
      const bool has_row0 = ky >= 0;
      const double s00 = has_col0 && has_row0 ? col0[ky] : 0.0;
      const double s01 = has_row0 ? col1[ky] : 0.0;
      const double s10 = has_col0 ? col0[ky + 1] : 0.0;
      const double s11 = col1[ky + 1];
      out[i] = (s01 * fx) * (1.0 - fy) + (s00 * (1.0 - fx)) * (1.0 - fy) +
               (s10 * (1.0 - fx)) * fy + (s11 * fx) * fy;
    }
  }
}

}  // namespace resample
