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

// Tiles of 2 x 2 grid points, or larger ones where the grid would otherwise
// have more tiles than knots (or than 2^20): the knots that follow each other
// then share nearly all of their 24 x 24 neighbourhood.
Tiling tiling(int32_t M0, int32_t M1, int32_t N) {
  const int64_t limit = N > kMaxTiles ? kMaxTiles : (N < 4096 ? 4096 : N);
  Tiling t{1, 0, 0};
  for (;;) {
    t.rows = static_cast<int32_t>((static_cast<int64_t>(M0) + (1 << t.shift) - 1) >> t.shift);
    t.columns = static_cast<int32_t>((static_cast<int64_t>(M1) + (1 << t.shift) - 1) >> t.shift);
    if (static_cast<int64_t>(t.rows) * t.columns <= limit) return t;
    ++t.shift;
  }
}

// The grid point, along an axis of M points, near which a knot's taps lie.
// Only locality matters here, so a non-finite or huge knot goes to 0.
int32_t cell(double k, int32_t M) {
  const double p = std::floor(k * static_cast<double>(M));
  if (!(p > -1e15 && p < 1e15)) return 0;
  int64_t c = static_cast<int64_t>(p) + M / 2;
  if (c >= M) c -= M;
  if (c < 0 || c >= M) {
    c %= M;
    if (c < 0) c += M;
  }
  return static_cast<int32_t>(c);
}

int32_t tile_of(const double* knot, int32_t M0, int32_t M1, const Tiling& t) {
  const int32_t r = cell(knot[1], M0) >> t.shift;
  const int32_t c = cell(knot[0], M1) >> t.shift;
  return r + c * t.rows;
}

}  // namespace

int32_t tile_count(int32_t M0, int32_t M1, int32_t N) {
  if (M0 <= 0 || M1 <= 0) return 0;
  const Tiling t = tiling(M0, M1, N);
  return t.rows * t.columns;
}

bool tile_order_pays(int32_t M0, int32_t M1, int32_t N) {
  // Two 8-byte planes beyond about 2 MB, and more knots than tiles.
  const int64_t points = static_cast<int64_t>(M0) * M1;
  return points >= (int64_t{1} << 17) && N >= 4096;
}

void gather_2d_in_tile_order(const double* re, const double* im, int32_t M0, int32_t M1,
                             const double* knots, int32_t N, double* out_re, double* out_im,
                             const TileOrderScratch& s) {
  if (M0 <= 0 || M1 <= 0 || N <= 0) {
    gather_2d(re, im, M0, M1, knots, N, out_re, out_im);
    return;
  }
  const Tiling t = tiling(M0, M1, N);
  const int32_t tiles = t.rows * t.columns;
  for (int32_t i = 0; i <= tiles; ++i) s.counts[i] = 0;
  // The tile of each knot is kept in out_re's scratch between the two
  // passes of the counting sort (tile numbers are exact as doubles).
  for (int64_t j = 0; j < N; ++j) {
    const int32_t tile = tile_of(knots + 2 * j, M0, M1, t);
    s.out_re[j] = tile;
    ++s.counts[tile + 1];
  }
  for (int32_t i = 0; i < tiles; ++i) s.counts[i + 1] += s.counts[i];
  for (int32_t j = 0; j < N; ++j) s.order[s.counts[static_cast<int32_t>(s.out_re[j])]++] = j;

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

namespace {

// dst (columns x rows) = transpose of src (rows x columns), both
// column-major, in tiles so that both sides are read and written a cache
// line at a time.
void transpose(const double* src, int64_t rows, int64_t columns, double* dst) {
  constexpr int64_t kTile = 16;
  for (int64_t c0 = 0; c0 < columns; c0 += kTile) {
    const int64_t c1 = c0 + kTile < columns ? c0 + kTile : columns;
    for (int64_t r0 = 0; r0 < rows; r0 += kTile) {
      const int64_t r1 = r0 + kTile < rows ? r0 + kTile : rows;
      for (int64_t c = c0; c < c1; ++c)
        for (int64_t r = r0; r < r1; ++r) dst[c + r * columns] = src[r + c * rows];
    }
  }
}

bool rows_with_own_knots(const LinkedLayout& L) { return L.grid_step_line == 1 && !L.shared && L.Md > 0; }

}  // namespace

bool transpose_pays(const LinkedLayout& L) {
  return rows_with_own_knots(L) && static_cast<int64_t>(L.Md) * L.Ml >= (int64_t{1} << 15) &&
         static_cast<int64_t>(L.nK) * L.Ml >= (int64_t{1} << 12);
}

void gather_lines_transposed(const double* re, const double* im, const double* knots,
                             const LinkedLayout& L, double* out_re, double* out_im,
                             const TransposeScratch& s) {
  if (!rows_with_own_knots(L) || L.nK <= 0 || L.Ml <= 0) {
    gather_lines(re, im, knots, L, out_re, out_im);
    return;
  }
  // The grid is Ml x Md, the knots and results Ml x nK; transposed they are
  // Md x Ml and nK x Ml, the shapes of the d = 0 case.
  transpose(re, L.Ml, L.Md, s.re);
  transpose(im, L.Ml, L.Md, s.im);
  transpose(knots, L.Ml, L.nK, s.knots);
  transpose(out_re, L.Ml, L.nK, s.out_re);
  transpose(out_im, L.Ml, L.nK, s.out_im);
  const LinkedLayout columns = linked_layout(L.Md, L.Ml, 0, L.nK, L.Ml);
  gather_lines(s.re, s.im, s.knots, columns, s.out_re, s.out_im);
  transpose(s.out_re, L.nK, L.Ml, out_re);
  transpose(s.out_im, L.nK, L.Ml, out_im);
}

}  // namespace fourier
