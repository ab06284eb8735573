#include "fourier/knot_order.h"

#include <cmath>
#include <cstddef>

#include "fourier/gridding.h"

namespace fourier {
namespace {

constexpr int32_t kMaxTiles = 1 << 20;

struct Tiling {
  int32_t shift;            // tiles are 2^shift grid points on a side
  int32_t rows, columns;    // tiles along each axis
};

Tiling tiling(int32_t M0, int32_t M1) {
  Tiling t{4, 0, 0};
  for (;;) {
    t.rows = static_cast<int32_t>((static_cast<int64_t>(M0) + (1 << t.shift) - 1) >> t.shift);
    t.columns = static_cast<int32_t>((static_cast<int64_t>(M1) + (1 << t.shift) - 1) >> t.shift);
    if (static_cast<int64_t>(t.rows) * t.columns <= kMaxTiles) return t;
    ++t.shift;
  }
}

// The grid point, along an axis of M points, near which a knot's taps lie.
// Only locality matters here, so a non-finite or huge knot goes to 0.
int32_t cell(double k, int32_t M) {
  const double p = std::floor(k * static_cast<double>(M));
  if (!(p > -1e15 && p < 1e15)) return 0;
  int64_t c = (static_cast<int64_t>(p) + M / 2) % M;
  if (c < 0) c += M;
  return static_cast<int32_t>(c);
}

int32_t tile_of(const double* knot, int32_t M0, int32_t M1, const Tiling& t) {
  const int32_t r = cell(knot[1], M0) >> t.shift;
  const int32_t c = cell(knot[0], M1) >> t.shift;
  return r + c * t.rows;
}

}  // namespace

int32_t tile_count(int32_t M0, int32_t M1) {
  if (M0 <= 0 || M1 <= 0) return 0;
  const Tiling t = tiling(M0, M1);
  return t.rows * t.columns;
}

bool tile_order_pays(int32_t M0, int32_t M1, int32_t N) {
  // Two 8-byte planes beyond about 2 MB, and more knots than tiles.
  const int64_t points = static_cast<int64_t>(M0) * M1;
  return points >= (int64_t{1} << 17) && N >= 4096 && N >= tile_count(M0, M1) / 4;
}

void gather_2d_in_tile_order(const double* re, const double* im, int32_t M0, int32_t M1,
                             const double* knots, int32_t N, double* out_re, double* out_im,
                             const TileOrderScratch& s) {
  if (M0 <= 0 || M1 <= 0 || N <= 0) {
    gather_2d(re, im, M0, M1, knots, N, out_re, out_im);
    return;
  }
  const Tiling t = tiling(M0, M1);
  const int32_t tiles = t.rows * t.columns;
  for (int32_t i = 0; i <= tiles; ++i) s.counts[i] = 0;
  for (int64_t j = 0; j < N; ++j) ++s.counts[tile_of(knots + 2 * j, M0, M1, t) + 1];
  for (int32_t i = 0; i < tiles; ++i) s.counts[i + 1] += s.counts[i];
  for (int32_t j = 0; j < N; ++j) s.order[s.counts[tile_of(knots + 2 * static_cast<int64_t>(j), M0, M1, t)]++] = j;

  for (int64_t i = 0; i < N; ++i) {
    const int64_t j = s.order[i];
    s.knots[2 * i] = knots[2 * j];
    s.knots[2 * i + 1] = knots[2 * j + 1];
    s.out_re[i] = out_re[j];
    s.out_im[i] = out_im[j];
  }
  gather_2d(re, im, M0, M1, s.knots, N, s.out_re, s.out_im);
  for (int64_t i = 0; i < N; ++i) {
    out_re[s.order[i]] = s.out_re[i];
    out_im[s.order[i]] = s.out_im[i];
  }
}

}  // namespace fourier
