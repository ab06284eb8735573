#include "resample/fieldwarp_spline_kernel.h"
#include "resample/vector_lanes.h"

#include <cstddef>
#include <cstring>
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

// The four-sample solve does not depend on the samples for p and alpha, so
// they are formed once, by the same operations in the same order as the
// general solver: identical bits. The divisions by them stay divisions.
constexpr double kAlpha0 = -0.5;
constexpr double kP1 = 0.5 * kAlpha0 + 2.0;
constexpr double kAlpha1 = -0.5 / kP1;
constexpr double kP2 = 0.5 * kAlpha1 + 2.0;
constexpr double kAlpha2 = -0.5 / kP2;
constexpr double kLast = 0.5 * kAlpha2 + 1.0;

using namespace lanes;

ALWAYS_INLINE int32_t clamp_index(int32_t k, int32_t last) { return k < 0 ? 0 : (k > last ? last : k); }

// Cubic weights of the evaluation at fraction f: (f^3 - f) and
// ((1-f)^3 - (1-f)), with the powers formed as the literal formula does.
struct Weights {
  v4 f, g, wf, wg;
};

ALWAYS_INLINE Weights weights(v4 f) {
  const v4 g = 1.0 - f;
  return Weights{f, g, (f * f) * f - f, (g * g) * g - g};
}

// Four independent four-sample splines, one per lane, sample s of each in
// vs: solved and evaluated between samples 1 and 2. m(0) is not needed by
// the evaluation and no other value depends on it.
ALWAYS_INLINE v4 spline4(v4 v0, v4 v1, v4 v2, v4 v3, const Weights& w) {
  const v4 b0 = 3.0 * (v1 - v0);
  const v4 b1 = (3.0 * (v2 - 2.0 * v1) + 3.0 * v0 - 0.5 * b0) / kP1;
  const v4 b2 = (3.0 * (v3 - 2.0 * v2) + 3.0 * v1 - 0.5 * b1) / kP2;
  const v4 m3 = (3.0 * (v2 - v3) - 0.5 * b2) / kLast;
  const v4 m2 = m3 * kAlpha2 + b2;
  const v4 m1 = m2 * kAlpha1 + b1;
  return (w.wf * m2 + w.wg * m1) / 6.0 + (v1 * w.g + v2 * w.f);
}

// Output pixels are handled in batches of consecutive rows of one column, in
// three passes: locate every pixel, solve along columns for every pixel, then
// along rows four pixels at a time. Each pass has independent iterations, so
// the long chains of dependent divisions of different pixels overlap.
constexpr int kBatch = 16;
constexpr int kGroups = kBatch / 4;

struct Batch {
  v4mask outside[kGroups], is_nan[kGroups];
  v4 fy[kGroups];
  int32_t kx[kBatch], ky[kBatch];
  double f[kBatch], g[kBatch], wf[kBatch], wg[kBatch];  // column weights, per pixel
  v4 across[kBatch];  // row results of pixel p, neighbourhood row t in lane t
};

// Base indices, fractions and weights of the four pixels of group q, at
// positions (x, y).
ALWAYS_INLINE void locate(int32_t M, int32_t N, v4 x, v4 y, Batch& b, int q) {
  const v4 zero = broadcast(0.0);
  const v4mask outside = (x < zero) | (x > static_cast<double>(N) - 1.0) | (y < zero) |
                         (y > static_cast<double>(M) - 1.0);
  // Ordered compares are false for NaN, so NaN lanes are not outside.
  const v4mask is_nan = (x != x) | (y != y);
  const v4mask skip = outside | is_nan;
  // Skipped lanes sample position (0, 0) so that nothing out of range is
  // ever converted or read; their result is replaced at the end.
  const v4 xs = skip ? zero : x;
  const v4 ys = skip ? zero : y;
  // xs, ys >= 0: truncating xs + 0.5 is the floor, halves upward.
  const v4int kx0 = __builtin_convertvector(xs + 0.5, v4int);
  const v4int ky0 = __builtin_convertvector(ys + 0.5, v4int);
  const v4int kx = kx0 == N - 1 ? kx0 - 1 : kx0;
  const v4int ky = ky0 == M - 1 ? ky0 - 1 : ky0;
  const Weights w = weights(xs - __builtin_convertvector(kx, v4));
  b.outside[q] = outside;
  b.is_nan[q] = is_nan;
  b.fy[q] = ys - __builtin_convertvector(ky, v4);
  std::memcpy(b.kx + 4 * q, &kx, sizeof kx);
  std::memcpy(b.ky + 4 * q, &ky, sizeof ky);
  store4(b.f + 4 * q, w.f);
  store4(b.g + 4 * q, w.g);
  store4(b.wf + 4 * q, w.wf);
  store4(b.wg + 4 * q, w.wg);
}

