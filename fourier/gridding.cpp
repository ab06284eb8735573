#include "fourier/gridding.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace fourier {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwelvePi = 37.69911184307752;

// A knot placed on one axis: its phase x in [0, 2*pi/M) and the grid index
// of its first tap.
struct Placement {
  double x;
  int64_t tap0;
};

// False for a NaN or infinite coordinate. The documented index sum
// floor(M/2) + m + M - 11 is formed in 64 bits and reduced into 0 .. M-1, so
// negative sums keep wrapping periodically instead of indexing below the
// grid. M must be positive.
bool place(double k, int32_t M, Placement* p) {
  if (!std::isfinite(k)) return false;
  const double Md = static_cast<double>(M);
  double fm = std::floor(k * Md);
  if (!(fm >= -2147483648.0 && fm < 2147483648.0)) {
    // m would not fit 32 bits. k - floor(k) is exact and names the same
    // position on the periodic grid, and puts m in 0 .. M.
    k = k - std::floor(k);
    fm = std::floor(k * Md);
  }
  const int32_t m = static_cast<int32_t>(fm);
  p->x = (k - static_cast<double>(m) / Md) * 2.0 * kPi;
  int64_t s = (static_cast<int64_t>(M / 2) + m + M - 11) % M;
  if (s < 0) s += M;
  p->tap0 = s;
  return true;
}

// Grid indices of the 24 taps, times `step`. tap0 < M, so one conditional
// subtraction wraps every tap once the axis has at least 24 points.
void fill_tap_offsets(int64_t tap0, int32_t M, int64_t step, int64_t offsets[kTaps]) {
  if (M >= kTaps) {
    for (int t = 0; t < kTaps; ++t) {
      int64_t i = tap0 + t;
      i -= i >= M ? M : 0;
      offsets[t] = i * step;
    }
  } else {
    for (int t = 0; t < kTaps; ++t) offsets[t] = ((tap0 + t) % M) * step;
  }
}

double base_factor(double x, double tau) { return std::exp(-(x * x / (tau * 4.0))); }

}  // namespace

double spreading_parameter(int32_t M) {
  const double M2 = static_cast<double>(M) * static_cast<double>(M);
  return kTwelvePi / (M2 * 1.5 * 0.5);
}

void fill_offset_weights(int32_t M, double tau, double G[kTaps]) {
  for (int t = 0; t < kTaps; ++t) {
    const double s = static_cast<double>(t - 11) * kPi / static_cast<double>(M);
    G[t] = std::exp(-(std::pow(s, 2.0) / tau));
  }
}

void fill_shift_powers(double x, int32_t M, double tau, double P[kTaps]) {
  const double E = std::exp((x * kPi) / (static_cast<double>(M) * tau));
  // Negative powers multiply by the reciprocal rather than divide by E.
  const double R = 1.0 / E;
  P[11] = 1.0;
  for (int n = 12; n < kTaps; ++n) P[n] = P[n - 1] * E;
  for (int n = 10; n >= 0; --n) P[n] = P[n + 1] * R;
}

void gather_2d(const double* re, const double* im, int32_t M0, int32_t M1, const double* knots,
               int32_t N, double* out_re, double* out_im) {
  if (M0 <= 0 || M1 <= 0) return;
  const double tau_r = spreading_parameter(M0);
  const double tau_c = spreading_parameter(M1);
  double Gr[kTaps], Gc[kTaps];
  fill_offset_weights(M0, tau_r, Gr);
  fill_offset_weights(M1, tau_c, Gc);
  if (N <= 0) return;
  const double nan = std::numeric_limits<double>::quiet_NaN();

  for (int64_t j = 0; j < N; ++j) {
    Placement pr, pc;
    const bool row_ok = place(knots[2 * j + 1], M0, &pr);
    const bool col_ok = place(knots[2 * j], M1, &pc);
    if (!row_ok || !col_ok) {
      out_re[j] += nan;
      out_im[j] += nan;
      continue;
    }
    const double B = std::exp(-(pr.x * pr.x / (tau_r * 4.0)) - pc.x * pc.x / (tau_c * 4.0));
    double Pr[kTaps], Pc[kTaps];
    fill_shift_powers(pr.x, M0, tau_r, Pr);
    fill_shift_powers(pc.x, M1, tau_c, Pc);
    int64_t rows[kTaps], cols[kTaps];
    fill_tap_offsets(pr.tap0, M0, 1, rows);
    fill_tap_offsets(pc.tap0, M1, M0, cols);

    double acc_re = out_re[j], acc_im = out_im[j];
    for (int a = 0; a < kTaps; ++a) {
      const double W = (Pc[a] * B) * Gc[a];
      const double* col_re = re + cols[a];
      const double* col_im = im + cols[a];
      for (int t = 0; t < kTaps; ++t) {
        const double w = (Pr[t] * W) * Gr[t];
        acc_re += w * col_re[rows[t]];
        acc_im += w * col_im[rows[t]];
      }
    }
    out_re[j] = acc_re;
    out_im[j] = acc_im;
  }
}

