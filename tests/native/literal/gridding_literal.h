// The Gaussian gridding evaluator written out plainly, one knot and one tap
// at a time, for bit-exact comparison with the optimised kernels. It uses
// the layout of fourier/gridding.h and follows the same rules for knots
// outside the directly defined range (64-bit periodic wrap, fractional part
// of huge knots, NaN for non-finite knots, nothing from an empty axis).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "fourier/gridding.h"

namespace literal {

constexpr double kPi = 3.141592653589793;

inline double spreading_parameter(int32_t M) {
  const double M2 = static_cast<double>(M) * static_cast<double>(M);
  return 37.69911184307752 / (M2 * 1.5 * 0.5);
}

inline void fill_offset_weights(int32_t M, double tau, double G[24]) {
  for (int t = 0; t < 24; ++t) {
    const double s = static_cast<double>(t - 11) * kPi / static_cast<double>(M);
    G[t] = std::exp(-(std::pow(s, 2.0) / tau));
  }
}

inline void fill_shift_powers(double x, int32_t M, double tau, double P[24]) {
  const double E = std::exp((x * kPi) / (static_cast<double>(M) * tau));
  const double R = 1.0 / E;
  P[11] = 1.0;
  for (int n = 12; n <= 23; ++n) P[n] = P[n - 1] * E;
  for (int n = 10; n >= 0; --n) P[n] = P[n + 1] * R;
}

// Places k on M points: false for a non-finite k; otherwise the phase x and
// the index sum of tap 0, floor(M/2) + m + M - 11, which may be negative or
// beyond 32 bits.
inline bool place(double k, int32_t M, double* x, int64_t* tap0) {
  if (!std::isfinite(k)) return false;
  double fm = std::floor(k * static_cast<double>(M));
  if (!(fm >= -2147483648.0 && fm < 2147483648.0)) {
    k = k - std::floor(k);
    fm = std::floor(k * static_cast<double>(M));
  }
  const int32_t m = static_cast<int32_t>(fm);
  *x = (k - static_cast<double>(m) / static_cast<double>(M)) * 2.0 * kPi;
  *tap0 = static_cast<int64_t>(M / 2) + m + M - 11;
  return true;
}

// The grid index of tap t: one 32-bit remainder per tap wherever the sum is
// non-negative and fits 32 bits, otherwise the periodic reduction in 64 bits.
inline int64_t tap_index(int64_t tap0, int t, int32_t M) {
  const int64_t sum = tap0 + t;
  if (tap0 >= 0 && tap0 + 23 <= INT32_MAX) return static_cast<int32_t>(sum) % M;
  const int64_t r = sum % M;
  return r < 0 ? r + M : r;
}

inline void gather_2d(const double* re, const double* im, int32_t M0, int32_t M1,
                      const double* knots, int32_t N, double* out_re, double* out_im) {
  if (M0 == 0 || M1 == 0) return;
  const double tau_r = spreading_parameter(M0);
  const double tau_c = spreading_parameter(M1);
  double Gr[24], Gc[24];
  fill_offset_weights(M0, tau_r, Gr);
  fill_offset_weights(M1, tau_c, Gc);
  if (N <= 0) return;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int64_t j = 0; j < N; ++j) {
    double xr, xc;
    int64_t r0, c0;
    const bool ok_r = place(knots[2 * j + 1], M0, &xr, &r0);
    const bool ok_c = place(knots[2 * j], M1, &xc, &c0);
    if (!ok_r || !ok_c) {
      out_re[j] += nan;
      out_im[j] += nan;
      continue;
    }
    const double B = std::exp(-(xr * xr / (tau_r * 4.0)) - xc * xc / (tau_c * 4.0));
    double Pr[24], Pc[24];
    fill_shift_powers(xr, M0, tau_r, Pr);
    fill_shift_powers(xc, M1, tau_c, Pc);
    for (int a = 0; a < 24; ++a) {
      const int64_t col = tap_index(c0, a, M1);
      const double W = (Pc[a] * B) * Gc[a];
      for (int t = 0; t < 24; ++t) {
        const int64_t row = tap_index(r0, t, M0);
        const double w = (Pr[t] * W) * Gr[t];
        out_re[j] += w * re[row + col * M0];
        out_im[j] += w * im[row + col * M0];
      }
    }
  }
}

inline void gather_lines(const double* re, const double* im, const double* knots,
                         const fourier::LinkedLayout& L, double* out_re, double* out_im) {
  if (L.Md == 0) return;
  const double tau = spreading_parameter(L.Md);
  double G[24];
  fill_offset_weights(L.Md, tau, G);
  if (L.nK <= 0) return;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int64_t j = 0; j < L.nK; ++j) {
    if (L.shared) {
      double x;
      int64_t r0;
      if (!place(knots[j], L.Md, &x, &r0)) {
        for (int64_t l = 0; l < L.Ml; ++l) {
          out_re[j * L.result_step_knot + l * L.result_step_line] += nan;
          out_im[j * L.result_step_knot + l * L.result_step_line] += nan;
        }
        continue;
      }
      const double B = std::exp(-(x * x / (tau * 4.0)));
      double P[24];
      fill_shift_powers(x, L.Md, tau, P);
      for (int t = 0; t < 24; ++t) {
        const int64_t r = tap_index(r0, t, L.Md);
        const double w = (P[t] * B) * G[t];
        for (int64_t l = 0; l < L.Ml; ++l) {
          const int64_t o = j * L.result_step_knot + l * L.result_step_line;
          const int64_t g = r * L.grid_step_along + l * L.grid_step_line;
          out_re[o] += w * re[g];
          out_im[o] += w * im[g];
        }
      }
    } else {
      for (int64_t l = 0; l < L.Ml; ++l) {
        const int64_t o = j * L.result_step_knot + l * L.result_step_line;
        double x;
        int64_t r0;
        if (!place(knots[o], L.Md, &x, &r0)) {
          out_re[o] += nan;
          out_im[o] += nan;
          continue;
        }
        const double B = std::exp(-(x * x / (tau * 4.0)));
        double P[24];
        fill_shift_powers(x, L.Md, tau, P);
        for (int t = 0; t < 24; ++t) {
          const int64_t r = tap_index(r0, t, L.Md);
          const double w = (P[t] * B) * G[t];
          const int64_t g = r * L.grid_step_along + l * L.grid_step_line;
          out_re[o] += w * re[g];
          out_im[o] += w * im[g];
        }
      }
    }
  }
}

}  // namespace literal
