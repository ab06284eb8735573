#include "resample/scatter_sum_kernel.h"

#include <cstddef>

namespace resample {

bool round_half_away(double s, int32_t* k) {
  const double t = s >= 0.0 ? s + 0.5 : s - 0.5;
  // Truncating a double whose integer part does not fit is undefined, so the
  // range is tested on the double; NaN fails both comparisons.
  if (!(t > -2147483649.0 && t < 2147483648.0)) return false;
  *k = static_cast<int32_t>(t);
  return true;
}

void scatter_sum(const double* in, const double* transx, const double* transy, int32_t M, int32_t N,
                 double* out) {
  const double columns = static_cast<double>(N);
  const double rows = static_cast<double>(M);
  for (int32_t c = 0; c < N; ++c) {
    const std::ptrdiff_t col = static_cast<std::ptrdiff_t>(c) * M;
    const double* src = in + col;
    const double* tx = transx + col;
    const double* ty = transy + col;
    for (int32_t r = 0; r < M; ++r) {
      const double xs = tx[r] + static_cast<double>(c);
      const double ys = ty[r] + static_cast<double>(r);
      const double tcol = xs >= 0.0 ? xs + 0.5 : xs - 0.5;
      const double trow = ys >= 0.0 ? ys + 0.5 : ys - 0.5;
      // The truncation of t lies in [0, n - 1] exactly when -1 < t < n, so
      // this one test on the doubles is the rounding's range test and the
      // bounds test together, and false for NaN; only values that pass are
      // converted.
      if (tcol > -1.0 && tcol < columns && trow > -1.0 && trow < rows) {
        const int32_t cx = static_cast<int32_t>(tcol);
        const int32_t ry = static_cast<int32_t>(trow);
        double& target = out[ry + static_cast<std::ptrdiff_t>(cx) * M];
        target = src[r] + target;
      }
    }
  }
}

}  // namespace resample
