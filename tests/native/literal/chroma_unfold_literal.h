// The lightness mapping written out as documented, one colour at a time, for
// comparison with the kernels: every element recomputes its hue, cuts every
// mesh triangle with the hue half-plane into four parallel lists, then walks
// the lists in order and stretches the lightness about the pivot. Written
// independently of colour/ so that the arithmetic is checked, not shared.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace literal {

struct ChromaLists {
  std::vector<double> C_first, C_second, L_first, L_second;
};

inline int64_t mesh_hue_slice(double h, const double* mesh, int32_t K, ChromaLists& lists) {
  const double sh = std::sin(h);
  const double ch = std::cos(h);
  lists.C_first.clear();
  lists.C_second.clear();
  lists.L_first.clear();
  lists.L_second.clear();
  for (int32_t k = 0; k < K; ++k) {
    const double* col = mesh + 14 * static_cast<std::ptrdiff_t>(k);
    double V[3][3];
    for (int v = 0; v < 3; ++v)
      for (int e = 0; e < 3; ++e) V[v][e] = col[3 * v + e];
    // Edges in order: V1 towards V0, V2 towards V0, V2 towards V1.
    const int from[3] = {1, 2, 2};
    const int to[3] = {0, 0, 1};
    double PL[3], Pa[3], Pb[3], PC[3];
    int n = 0;
    for (int e = 0; e < 3; ++e) {
      const double* F = V[from[e]];
      const double* T = V[to[e]];
      const double D = -sh * (T[1] - F[1]) + ch * (T[2] - F[2]);
      if (D == 0) continue;
      const double t = -(-sh * F[1] + ch * F[2]) / D;
      if (t >= 0 && t <= 1) {
        PL[n] = F[0] + t * (T[0] - F[0]);
        Pa[n] = F[1] + t * (T[1] - F[1]);
        Pb[n] = F[2] + t * (T[2] - F[2]);
        PC[n] = std::sqrt(Pa[n] * Pa[n] + Pb[n] * Pb[n]);
        ++n;
      }
    }
    if (n < 2) continue;
    bool same_side = true;
    for (int p = 0; p < n; ++p)
      if (!(Pa[p] * ch >= 0 && Pb[p] * sh >= 0)) same_side = false;
    if (!same_side) continue;
    int second = 1;
    if (n == 3 && !(PC[2] == PC[0] && PL[2] == PL[0])) second = 2;
    lists.C_first.push_back(PC[0]);
    lists.L_first.push_back(PL[0]);
    lists.C_second.push_back(PC[second]);
    lists.L_second.push_back(PL[second]);
  }
  return static_cast<int64_t>(lists.C_first.size());
}

inline double unfold_lightness(double x, double a, double b, double pivot_L, double pivot_C,
                               double top_L, double bottom_L, const double* mesh, int32_t K,
                               ChromaLists& lists) {
  const double r = std::sqrt(a * a + b * b);
  const double h = std::atan2(b, a);
  const int64_t n = mesh_hue_slice(h, mesh, K, lists);
  double L_upper = 100.0;
  double L_lower = 0.0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) {
    const double C1 = lists.C_first[k], C2 = lists.C_second[k];
    const double L1 = lists.L_first[k], L2 = lists.L_second[k];
    const double lo = C1 <= C2 ? C1 : C2;
    const double hi = C1 <= C2 ? C2 : C1;
    if (!(r >= lo && r <= hi)) continue;
    const double Lk = L1 + (r - C1) * (L2 - L1) / (C2 - C1);
    if (L1 - pivot_L > 0.0001 || L2 - pivot_L > 0.0001) L_upper = Lk;
    if (L1 - pivot_L < -0.0001 || L2 - pivot_L < -0.0001) L_lower = Lk;
  }
  if (x > pivot_L) {
    const double E_top = top_L + r * (pivot_L - top_L) / pivot_C;
    return pivot_L + (x - pivot_L) * (L_upper - pivot_L) / (E_top - pivot_L);
  }
  const double E_bottom = bottom_L + r * (pivot_L - bottom_L) / pivot_C;
  return pivot_L + (x - pivot_L) * (L_lower - pivot_L) / (E_bottom - pivot_L);
}

inline void chroma_unfold(const double* x, const double* a, const double* b, const double* mesh,
                          int32_t K, const double* pivot_L, const double* pivot_C,
                          const double* top_L, const double* bottom_L, int64_t count, double* out) {
  ChromaLists lists;
  for (int64_t i = 0; i < count; ++i)
    out[i] = unfold_lightness(x[i], a[i], b[i], pivot_L[i], pivot_C[i], top_L[i], bottom_L[i], mesh,
                              K, lists);
}

}  // namespace literal