// The four samples of one neighbourhood column, rows ky - 1 ... ky + 2
// clamped into the image.
ALWAYS_INLINE v4 column_samples(const double* col, int32_t ky, int32_t M) {
  if (ky >= 1 && ky + 2 <= M - 1) return load4(col + (ky - 1));
  return v4{col[clamp_index(ky - 1, M - 1)], col[clamp_index(ky, M - 1)], col[clamp_index(ky + 1, M - 1)],
            col[clamp_index(ky + 2, M - 1)]};
}

// The four splines along the columns through pixel p's neighbourhood, one
// neighbourhood row per lane: they share the pixel's column fraction.
ALWAYS_INLINE void solve_across(const double* in, int32_t M, int32_t N, Batch& b, int p) {
  v4 v[4];
  for (int s = 0; s < 4; ++s) {
    const double* col = in + static_cast<std::ptrdiff_t>(clamp_index(b.kx[p] - 1 + s, N - 1)) * M;
    v[s] = column_samples(col, b.ky[p], M);
  }
  const Weights w{broadcast(b.f[p]), broadcast(b.g[p]), broadcast(b.wf[p]), broadcast(b.wg[p])};
  b.across[p] = spline4(v[0], v[1], v[2], v[3], w);
}

// The spline along the rows for the four pixels of group q, one per lane.
ALWAYS_INLINE v4 solve_down(const Batch& b, int q) {
  // Transposed, so that vector t holds row result t of the four pixels.
  const v4* a = b.across + 4 * q;
  const v4mask lo = {0, 4, 2, 6}, hi = {1, 5, 3, 7}, front = {0, 1, 4, 5}, back = {2, 3, 6, 7};
  const v4 lo01 = __builtin_shuffle(a[0], a[1], lo);
  const v4 hi01 = __builtin_shuffle(a[0], a[1], hi);
  const v4 lo23 = __builtin_shuffle(a[2], a[3], lo);
  const v4 hi23 = __builtin_shuffle(a[2], a[3], hi);
  const v4 r0 = __builtin_shuffle(lo01, lo23, front);
  const v4 r1 = __builtin_shuffle(hi01, hi23, front);
  const v4 r2 = __builtin_shuffle(lo01, lo23, back);
  const v4 r3 = __builtin_shuffle(hi01, hi23, back);
  const v4 value = spline4(r0, r1, r2, r3, weights(b.fy[q]));
  const v4 nan = broadcast(std::numeric_limits<double>::quiet_NaN());
  return b.outside[q] ? broadcast(0.0) : (b.is_nan[q] ? nan : value);
}

ALWAYS_INLINE void warp_columns(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  const std::ptrdiff_t plane = static_cast<std::ptrdiff_t>(M) * N;
  const v4 lane_index = {0.0, 1.0, 2.0, 3.0};
  Batch b;
  for (int32_t c = 0; c < N; ++c) {
    const std::ptrdiff_t col = static_cast<std::ptrdiff_t>(c) * M;
    const double* svx = sv + col;
    const double* svy = sv + plane + col;
    double* o = out + col;
    const v4 cx = broadcast(static_cast<double>(c));
    for (int32_t r = 0; r < M; r += kBatch) {
      const int32_t count = M - r < kBatch ? M - r : kBatch;
      const int groups = (count + 3) / 4;
      for (int q = 0; q < groups; ++q) {
        const int32_t r0 = r + 4 * q;
        v4 x, y;
        if (r0 + 4 <= M) {
          x = cx - load4(svx + r0);
          y = (broadcast(static_cast<double>(r0)) + lane_index) - load4(svy + r0);
        } else {
          // Past the last row: outside lanes, never stored.
          x = broadcast(-1.0);
          y = broadcast(-1.0);
          for (int32_t l = 0; r0 + l < M; ++l) {
            x[l] = static_cast<double>(c) - svx[r0 + l];
            y[l] = static_cast<double>(r0 + l) - svy[r0 + l];
          }
        }
        locate(M, N, x, y, b, q);
      }
      for (int p = 0; p < 4 * groups; ++p) solve_across(in, M, N, b, p);
      for (int q = 0; q < groups; ++q) {
        const v4 value = solve_down(b, q);
        const int32_t r0 = r + 4 * q;
        if (r0 + 4 <= M) {
          store4(o + r0, value);
        } else {
          for (int32_t l = 0; r0 + l < M; ++l) o[r0 + l] = value[l];
        }
      }
    }
  }
}

}  // namespace

void fieldwarp_spline_baseline(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  warp_columns(in, sv, M, N, out);
}

__attribute__((target("avx2"))) void fieldwarp_spline_avx2(const double* in, const double* sv, int32_t M,
                                                           int32_t N, double* out) {
  warp_columns(in, sv, M, N, out);
}

bool fieldwarp_spline_avx2_available() { return __builtin_cpu_supports("avx2"); }

void fieldwarp_spline(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  static const bool avx2 = fieldwarp_spline_avx2_available();
  if (avx2)
    fieldwarp_spline_avx2(in, sv, M, N, out);
  else
    fieldwarp_spline_baseline(in, sv, M, N, out);
}

}  // namespace resample
