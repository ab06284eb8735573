#include "resample/scatter_sum_kernel.h"
#include "resample/vector_lanes.h"

#include <cstddef>
#include <cstring>

namespace resample {

bool round_half_away(double s, int32_t* k) {
  const double t = s >= 0.0 ? s + 0.5 : s - 0.5;
  // Truncating a double whose integer part does not fit is undefined, so the
  // range is tested on the double; NaN fails both comparisons.
  if (!(t > -2147483649.0 && t < 2147483648.0)) return false;
  *k = static_cast<int32_t>(t);
  return true;
}

namespace {

using namespace lanes;

// The rounding adds or subtracts one half and truncates. The truncation of
// t lies in [0, n - 1] exactly when -1 < t < n, so one test on the doubles
// is the rounding's range test and the bounds test together, and is false
// for NaN; only values that pass are converted.
ALWAYS_INLINE double half_away(double s) { return s >= 0.0 ? s + 0.5 : s - 0.5; }
ALWAYS_INLINE bool lands(double t, double n) { return t > -1.0 && t < n; }

ALWAYS_INLINE void scatter_one(double value, double xs, double ys, int32_t M, double columns, double rows,
                               double* out) {
  const double tcol = half_away(xs), trow = half_away(ys);
  if (lands(tcol, columns) && lands(trow, rows)) {
    double& target = out[static_cast<int32_t>(trow) + static_cast<std::ptrdiff_t>(static_cast<int32_t>(tcol)) * M];
    target = value + target;
  }
}

// Targets are worked out four sources at a time; the additions stay one at
// a time, in source order, because sources may share a target.
ALWAYS_INLINE void scatter_columns(const double* in, const double* transx, const double* transy, int32_t M,
                                   int32_t N, double* out) {
  const double columns = static_cast<double>(N);
  const double rows = static_cast<double>(M);
  const v4 lane_index = {0.0, 1.0, 2.0, 3.0};
  const v4 zero = broadcast(0.0);
  for (int32_t c = 0; c < N; ++c) {
    const std::ptrdiff_t col = static_cast<std::ptrdiff_t>(c) * M;
    const double* src = in + col;
    const double* tx = transx + col;
    const double* ty = transy + col;
    const v4 cx = broadcast(static_cast<double>(c));
    int32_t r = 0;
    for (; r + 4 <= M; r += 4) {
      const v4 xs = load4(tx + r) + cx;
      const v4 ys = load4(ty + r) + (broadcast(static_cast<double>(r)) + lane_index);
      const v4 tcol = xs >= zero ? xs + 0.5 : xs - 0.5;
      const v4 trow = ys >= zero ? ys + 0.5 : ys - 0.5;
      const v4mask inside = (tcol > -1.0) & (tcol < columns) & (trow > -1.0) & (trow < rows);
      // Lanes that miss are converted as 0 and never used.
      const v4int kc = __builtin_convertvector(inside ? tcol : zero, v4int);
      const v4int kr = __builtin_convertvector(inside ? trow : zero, v4int);
      // kr + kc * M < M * N, which the host layer keeps below 2^31.
      const v4int target = kr + kc * M;
      const v4 value = load4(src + r);
      for (int l = 0; l < 4; ++l) {
        if (inside[l]) {
          double& t = out[target[l]];
          t = value[l] + t;
        }
      }
    }
    for (; r < M; ++r)
      scatter_one(src[r], tx[r] + static_cast<double>(c), ty[r] + static_cast<double>(r), M, columns, rows, out);
  }
}

}  // namespace

// Without AVX2 the four-lane code is slower than one source at a time.
void scatter_sum_baseline(const double* in, const double* transx, const double* transy, int32_t M, int32_t N,
                          double* out) {
  const double columns = static_cast<double>(N);
  const double rows = static_cast<double>(M);
  for (int32_t c = 0; c < N; ++c) {
    const std::ptrdiff_t col = static_cast<std::ptrdiff_t>(c) * M;
    for (int32_t r = 0; r < M; ++r)
      scatter_one(in[col + r], transx[col + r] + static_cast<double>(c), transy[col + r] + static_cast<double>(r),
                  M, columns, rows, out);
  }
}

__attribute__((target("avx2"))) void scatter_sum_avx2(const double* in, const double* transx,
                                                      const double* transy, int32_t M, int32_t N, double* out) {
  scatter_columns(in, transx, transy, M, N, out);
}

bool scatter_sum_avx2_available() { return __builtin_cpu_supports("avx2"); }

void scatter_sum(const double* in, const double* transx, const double* transy, int32_t M, int32_t N,
                 double* out) {
  static const bool avx2 = scatter_sum_avx2_available();
  if (avx2)
    scatter_sum_avx2(in, transx, transy, M, N, out);
  else
    scatter_sum_baseline(in, transx, transy, M, N, out);
}

}  // namespace resample
