// Visiting the knots of the full 2-D mode in grid order.
//
// Knots at random positions make every knot fetch its 24 x 24 neighbourhood
// from far away in memory; on a grid larger than the caches that costs more
// than the arithmetic. gather_2d_in_tile_order sorts the knots by the tile
// of the grid their taps start in (tiles in column-major order, a counting
// sort), runs gather_2d on the sorted copy and writes every result back to
// its own knot's place. Each result is computed exactly as gather_2d
// computes it, so the bits agree with gather_2d for every input.
//
// The caller provides the scratch: it allocates nothing and calls no host.
#pragma once

#include <cstdint>

namespace fourier {

struct TileOrderScratch {
  int32_t* counts;   // tile_count(M0, M1) + 1 values
  int32_t* order;    // N values
  double* knots;     // 2 N values
  double* out_re;    // N values
  double* out_im;    // N values
};

// Number of tiles of an M0 x M1 grid; at most 2^20.
int32_t tile_count(int32_t M0, int32_t M1);

// Whether the reordering is expected to pay for itself: grids beyond the
// processor caches and enough knots to share the tiles.
bool tile_order_pays(int32_t M0, int32_t M1, int32_t N);

// Same contract as gather_2d, plus the scratch above.
void gather_2d_in_tile_order(const double* re, const double* im, int32_t M0, int32_t M1,
                             const double* knots, int32_t N, double* out_re, double* out_im,
                             const TileOrderScratch& scratch);

}  // namespace fourier
