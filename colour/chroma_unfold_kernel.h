// Lightness mapping of colours from a triangular source gamut onto a gamut
// surface given as a triangle mesh, one colour at a time.
//
// mesh  14 x K doubles, column-major; column k (from element 14*k) holds the
//       vertices V0, V1, V2 as (lightness, a, b) in elements 0-8.
// Colours are lightness x and opponent coordinates a, b; chroma is
// sqrt(a*a + b*b) and hue atan2(b, a) in radians. In each hue plane the
// source gamut is the triangle (0, top_L), (pivot_C, pivot_L), (0, bottom_L)
// in (chroma, lightness).
//
// The lists grow as needed, so any number of segments per hue is held. These
// functions read only the nine vertex doubles of each of the K columns, write
// only the lists and the output, and make no host call; growing a list can
// throw std::bad_alloc.
#pragma once

#include <cstdint>
#include <vector>

namespace colour {

// Four parallel lists: entry n of each belongs to segment n.
struct SegmentLists {
  std::vector<double> C_first, C_second, L_first, L_second;
};

// Cuts every triangle of the mesh, in column order, with the half-plane of
// hue h and replaces the lists' contents by the segments found. Returns
// their number.
int64_t mesh_hue_slice(double h, const double* mesh, int32_t K, SegmentLists* lists);

// Mapped lightness of one colour: the mesh is cut at the colour's hue (using
// `lists` as scratch), the upper and lower boundary lightness at its chroma
// are found (100 and 0 where no segment gives one; a later segment wins),
// and x is stretched linearly about pivot_L onto them.
double unfold_lightness(double x, double a, double b, double pivot_L, double pivot_C, double top_L,
                        double bottom_L, const double* mesh, int32_t K, SegmentLists* lists);

// out[i] = unfold_lightness of element i, for i in [0, count): the mesh is
// cut again for every element. Every per-element array holds `count` doubles.
void unfold_per_element(const double* x, const double* a, const double* b, const double* mesh,
                        int32_t K, const double* pivot_L, const double* pivot_C,
                        const double* top_L, const double* bottom_L, int64_t count, double* out);

}  // namespace colour
