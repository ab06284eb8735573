// Gaussian gridding: interpolation of a uniform periodic complex grid at real
// knots with a Gaussian truncated to 24 taps per axis.
//
// Grid: M0 rows by M1 columns, column-major (element (r, c) at r + c*M0),
// real and imaginary parts in separate arrays; a real grid comes with an
// all-zero imaginary array. A knot coordinate k on an axis of M points is
// measured in grid periods: k = 0 lies on grid index floor(M/2), one unit
// spans all M cells, and the grid repeats with period 1 in k.
//
// In grid cells the weight of a tap at distance d from the knot is
// exp(-pi*d^2/16); it is computed in a factored form, P[t]*B*G[t], from a
// table of offset weights G per axis, a table of shift powers P per knot and
// axis, and one base factor B per knot. No pre-correction, FFT or
// normalisation happens here.
//
// Both evaluations add into the caller's result arrays (pass them zeroed),
// never read or write outside the arrays they are given, never write the
// grid or the knots, allocate nothing and call no host.
//
// Knots whose documented tap index sum is negative or does not fit 32 bits
// still wrap periodically: the index is reduced into 0 .. M-1 in 64-bit
// arithmetic. A knot so large that floor(k*M) does not fit 32 bits is first
// replaced by its fractional part k - floor(k), which is exact and denotes
// the same grid position. A NaN or infinite knot coordinate adds NaN to the
// real and the imaginary part of every result that uses it. A grid with no
// points along an axis that is used contributes nothing: results stay as
// they are.
#pragma once

#include <cstdint>

namespace fourier {

constexpr int kTaps = 24;

// tau = 12*pi / ((M^2 * 1.5) * 0.5) for an axis of M points, M^2 as a double.
double spreading_parameter(int32_t M);

// G[t] = exp(-(((t - 11)*pi/M)^2 / tau)), t = 0 .. 23.
void fill_offset_weights(int32_t M, double tau, double G[kTaps]);

// P[t] = E^(t - 11) with E = exp(x*pi/(M*tau)): powers above 11 by repeated
// multiplication with E, below 11 by repeated multiplication with 1/E.
void fill_shift_powers(double x, int32_t M, double tau, double P[kTaps]);

// Full 2-D mode. knots is 2 x N column-major: knots[2j] is knot j's
// coordinate along the columns (M1 points), knots[2j+1] along the rows (M0
// points). Adds the value at knot j into out_re[j], out_im[j], j < N. Each
// result collects its 576 contributions column tap by column tap, row taps
// innermost.
void gather_2d(const double* re, const double* im, int32_t M0, int32_t M1, const double* knots,
               int32_t N, double* out_re, double* out_im);

// Where the lines, knots and results of the linked-dimension mode lie.
// Element (knot j, line l) of the result is at
// j*result_step_knot + l*result_step_line; grid position r of line l at
// r*grid_step_along + l*grid_step_line.
struct LinkedLayout {
  int32_t Md;           // grid length along the interpolated axis d
  int32_t Ml;           // grid length along the other, linked axis: the number of lines
  int32_t nK;           // knots per line
  bool shared;          // one knot vector for every line, or a line of knots per line
  int32_t out_rows, out_columns;
  int32_t result_step_knot, result_step_line;
  int32_t grid_step_along, grid_step_line;
};

// Layout for interpolating the M0 x M1 grid along axis d (0: each column is a
// line; 1: each row is a line) at a knot array of knot_rows x knot_columns.
// A knot array with exactly one row or one column is shared by every line;
// any other holds, at each result index, the knot of that result element
// (its length along the linked axis must be Ml; the caller checks that).
LinkedLayout linked_layout(int32_t M0, int32_t M1, int32_t d, int32_t knot_rows,
                           int32_t knot_columns);

// Linked-dimension mode: interpolates every line of the grid at its knots and
// adds into the result of the layout's shape. Each result element collects
// its 24 contributions in tap order; with shared knots one kernel per knot
// serves every line.
void gather_lines(const double* re, const double* im, const double* knots,
                  const LinkedLayout& layout, double* out_re, double* out_im);

}  // namespace fourier
