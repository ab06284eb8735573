// The translated accumulation written exactly as documented, for comparison
// with the kernel: the sum of index and translation rounded by adding or
// subtracting one half and truncating, after a range test on the double
// that makes the truncation defined; then the bounds test and the addition.
#pragma once

#include <cstddef>
#include <cstdint>

namespace literal {

inline bool nearest_int32(double s, int32_t& k) {
  const double t = s >= 0 ? s + 0.5 : s - 0.5;
  if (t != t || t >= 2147483648.0 || t <= -2147483649.0) return false;
  k = static_cast<int32_t>(t);
  return true;
}

inline void scatter_sum(const double* in, const double* transx, const double* transy, int32_t M,
                        int32_t N, double* out) {
  for (int32_t c = 0; c < N; ++c) {
    for (int32_t r = 0; r < M; ++r) {
      const std::ptrdiff_t i = r + static_cast<std::ptrdiff_t>(c) * M;
      int32_t cx, ry;
      if (!nearest_int32(transx[i] + c, cx) || !nearest_int32(transy[i] + r, ry)) continue;
      if (0 <= cx && cx <= N - 1 && 0 <= ry && ry <= M - 1) {
        const std::ptrdiff_t j = ry + static_cast<std::ptrdiff_t>(cx) * M;
        out[j] = in[i] + out[j];
      }
    }
  }
}

}  // namespace literal
