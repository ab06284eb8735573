// The lightness mapping over many colours at once, with the mesh indexed by
// hue so that each colour cuts only the triangles its hue plane can reach.
//
// Same inputs, same output and the same bits as unfold_per_element: every
// triangle that can give a segment containing a colour's chroma is cut with
// exactly the arithmetic of mesh_hue_slice, in mesh column order, and a
// triangle is skipped only where it provably gives no such segment. The
// grounds for skipping are conservative by orders of magnitude over the
// rounding of the cut:
//   - hue: a triangle is filed under the hue intervals its boundary covers
//     outside a small disc about the axis (radius 1e-5 of its largest |a|,
//     |b|), widened by 1e-6 rad; at any other hue it can contribute only a
//     segment of chroma below that radius, which matters only to colours that
//     close to the axis, and those also cut every triangle that comes near it;
//   - chroma: a segment's ends lie on the triangle, so a colour whose chroma
//     is outside the triangle's chroma range (widened) cannot be inside it;
//   - triangles with non-finite, tiny (below 1e-100) or huge (above 1e100)
//     opponent coordinates are cut for every colour, as are those covering
//     more than half the hue circle, and, should the index outgrow a small
//     multiple of the mesh, the most spread-out ones.
// The index is a table of (hue bin, chroma bin) cells, each listing its
// triangles in column order.
// Colours that repeat (same a, b and pivot_L bits) reuse their boundary
// lightness from a small cache.
//
// Reads only the nine vertex doubles of each mesh column and `count`
// elements of each per-element array; writes only `out`; makes no host call.
// Scratch is held in std::vector, so it can throw std::bad_alloc.
#pragma once

#include <cstdint>

namespace colour {

// `hue_bins` sets the resolution of the hue index (0: chosen from K). It
// changes the speed only; tests use very fine bins, where a triangle filed
// under too narrow an interval would show.
void unfold_indexed(const double* x, const double* a, const double* b, const double* mesh,
                    int32_t K, const double* pivot_L, const double* pivot_C, const double* top_L,
                    const double* bottom_L, int64_t count, double* out, int32_t hue_bins = 0);

}  // namespace colour
