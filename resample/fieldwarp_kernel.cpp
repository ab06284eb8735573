#include "resample/fieldwarp_kernel.h"

#include <immintrin.h>

#include <cmath>
#include <cstddef>
#include <limits>

namespace resample {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The documented sum of four products, in its order.
inline double blend(double s00, double s01, double s10, double s11, double fx, double fy) {
  return (s01 * fx) * (1.0 - fy) + (s00 * (1.0 - fx)) * (1.0 - fy) + (s10 * (1.0 - fx)) * fy +
         (s11 * fx) * fy;
}

// The base index and fractions of a sampling position.
struct Base {
  int32_t kx, ky;
  double fx, fy;
};

// False, with `value` set, when the position needs no samples: 0 outside the
// image, NaN for a NaN position (which passes the inside test).
inline bool locate(int32_t M, int32_t N, double x, double y, double& value, Base& b) {
  if (x < 0.0 || x > static_cast<double>(N) - 1.0 || y < 0.0 || y > static_cast<double>(M) - 1.0) {
    value = 0.0;
    return false;
  }
  if (std::isnan(x) || std::isnan(y)) {
    value = kNaN;
    return false;
  }
  // x, y >= 0 here, so truncating x + 0.5 is the floor and the nearest
  // integer with halves upward; nothing out of range is ever converted.
  b.kx = static_cast<int32_t>(x + 0.5);
  b.ky = static_cast<int32_t>(y + 0.5);
  if (b.kx == N - 1) b.kx = N - 2;
  if (b.ky == M - 1) b.ky = M - 2;
  b.fx = x - b.kx;
  b.fy = y - b.ky;
  return true;
}

// One output pixel, any image size: used for one-row and one-column images.
inline double warp_pixel(const double* in, int32_t M, int32_t N, double x, double y) {
  double value;
  Base b;
  if (!locate(M, N, x, y, value, b)) return value;
  // kx or ky is -1 only on a one-column or one-row image, where those
  // samples carry weight 1 - fx = 0 or 1 - fy = 0.
  const double* col0 = in + static_cast<std::ptrdiff_t>(b.kx) * M;
  const double* col1 = col0 + M;
  const bool has_col0 = b.kx >= 0;
  const bool has_row0 = b.ky >= 0;
  const double s00 = has_col0 && has_row0 ? col0[b.ky] : 0.0;
  const double s01 = has_row0 ? col1[b.ky] : 0.0;
  const double s10 = has_col0 ? col0[b.ky + 1] : 0.0;
  return blend(s00, s01, s10, col1[b.ky + 1], b.fx, b.fy);
}

// With at least two rows and two columns the four neighbours always exist.
inline double warp_pixel_2x2(const double* in, int32_t M, int32_t N, double x, double y) {
  double value;
  Base b;
  if (!locate(M, N, x, y, value, b)) return value;
  const double* p = in + b.ky + static_cast<std::ptrdiff_t>(b.kx) * M;
  return blend(p[0], p[M], p[1], p[M + 1], b.fx, b.fy);
}

}  // namespace

void fieldwarp_linear_scalar(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  const std::ptrdiff_t plane = static_cast<std::ptrdiff_t>(M) * N;
  const bool full = M >= 2 && N >= 2;
  for (int32_t c = 0; c < N; ++c) {
    const std::ptrdiff_t col = static_cast<std::ptrdiff_t>(c) * M;
    const double* svx = sv + col;
    const double* svy = sv + plane + col;
    double* o = out + col;
    for (int32_t r = 0; r < M; ++r) {
      const double x = static_cast<double>(c) - svx[r];
      const double y = static_cast<double>(r) - svy[r];
      o[r] = full ? warp_pixel_2x2(in, M, N, x, y) : warp_pixel(in, M, N, x, y);
    }
  }
}

bool fieldwarp_avx2_available() { return __builtin_cpu_supports("avx2"); }

