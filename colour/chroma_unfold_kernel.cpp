#include "colour/chroma_unfold_kernel.h"

#include <cmath>
#include <cstddef>

#include "colour/chroma_unfold_steps.h"

namespace colour {

int64_t mesh_hue_slice(double h, const double* mesh, int32_t K, SegmentLists* lists) {
  const double s = std::sin(h);
  const double c = std::cos(h);
  lists->C_first.clear();
  lists->C_second.clear();
  lists->L_first.clear();
  lists->L_second.clear();
  for (int32_t k = 0; k < K; ++k) {
    Segment g;
    if (!cut_triangle(s, c, mesh + 14 * static_cast<std::ptrdiff_t>(k), &g)) continue;
    lists->C_first.push_back(g.C_first);
    lists->C_second.push_back(g.C_second);
    lists->L_first.push_back(g.L_first);
    lists->L_second.push_back(g.L_second);
  }
  return static_cast<int64_t>(lists->C_first.size());
}

double unfold_lightness(double x, double a, double b, double pivot_L, double pivot_C, double top_L,
                        double bottom_L, const double* mesh, int32_t K, SegmentLists* lists) {
  const double r = std::sqrt(a * a + b * b);
  const double h = std::atan2(b, a);
  const int64_t n = mesh_hue_slice(h, mesh, K, lists);
  double L_upper = 100.0;
  double L_lower = 0.0;
  for (int64_t k = 0; k < n; ++k) {
    const std::size_t j = static_cast<std::size_t>(k);
    const Segment g{lists->C_first[j], lists->C_second[j], lists->L_first[j], lists->L_second[j]};
    apply_segment(g, r, pivot_L, &L_upper, &L_lower);
  }
  return stretch_lightness(x, r, pivot_L, pivot_C, top_L, bottom_L, L_upper, L_lower);
}

void unfold_per_element(const double* x, const double* a, const double* b, const double* mesh,
                        int32_t K, const double* pivot_L, const double* pivot_C,
                        const double* top_L, const double* bottom_L, int64_t count, double* out) {
  SegmentLists lists;
  for (int64_t i = 0; i < count; ++i)
    out[i] = unfold_lightness(x[i], a[i], b[i], pivot_L[i], pivot_C[i], top_L[i], bottom_L[i], mesh,
                              K, &lists);
}

}  // namespace colour
