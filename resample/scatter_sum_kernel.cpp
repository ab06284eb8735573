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
  for (int32_t c = 0; c < N; ++c) {
    for (int32_t r = 0; r < M; ++r) {
      const std::ptrdiff_t i = r + static_cast<std::ptrdiff_t>(c) * M;
      int32_t cx = 0, ry = 0;
      if (!round_half_away(transx[i] + static_cast<double>(c), &cx)) continue;
      if (!round_half_away(transy[i] + static_cast<double>(r), &ry)) continue;
      if (cx < 0 || cx > N - 1 || ry < 0 || ry > M - 1) continue;
      double& target = out[ry + static_cast<std::ptrdiff_t>(cx) * M];
      target = in[i] + target;
    }
  }
}

}  // namespace resample