// Four rows of one column at a time. Lanes that are outside or NaN are
// steered to sample (0, 0) so that every gather stays inside `in`, and get
// their 0 or NaN in the final blend. The arithmetic per lane is the scalar
// one, operation for operation, so the bits agree.
__attribute__((target("avx2"))) void fieldwarp_linear_avx2(const double* in, const double* sv,
                                                           int32_t M, int32_t N, double* out) {
  if (M < 2 || N < 2) {
    fieldwarp_linear_scalar(in, sv, M, N, out);
    return;
  }
  const std::ptrdiff_t plane = static_cast<std::ptrdiff_t>(M) * N;
  const __m256d zero = _mm256_setzero_pd();
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d half = _mm256_set1_pd(0.5);
  const __m256d nan = _mm256_set1_pd(kNaN);
  const __m256d last_x = _mm256_set1_pd(static_cast<double>(N) - 1.0);
  const __m256d last_y = _mm256_set1_pd(static_cast<double>(M) - 1.0);
  const __m128i max_kx = _mm_set1_epi32(N - 2);
  const __m128i max_ky = _mm_set1_epi32(M - 2);
  const __m128i rows = _mm_set1_epi32(M);
  const __m256d lane = _mm256_set_pd(3.0, 2.0, 1.0, 0.0);
  const int32_t vector_rows = M & ~3;

  for (int32_t c = 0; c < N; ++c) {
    const std::ptrdiff_t col = static_cast<std::ptrdiff_t>(c) * M;
    const double* svx = sv + col;
    const double* svy = sv + plane + col;
    double* o = out + col;
    const __m256d cx = _mm256_set1_pd(static_cast<double>(c));
    int32_t r = 0;
    for (; r < vector_rows; r += 4) {
      const __m256d x = _mm256_sub_pd(cx, _mm256_loadu_pd(svx + r));
      const __m256d ry = _mm256_add_pd(_mm256_set1_pd(static_cast<double>(r)), lane);
      const __m256d y = _mm256_sub_pd(ry, _mm256_loadu_pd(svy + r));
      // Ordered compares are false for NaN, as the scalar tests are.
      const __m256d outside = _mm256_or_pd(
          _mm256_or_pd(_mm256_cmp_pd(x, zero, _CMP_LT_OQ), _mm256_cmp_pd(x, last_x, _CMP_GT_OQ)),
          _mm256_or_pd(_mm256_cmp_pd(y, zero, _CMP_LT_OQ), _mm256_cmp_pd(y, last_y, _CMP_GT_OQ)));
      const __m256d is_nan = _mm256_or_pd(_mm256_cmp_pd(x, x, _CMP_UNORD_Q), _mm256_cmp_pd(y, y, _CMP_UNORD_Q));
      const __m256d skip = _mm256_or_pd(outside, is_nan);
      const __m256d xs = _mm256_blendv_pd(x, zero, skip);
      const __m256d ys = _mm256_blendv_pd(y, zero, skip);

      const __m128i kx = _mm_min_epi32(_mm256_cvttpd_epi32(_mm256_add_pd(xs, half)), max_kx);
      const __m128i ky = _mm_min_epi32(_mm256_cvttpd_epi32(_mm256_add_pd(ys, half)), max_ky);
      const __m256d fx = _mm256_sub_pd(xs, _mm256_cvtepi32_pd(kx));
      const __m256d fy = _mm256_sub_pd(ys, _mm256_cvtepi32_pd(ky));
      // ky + kx*M < M*N, which the host layer keeps below 2^31. Rows ky and
      // ky + 1 are adjacent, so each pixel needs two 16-byte loads, which
      // four shuffles turn into the four sample vectors.
      alignas(16) int32_t idx[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(idx), _mm_add_epi32(ky, _mm_mullo_epi32(kx, rows)));
      const double* p0 = in + idx[0];
      const double* p1 = in + idx[1];
      const double* p2 = in + idx[2];
      const double* p3 = in + idx[3];
      const __m256d a02 = _mm256_set_m128d(_mm_loadu_pd(p2), _mm_loadu_pd(p0));
      const __m256d a13 = _mm256_set_m128d(_mm_loadu_pd(p3), _mm_loadu_pd(p1));
      const __m256d b02 = _mm256_set_m128d(_mm_loadu_pd(p2 + M), _mm_loadu_pd(p0 + M));
      const __m256d b13 = _mm256_set_m128d(_mm_loadu_pd(p3 + M), _mm_loadu_pd(p1 + M));
      const __m256d s00 = _mm256_unpacklo_pd(a02, a13);
      const __m256d s10 = _mm256_unpackhi_pd(a02, a13);
      const __m256d s01 = _mm256_unpacklo_pd(b02, b13);
      const __m256d s11 = _mm256_unpackhi_pd(b02, b13);

      const __m256d gx = _mm256_sub_pd(one, fx);
      const __m256d gy = _mm256_sub_pd(one, fy);
      __m256d v = _mm256_mul_pd(_mm256_mul_pd(s01, fx), gy);
      v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_mul_pd(s00, gx), gy));
      v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_mul_pd(s10, gx), fy));
      v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_mul_pd(s11, fx), fy));
      v = _mm256_blendv_pd(v, zero, outside);
      v = _mm256_blendv_pd(v, nan, _mm256_andnot_pd(outside, is_nan));
      _mm256_storeu_pd(o + r, v);
    }
    for (; r < M; ++r) {
      const double x = static_cast<double>(c) - svx[r];
      const double y = static_cast<double>(r) - svy[r];
      o[r] = warp_pixel_2x2(in, M, N, x, y);
    }
  }
}

void fieldwarp_linear(const double* in, const double* sv, int32_t M, int32_t N, double* out) {
  static const bool avx2 = fieldwarp_avx2_available();
  if (avx2)
    fieldwarp_linear_avx2(in, sv, M, N, out);
  else
    fieldwarp_linear_scalar(in, sv, M, N, out);
}

}  // namespace resample
