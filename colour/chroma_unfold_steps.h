// The arithmetic shared by every way of running the lightness mapping: the
// cut of one mesh triangle by one hue half-plane, the effect of one boundary
// segment on the upper and lower lightness, and the final stretch about the
// pivot. Both the per-element kernel and the indexed one are built from these,
// so the order of every product and sum is written down exactly once.
//
// A mesh column holds three vertices (lightness, a, b) at elements 0-2, 3-5
// and 6-8; elements 9-13 are not read. Nothing here allocates, calls a host
// or reads outside the nine doubles of one column.
#pragma once

#include <cmath>

namespace colour {

// One boundary segment in a hue plane: chroma and lightness of both ends.
struct Segment {
  double C_first, C_second, L_first, L_second;
};

namespace detail {

struct CrossingPoint {
  double L, a, b, C;
};

// Distance from the plane through the lightness axis with direction (c, s).
inline double plane_distance(double s, double c, double a, double b) { return -s * a + c * b; }

// Crossing of the edge from `from` towards `to`; false when the edge lies
// parallel to the plane or the crossing is outside the edge (NaN included).
inline bool cut_edge(double s, double c, const double* from, const double* to, CrossingPoint* p) {
  const double dL = to[0] - from[0];
  const double da = to[1] - from[1];
  const double db = to[2] - from[2];
  const double D = plane_distance(s, c, da, db);
  if (D == 0.0) return false;
  const double t = -plane_distance(s, c, from[1], from[2]) / D;
  if (!(t >= 0.0 && t <= 1.0)) return false;
  p->L = from[0] + t * dL;
  p->a = from[1] + t * da;
  p->b = from[2] + t * db;
  p->C = std::sqrt(p->a * p->a + p->b * p->b);
  return true;
}

inline bool on_hue_side(double s, double c, const CrossingPoint& p) {
  return p.a * c >= 0.0 && p.b * s >= 0.0;
}

}  // namespace detail

// Cuts the triangle in `column` with the half-plane of the hue whose sine
// and cosine are s and c. Writes the segment and returns true when the
// triangle contributes one: two or three crossing points, all on the hue's
// own side of the axis. A single crossing point contributes nothing.
inline bool cut_triangle(double s, double c, const double* column, Segment* segment) {
  const double* V0 = column;
  const double* V1 = column + 3;
  const double* V2 = column + 6;
  detail::CrossingPoint p[3];
  int found = 0;
  if (detail::cut_edge(s, c, V1, V0, &p[found])) ++found;
  if (detail::cut_edge(s, c, V2, V0, &p[found])) ++found;
  if (detail::cut_edge(s, c, V2, V1, &p[found])) ++found;
  if (found < 2) return false;
  for (int k = 0; k < found; ++k)
    if (!detail::on_hue_side(s, c, p[k])) return false;
  // With three points the third is the far end, unless it repeats the first
  // (the plane passes through the vertex the first and third edges share).
  const detail::CrossingPoint& second =
      found == 2 || (p[2].C == p[0].C && p[2].L == p[0].L) ? p[1] : p[2];
  segment->C_first = p[0].C;
  segment->L_first = p[0].L;
  segment->C_second = second.C;
  segment->L_second = second.L;
  return true;
}

// Lets one segment update the boundary lightness at chroma r: a segment that
// contains r sets the upper bound when one end lies above the pivot by more
// than the margin, the lower bound when one end lies below it.
inline void apply_segment(const Segment& g, double r, double pivot_L, double* L_upper,
                          double* L_lower) {
  const bool inside = g.C_first <= g.C_second ? g.C_first <= r && r <= g.C_second
                                              : g.C_second <= r && r <= g.C_first;
  if (!inside) return;
  const double Lk =
      g.L_first + (r - g.C_first) * (g.L_second - g.L_first) / (g.C_second - g.C_first);
  if (g.L_first - pivot_L > 0.0001 || g.L_second - pivot_L > 0.0001) *L_upper = Lk;
  if (g.L_first - pivot_L < -0.0001 || g.L_second - pivot_L < -0.0001) *L_lower = Lk;
}

// Stretches lightness x about pivot_L so that the source triangle's edge at
// chroma r lands on the mesh boundary. Divisors are not guarded: a zero one
// gives an infinity or NaN, as documented.
inline double stretch_lightness(double x, double r, double pivot_L, double pivot_C, double top_L,
                                double bottom_L, double L_upper, double L_lower) {
  if (x > pivot_L) {
    const double E_top = top_L + r * (pivot_L - top_L) / pivot_C;
    return pivot_L + (x - pivot_L) * (L_upper - pivot_L) / (E_top - pivot_L);
  }
  // x at or below the pivot, and NaN, take the lower edge.
  const double E_bottom = bottom_L + r * (pivot_L - bottom_L) / pivot_C;
  return pivot_L + (x - pivot_L) * (L_lower - pivot_L) / (E_bottom - pivot_L);
}

}  // namespace colour
