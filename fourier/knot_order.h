// Visiting the grid in an order the caches like, with caller-provided
// scratch, for the cases where the plain evaluations are bound by memory.
//
// Full 2-D mode:
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

#include "fourier/gridding.h"

namespace fourier {

struct TileOrderScratch {
  int32_t* counts;   // tile_count(M0, M1, N) + 1 values
  int32_t* order;    // N values
  double* knots;     // 2 N values
  double* out_re;    // N values
  double* out_im;    // N values
};

// Number of tiles the N knots are sorted into on an M0 x M1 grid; at most
// 2^20.
int32_t tile_count(int32_t M0, int32_t M1, int32_t N);

// Whether the reordering is expected to pay for itself: grids beyond the
// processor caches and knots in thousands.
bool tile_order_pays(int32_t M0, int32_t M1, int32_t N);

// Same contract as gather_2d, plus the scratch above.
void gather_2d_in_tile_order(const double* re, const double* im, int32_t M0, int32_t M1,
                             const double* knots, int32_t N, double* out_re, double* out_im,
                             const TileOrderScratch& scratch);

// Linked-dimension mode along the rows (d = 1) with a line of knots per
// line: every knot reads its row at 24 points one column apart, which on a
// grid of many rows is a stride the caches cannot hold. The grid, the knots
// and the results are transposed into the scratch, the lines are evaluated
// as columns (d = 0), and the results transposed back. Each result element
// goes through exactly the arithmetic of gather_lines, so the bits agree.
struct TransposeScratch {
  double* re;       // M0 M1 values
  double* im;       // M0 M1 values
  double* knots;    // nK Ml values
  double* out_re;   // nK Ml values
  double* out_im;   // nK Ml values
};

// Whether `layout` is the d = 1 per-line case on a grid large enough for the
// transposition to pay.
bool transpose_pays(const LinkedLayout& layout);

// Same contract as gather_lines for such a layout, plus the scratch above;
// any other layout is handed to gather_lines unchanged.
void gather_lines_transposed(const double* re, const double* im, const double* knots,
                             const LinkedLayout& layout, double* out_re, double* out_im,
                             const TransposeScratch& scratch);

}  // namespace fourier