LinkedLayout linked_layout(int32_t M0, int32_t M1, int32_t d, int32_t knot_rows,
                           int32_t knot_columns) {
  LinkedLayout L{};
  L.Md = d == 0 ? M0 : M1;
  L.Ml = d == 0 ? M1 : M0;
  L.shared = knot_rows == 1 || knot_columns == 1;
  // With shared knots the element count is at most one 32-bit length, since
  // one of the two factors is 1.
  L.nK = L.shared ? knot_rows * knot_columns : (d == 0 ? knot_rows : knot_columns);
  if (d == 0) {
    L.out_rows = L.nK;
    L.out_columns = L.Ml;
    L.result_step_knot = 1;
    L.result_step_line = L.nK;
    L.grid_step_along = 1;
    L.grid_step_line = L.Md;
  } else {
    L.out_rows = L.Ml;
    L.out_columns = L.nK;
    L.result_step_knot = L.Ml;
    L.result_step_line = 1;
    L.grid_step_along = L.Ml;
    L.grid_step_line = 1;
  }
  return L;
}

void gather_lines(const double* re, const double* im, const double* knots,
                  const LinkedLayout& L, double* out_re, double* out_im) {
  if (L.Md <= 0) return;
  const double tau = spreading_parameter(L.Md);
  double G[kTaps];
  fill_offset_weights(L.Md, tau, G);
  if (L.nK <= 0) return;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const int64_t rk = L.result_step_knot, rl = L.result_step_line;
  const int64_t gl = L.grid_step_line;

  for (int64_t j = 0; j < L.nK; ++j) {
    if (L.shared) {
      Placement p;
      if (!place(knots[j], L.Md, &p)) {
        for (int64_t l = 0; l < L.Ml; ++l) {
          out_re[j * rk + l * rl] += nan;
          out_im[j * rk + l * rl] += nan;
        }
        continue;
      }
      const double B = base_factor(p.x, tau);
      double P[kTaps];
      fill_shift_powers(p.x, L.Md, tau, P);
      int64_t taps[kTaps];
      fill_tap_offsets(p.tap0, L.Md, L.grid_step_along, taps);
      for (int t = 0; t < kTaps; ++t) {
        const double w = (P[t] * B) * G[t];
        for (int64_t l = 0; l < L.Ml; ++l) {
          out_re[j * rk + l * rl] += w * re[taps[t] + l * gl];
          out_im[j * rk + l * rl] += w * im[taps[t] + l * gl];
        }
      }
    } else {
      for (int64_t l = 0; l < L.Ml; ++l) {
        const int64_t o = j * rk + l * rl;
        Placement p;
        if (!place(knots[o], L.Md, &p)) {
          out_re[o] += nan;
          out_im[o] += nan;
          continue;
        }
        const double B = base_factor(p.x, tau);
        double P[kTaps];
        fill_shift_powers(p.x, L.Md, tau, P);
        int64_t taps[kTaps];
        fill_tap_offsets(p.tap0, L.Md, L.grid_step_along, taps);
        const double* line_re = re + l * gl;
        const double* line_im = im + l * gl;
        double acc_re = out_re[o], acc_im = out_im[o];
        for (int t = 0; t < kTaps; ++t) {
          const double w = (P[t] * B) * G[t];
          acc_re += w * line_re[taps[t]];
          acc_im += w * line_im[taps[t]];
        }
        out_re[o] = acc_re;
        out_im[o] = acc_im;
      }
    }
  }
}

}  // namespace fourier
