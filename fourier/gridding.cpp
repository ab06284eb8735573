#include "fourier/gridding.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "fourier/gridding_variants.h"

namespace fourier {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwelvePi = 37.69911184307752;
constexpr int kBatch = 8;

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
  int64_t s = static_cast<int64_t>(M / 2) + m + M - 11;
  // Knots within about a period of 0 give sums in [0, 3M): subtracting is
  // cheaper than the division, which is kept for the rest.
  if (s >= M) s -= M;
  if (s >= M) s -= M;
  if (s < 0 || s >= M) {
    s %= M;
    if (s < 0) s += M;
  }
  p->tap0 = s;
  return true;
}

// Whether the 24 taps from tap0 lie on consecutive grid points.
bool contiguous(const Placement& p, int32_t M) { return p.tap0 + (kTaps - 1) < M; }

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

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------
// One result element at a time.

// Adds sum over column taps a, row taps t of
// ((P[t] * W[a]) * G[t]) * grid[rows[t] + cols[a]], in that order.
void accumulate(const double* re, const double* im, const double P[kTaps], const double* W,
                const double G[kTaps], const int64_t rows[kTaps], const int64_t* cols, int A,
                double* out_re, double* out_im) {
  double acc_re = *out_re, acc_im = *out_im;
  for (int a = 0; a < A; ++a) {
    const double* col_re = re + cols[a];
    const double* col_im = im + cols[a];
    for (int t = 0; t < kTaps; ++t) {
      const double w = (P[t] * W[a]) * G[t];
      acc_re += w * col_re[rows[t]];
      acc_im += w * col_im[rows[t]];
    }
  }
  *out_re = acc_re;
  *out_im = acc_im;
}

// ---------------------------------------------------------------------------
// Eight result elements at a time. Each lane keeps its own order of
// products and sums; the lanes only share the instructions. Lane i reads,
// for column tap a, the 24 grid values at rows[t][i] + cols[a][i], weights
// them by (P[t][i] * W[a][i]) * G[t] and adds them into *out_re[i],
// *out_im[i]. Where the rows are consecutive (start[i] + t) they are loaded
// straight from the grid; a lane whose taps wrap round the axis has them
// copied into a small local buffer first. Unused lanes have zero weights,
// read grid value 0 and write into `sink`.
struct Batch {
  alignas(64) double P[kTaps][kBatch];
  alignas(64) double W[kTaps][kBatch];
  // What P and W are made of (see complete()): the shift base E and its
  // reciprocal R along the rows, along the columns (2-D only), and the base
  // factor B.
  double E[kBatch], R[kBatch], Ec[kBatch], Rc[kBatch], B[kBatch];
  int64_t start[kBatch];
  int64_t cols[kTaps][kBatch];
  int64_t rows[kTaps][kBatch];
  bool wraps[kBatch];
  double* out_re[kBatch];
  double* out_im[kBatch];
  double sink[2 * kBatch];
  int n = 0;
  void (*complete)(Batch&, int, const double*) = nullptr;  // builds P and W
};

// E = exp((x*pi)/(M*tau)) and R = 1/E, the two numbers fill_shift_powers
// builds its table from.
void shift_base(double x, int32_t M, double tau, double* E, double* R) {
  *E = std::exp((x * kPi) / (static_cast<double>(M) * tau));
  *R = 1.0 / *E;
}

// Takes the next lane for a knot placed at `p` on M points whose grid
// offsets are `step` apart.
int add_lane(Batch& b, const Placement& p, int32_t M, int64_t step, double E, double R,
             double* out_re, double* out_im) {
  const int i = b.n++;
  b.E[i] = E;
  b.R[i] = R;
  b.start[i] = p.tap0;
  b.wraps[i] = step != 1 || !contiguous(p, M);
  if (b.wraps[i]) {
    int64_t rows[kTaps];
    fill_tap_offsets(p.tap0, M, step, rows);
    for (int t = 0; t < kTaps; ++t) b.rows[t][i] = rows[t];
  }
  b.out_re[i] = out_re;
  b.out_im[i] = out_im;
  return i;
}

// Idle lanes: weight 0, reading grid value 0, writing into the sink.
void pad(Batch& b, int A) {
  for (int i = b.n; i < kBatch; ++i) {
    b.E[i] = b.R[i] = b.Ec[i] = b.Rc[i] = 1.0;
    b.B[i] = 0.0;
    for (int t = 0; t < kTaps; ++t) b.rows[t][i] = 0;
    for (int a = 0; a < A; ++a) b.cols[a][i] = 0;
    b.start[i] = 0;
    b.wraps[i] = true;
    b.sink[2 * i] = b.sink[2 * i + 1] = 0.0;
    b.out_re[i] = &b.sink[2 * i];
    b.out_im[i] = &b.sink[2 * i + 1];
  }
}

// The shift power tables of all lanes at once, each lane by the recurrence
// of fill_shift_powers, and the column factors W[a] = (Pc[a] * B) * Gc[a]
// (2-D) or W[0] = B (one line).
inline __attribute__((always_inline)) void complete_body(Batch& b, int A, const double* Gc) {
  // The running powers stay in registers rather than going through the table.
  double up[kBatch], down[kBatch];
  for (int i = 0; i < kBatch; ++i) up[i] = down[i] = b.P[11][i] = 1.0;
  for (int n = 12; n < kTaps; ++n)
    for (int i = 0; i < kBatch; ++i) b.P[n][i] = up[i] = up[i] * b.E[i];
  for (int n = 10; n >= 0; --n)
    for (int i = 0; i < kBatch; ++i) b.P[n][i] = down[i] = down[i] * b.R[i];
  if (A == 1) {
    for (int i = 0; i < kBatch; ++i) b.W[0][i] = b.B[i];
    return;
  }
  double Pc[kTaps][kBatch];
  for (int i = 0; i < kBatch; ++i) up[i] = down[i] = Pc[11][i] = 1.0;
  for (int n = 12; n < kTaps; ++n)
    for (int i = 0; i < kBatch; ++i) Pc[n][i] = up[i] = up[i] * b.Ec[i];
  for (int n = 10; n >= 0; --n)
    for (int i = 0; i < kBatch; ++i) Pc[n][i] = down[i] = down[i] * b.Rc[i];
  for (int a = 0; a < kTaps; ++a)
    for (int i = 0; i < kBatch; ++i) b.W[a][i] = (Pc[a][i] * b.B[i]) * Gc[a];
}

void complete(Batch& b, int A, const double* Gc) { complete_body(b, A, Gc); }

void run_batch_scalar(const Batch& b, int A, const double G[kTaps], const double* re,
                      const double* im) {
  for (int i = 0; i < b.n; ++i) {
    double P[kTaps], W[kTaps];
    int64_t rows[kTaps], cols[kTaps];
    for (int t = 0; t < kTaps; ++t) P[t] = b.P[t][i], rows[t] = b.wraps[i] ? b.rows[t][i] : b.start[i] + t;
    for (int a = 0; a < A; ++a) W[a] = b.W[a][i], cols[a] = b.cols[a][i];
    accumulate(re, im, P, W, G, rows, cols, A, b.out_re[i], b.out_im[i]);
  }
}

#if defined(__x86_64__) || defined(__i386__)
#define GRIDDING_X86 1

// These helpers are always inlined into functions compiled for the matching
// instruction set, so the vector calling convention never reaches a call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

template <int NL>
struct Lanes;
template <>
struct Lanes<2> {
  typedef double V __attribute__((vector_size(16)));
  typedef long long I __attribute__((vector_size(16)));
};
template <>
struct Lanes<4> {
  typedef double V __attribute__((vector_size(32)));
  typedef long long I __attribute__((vector_size(32)));
};

template <int NL>
inline __attribute__((always_inline)) typename Lanes<NL>::V load(const double* p) {
  typename Lanes<NL>::V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <int NL>
inline __attribute__((always_inline)) void store(double* p, typename Lanes<NL>::V v) {
  std::memcpy(p, &v, sizeof v);
}

// r[i] holds NL consecutive values of lane i; afterwards r[t] holds value t
// of every lane.
template <int NL>
inline __attribute__((always_inline)) void transpose(typename Lanes<NL>::V r[NL]);

template <>
inline __attribute__((always_inline)) void transpose<2>(Lanes<2>::V r[2]) {
  typedef Lanes<2>::I I;
  const Lanes<2>::V a = __builtin_shuffle(r[0], r[1], I{0, 2});
  const Lanes<2>::V b = __builtin_shuffle(r[0], r[1], I{1, 3});
  r[0] = a;
  r[1] = b;
}

template <>
inline __attribute__((always_inline)) void transpose<4>(Lanes<4>::V r[4]) {
  typedef Lanes<4>::I I;
  const Lanes<4>::V t0 = __builtin_shuffle(r[0], r[1], I{0, 4, 2, 6});
  const Lanes<4>::V t1 = __builtin_shuffle(r[0], r[1], I{1, 5, 3, 7});
  const Lanes<4>::V t2 = __builtin_shuffle(r[2], r[3], I{0, 4, 2, 6});
  const Lanes<4>::V t3 = __builtin_shuffle(r[2], r[3], I{1, 5, 3, 7});
  r[0] = __builtin_shuffle(t0, t2, I{0, 1, 4, 5});
  r[1] = __builtin_shuffle(t1, t3, I{0, 1, 4, 5});
  r[2] = __builtin_shuffle(t0, t2, I{2, 3, 6, 7});
  r[3] = __builtin_shuffle(t1, t3, I{2, 3, 6, 7});
}

template <int NL, int A>
inline __attribute__((always_inline)) void run_batch_lanes(const Batch& b, const double G[kTaps],
                                                           const double* re, const double* im) {
  typedef typename Lanes<NL>::V V;
  constexpr int K = kBatch / NL;
  double start_re[kBatch], start_im[kBatch];
  for (int i = 0; i < kBatch; ++i) start_re[i] = *b.out_re[i], start_im[i] = *b.out_im[i];
  double wrapped_re[kBatch][kTaps], wrapped_im[kBatch][kTaps];
  V acc_re[K], acc_im[K];
  for (int k = 0; k < K; ++k) {
    acc_re[k] = load<NL>(start_re + k * NL);
    acc_im[k] = load<NL>(start_im + k * NL);
  }
  // One group of NL lanes at a time keeps the pointers and vectors of the
  // group in registers; the groups' chains are independent.
  for (int a = 0; a < A; ++a) {
    for (int k = 0; k < K; ++k) {
      const double* src_re[NL];
      const double* src_im[NL];
      for (int n = 0; n < NL; ++n) {
        const int i = k * NL + n;
        if (b.wraps[i]) {
          const double* col_re = re + b.cols[a][i];
          const double* col_im = im + b.cols[a][i];
          for (int t = 0; t < kTaps; ++t) {
            wrapped_re[i][t] = col_re[b.rows[t][i]];
            wrapped_im[i][t] = col_im[b.rows[t][i]];
          }
          src_re[n] = wrapped_re[i];
          src_im[n] = wrapped_im[i];
        } else {
          src_re[n] = re + b.start[i] + b.cols[a][i];
          src_im[n] = im + b.start[i] + b.cols[a][i];
        }
      }
      const V W = load<NL>(&b.W[a][k * NL]);
      V ar = acc_re[k], ai = acc_im[k];
      for (int tb = 0; tb < kTaps; tb += NL) {
        V vr[NL], vi[NL];
        for (int n = 0; n < NL; ++n) {
          vr[n] = load<NL>(src_re[n] + tb);
          vi[n] = load<NL>(src_im[n] + tb);
        }
        transpose<NL>(vr);
        transpose<NL>(vi);
        for (int n = 0; n < NL; ++n) {
          const int t = tb + n;
          const V w = (load<NL>(&b.P[t][k * NL]) * W) * G[t];
          ar += w * vr[n];
          ai += w * vi[n];
        }
      }
      acc_re[k] = ar;
      acc_im[k] = ai;
    }
  }
  for (int k = 0; k < K; ++k) {
    store<NL>(start_re + k * NL, acc_re[k]);
    store<NL>(start_im + k * NL, acc_im[k]);
  }
  for (int i = 0; i < kBatch; ++i) *b.out_re[i] = start_re[i], *b.out_im[i] = start_im[i];
}

__attribute__((target("avx"))) void complete_avx(Batch& b, int A, const double* Gc) {
  complete_body(b, A, Gc);
}

void run_batch_sse2(const Batch& b, int A, const double G[kTaps], const double* re,
                    const double* im) {
  if (A == 1)
    run_batch_lanes<2, 1>(b, G, re, im);
  else
    run_batch_lanes<2, kTaps>(b, G, re, im);
}

__attribute__((target("avx"))) void run_batch_avx(const Batch& b, int A, const double G[kTaps],
                                                  const double* re, const double* im) {
  if (A == 1)
    run_batch_lanes<4, 1>(b, G, re, im);
  else
    run_batch_lanes<4, kTaps>(b, G, re, im);
}

// ---------------------------------------------------------------------------
// Shared knots along the rows (d = 1): the lines are contiguous across the
// grid's rows, so a block of lines is weighted by the same kernel at once.

constexpr int kLineBlock = 16;

// Lines 0 .. n-1 at one knot, four taps at a time across the lines: each tap
// reads one contiguous stretch of the grid (four stretches keep clear of the
// cache's associativity even when the grid's columns are 4 KiB apart), and
// each result collects its contributions in tap order.
constexpr int kTapGroup = 4;

template <int NL>
inline __attribute__((always_inline)) void shared_rows_body(const double* re, const double* im,
                                                            const int64_t taps[kTaps],
                                                            const double w[kTaps], int32_t n,
                                                            double* out_re, double* out_im) {
  typedef typename Lanes<NL>::V V;
  for (int t0 = 0; t0 < kTaps; t0 += kTapGroup) {
    const double* r[kTapGroup];
    const double* q[kTapGroup];
    for (int g = 0; g < kTapGroup; ++g) r[g] = re + taps[t0 + g], q[g] = im + taps[t0 + g];
    int32_t l = 0;
    for (; l + NL <= n; l += NL) {
      V ar = load<NL>(out_re + l), ai = load<NL>(out_im + l);
      for (int g = 0; g < kTapGroup; ++g) {
        ar += w[t0 + g] * load<NL>(r[g] + l);
        ai += w[t0 + g] * load<NL>(q[g] + l);
      }
      store<NL>(out_re + l, ar);
      store<NL>(out_im + l, ai);
    }
    for (; l < n; ++l)
      for (int g = 0; g < kTapGroup; ++g) {
        out_re[l] += w[t0 + g] * r[g][l];
        out_im[l] += w[t0 + g] * q[g][l];
      }
  }
}

void shared_rows_sse2(const double* re, const double* im, const int64_t taps[kTaps],
                      const double w[kTaps], int32_t Ml, double* out_re, double* out_im) {
  shared_rows_body<2>(re, im, taps, w, Ml, out_re, out_im);
}

__attribute__((target("avx"))) void shared_rows_avx(const double* re, const double* im,
                                                    const int64_t taps[kTaps],
                                                    const double w[kTaps], int32_t Ml,
                                                    double* out_re, double* out_im) {
  shared_rows_body<4>(re, im, taps, w, Ml, out_re, out_im);
}
#pragma GCC diagnostic pop
#endif

using BatchRunner = void (*)(const Batch&, int, const double*, const double*, const double*);

BatchRunner runner_for(Simd level) {
#ifdef GRIDDING_X86
  if (level == Simd::avx) return run_batch_avx;
  if (level == Simd::sse2) return run_batch_sse2;
#else
  (void)level;
#endif
  return run_batch_scalar;
}

using Completer = void (*)(Batch&, int, const double*);

Completer completer_for(Simd level) {
#ifdef GRIDDING_X86
  if (level == Simd::avx) return complete_avx;
#else
  (void)level;
#endif
  return complete;
}

// Runs a full batch, or a partial one padded with idle lanes.
void flush(Batch& b, int A, const double* Gc, BatchRunner run, const double G[kTaps],
           const double* re, const double* im) {
  if (b.n == 0) return;
  pad(b, A);
  b.complete(b, A, Gc);
  run(b, A, G, re, im);
  b.n = 0;
}


// One line at one knot, the order of the line loop being free.
void one_line(const double* re, const double* im, const int64_t taps[kTaps], const double w[kTaps],
              double* out_re, double* out_im) {
  double acc_re = *out_re, acc_im = *out_im;
  for (int t = 0; t < kTaps; ++t) {
    acc_re += w[t] * re[taps[t]];
    acc_im += w[t] * im[taps[t]];
  }
  *out_re = acc_re;
  *out_im = acc_im;
}

// The knot's 24 weights (P[t] * B) * G[t] and grid offsets along its line.
void line_kernel(const Placement& p, int32_t Md, double tau, const double G[kTaps], int64_t step,
                 double w[kTaps], int64_t taps[kTaps]) {
  const double B = base_factor(p.x, tau);
  double P[kTaps];
  fill_shift_powers(p.x, Md, tau, P);
  for (int t = 0; t < kTaps; ++t) w[t] = (P[t] * B) * G[t];
  fill_tap_offsets(p.tap0, Md, step, taps);
}

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

bool simd_available(Simd level) {
  switch (level) {
    case Simd::scalar:
      return true;
#ifdef GRIDDING_X86
    case Simd::sse2:
      return true;
    case Simd::avx:
      return __builtin_cpu_supports("avx");
#endif
    default:
      return false;
  }
}

Simd widest_simd() {
  static const Simd widest = simd_available(Simd::avx)    ? Simd::avx
                             : simd_available(Simd::sse2) ? Simd::sse2
                                                          : Simd::scalar;
  return widest;
}

void gather_2d_with(Simd level, const double* re, const double* im, int32_t M0, int32_t M1,
                    const double* knots, int32_t N, double* out_re, double* out_im) {
  if (M0 <= 0 || M1 <= 0) return;
  const double tau_r = spreading_parameter(M0);
  const double tau_c = spreading_parameter(M1);
  double Gr[kTaps], Gc[kTaps];
  fill_offset_weights(M0, tau_r, Gr);
  fill_offset_weights(M1, tau_c, Gc);
  if (N <= 0) return;

  const bool batched = level != Simd::scalar;
  const BatchRunner run = runner_for(level);
  Batch b;
  b.complete = completer_for(level);
  for (int64_t j = 0; j < N; ++j) {
    Placement pr, pc;
    const bool row_ok = place(knots[2 * j + 1], M0, &pr);
    const bool col_ok = place(knots[2 * j], M1, &pc);
    if (!row_ok || !col_ok) {
      out_re[j] += kNaN;
      out_im[j] += kNaN;
      continue;
    }
    const double B = std::exp(-(pr.x * pr.x / (tau_r * 4.0)) - pc.x * pc.x / (tau_c * 4.0));
    int64_t cols[kTaps];
    fill_tap_offsets(pc.tap0, M1, M0, cols);
    if (!batched) {
      double Pr[kTaps], Pc[kTaps], W[kTaps];
      fill_shift_powers(pr.x, M0, tau_r, Pr);
      fill_shift_powers(pc.x, M1, tau_c, Pc);
      for (int a = 0; a < kTaps; ++a) W[a] = (Pc[a] * B) * Gc[a];
      int64_t rows[kTaps];
      fill_tap_offsets(pr.tap0, M0, 1, rows);
      accumulate(re, im, Pr, W, Gr, rows, cols, kTaps, out_re + j, out_im + j);
      continue;
    }
    double E, R;
    shift_base(pr.x, M0, tau_r, &E, &R);
    const int i = add_lane(b, pr, M0, 1, E, R, out_re + j, out_im + j);
    shift_base(pc.x, M1, tau_c, &b.Ec[i], &b.Rc[i]);
    b.B[i] = B;
    for (int a = 0; a < kTaps; ++a) b.cols[a][i] = cols[a];
    if (b.n == kBatch) flush(b, kTaps, Gc, run, Gr, re, im);
  }
  flush(b, kTaps, Gc, run, Gr, re, im);
}

void gather_2d(const double* re, const double* im, int32_t M0, int32_t M1, const double* knots,
               int32_t N, double* out_re, double* out_im) {
  // Two-lane batches measured slower than one knot at a time here (the
  // transposes cost as much as they save), so without AVX the 2-D mode
  // stays scalar.
  const Simd level = widest_simd() == Simd::avx ? Simd::avx : Simd::scalar;
  gather_2d_with(level, re, im, M0, M1, knots, N, out_re, out_im);
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

void gather_lines_with(Simd level, const double* re, const double* im, const double* knots,
                       const LinkedLayout& L, double* out_re, double* out_im) {
  if (L.Md <= 0) return;
  const double tau = spreading_parameter(L.Md);
  double G[kTaps];
  fill_offset_weights(L.Md, tau, G);
  if (L.nK <= 0 || L.Ml <= 0) return;
  const int64_t rk = L.result_step_knot, rl = L.result_step_line;
  const int64_t ga = L.grid_step_along, gl = L.grid_step_line;
  const bool batched = level != Simd::scalar;
  const BatchRunner run = runner_for(level);
  Batch b;
  b.complete = completer_for(level);

  // Shared knots: the lines are taken in blocks whose grid data stays in the
  // second-level cache while every knot is evaluated on them; the knot's
  // kernel is worked out again for each block.
  const int64_t block = std::max<int64_t>(
      kLineBlock, (int64_t{1} << 19) / (16 * static_cast<int64_t>(L.Md)) / kLineBlock * kLineBlock);

  if (L.shared && ga != 1) {
    // Lines are the rows: one knot's kernel serves a block of rows at once.
    using Rows = void (*)(const double*, const double*, const int64_t*, const double*, int32_t,
                          double*, double*);
    Rows rows = nullptr;
#ifdef GRIDDING_X86
    rows = level == Simd::avx ? shared_rows_avx : shared_rows_sse2;
#endif
    for (int64_t l0 = 0; l0 < L.Ml; l0 += block) {
      const int64_t l1 = std::min<int64_t>(L.Ml, l0 + block);
      for (int64_t j = 0; j < L.nK; ++j) {
        Placement p;
        if (!place(knots[j], L.Md, &p)) {
          for (int64_t l = l0; l < l1; ++l) out_re[j * rk + l * rl] += kNaN, out_im[j * rk + l * rl] += kNaN;
          continue;
        }
        double w[kTaps];
        int64_t taps[kTaps];
        line_kernel(p, L.Md, tau, G, ga, w, taps);
        if (level == Simd::scalar || rows == nullptr) {
          for (int64_t l = l0; l < l1; ++l)
            one_line(re + l * gl, im + l * gl, taps, w, out_re + j * rk + l * rl, out_im + j * rk + l * rl);
        } else {
          rows(re + l0, im + l0, taps, w, static_cast<int32_t>(l1 - l0), out_re + j * rk + l0,
               out_im + j * rk + l0);
        }
      }
    }
    return;
  }

  if (L.shared) {
    // Lines are the columns: eight knots at a time, then every line of the block.
    int64_t knot_of[kBatch];
    int64_t l0 = 0, l1 = 0;
    auto every_line = [&]() {
      const int used = b.n;
      pad(b, 1);
      b.complete(b, 1, nullptr);
      for (int64_t l = l0; l < l1; ++l) {
        for (int k = 0; k < used; ++k) {
          b.cols[0][k] = l * gl;
          b.out_re[k] = out_re + knot_of[k] * rk + l * rl;
          b.out_im[k] = out_im + knot_of[k] * rk + l * rl;
        }
        run(b, 1, G, re, im);
      }
      b.n = 0;
    };
    for (; l0 < L.Ml; l0 += block) {
      l1 = std::min<int64_t>(L.Ml, l0 + block);
      for (int64_t j = 0; j < L.nK; ++j) {
        Placement p;
        if (!place(knots[j], L.Md, &p)) {
          for (int64_t l = l0; l < l1; ++l) out_re[j * rk + l * rl] += kNaN, out_im[j * rk + l * rl] += kNaN;
          continue;
        }
        if (!batched) {
          double w[kTaps];
          int64_t taps[kTaps];
          line_kernel(p, L.Md, tau, G, ga, w, taps);
          for (int64_t l = l0; l < l1; ++l)
            one_line(re + l * gl, im + l * gl, taps, w, out_re + j * rk + l * rl, out_im + j * rk + l * rl);
          continue;
        }
        double E, R;
        shift_base(p.x, L.Md, tau, &E, &R);
        const int i = add_lane(b, p, L.Md, 1, E, R, nullptr, nullptr);
        b.B[i] = base_factor(p.x, tau);
        knot_of[i] = j;
        if (b.n == kBatch) every_line();
      }
      if (b.n > 0) every_line();
    }
    return;
  }

  // A knot of its own for every result element. Line by line, so that the
  // line being read stays in the cache while all its knots are evaluated.
  for (int64_t l = 0; l < L.Ml; ++l) {
    for (int64_t j = 0; j < L.nK; ++j) {
      const int64_t o = j * rk + l * rl;
      Placement p;
      if (!place(knots[o], L.Md, &p)) {
        out_re[o] += kNaN;
        out_im[o] += kNaN;
        continue;
      }
      if (!batched) {
        double w[kTaps];
        int64_t taps[kTaps];
        line_kernel(p, L.Md, tau, G, ga, w, taps);
        one_line(re + l * gl, im + l * gl, taps, w, out_re + o, out_im + o);
        continue;
      }
      double E, R;
      shift_base(p.x, L.Md, tau, &E, &R);
      const int i = add_lane(b, p, L.Md, ga, E, R, out_re + o, out_im + o);
      b.B[i] = base_factor(p.x, tau);
      b.cols[0][i] = l * gl;
      if (b.n == kBatch) flush(b, 1, nullptr, run, G, re, im);
    }
  }
  flush(b, 1, nullptr, run, G, re, im);
}

void gather_lines(const double* re, const double* im, const double* knots,
                  const LinkedLayout& layout, double* out_re, double* out_im) {
  gather_lines_with(widest_simd(), re, im, knots, layout, out_re, out_im);
}

}  // namespace fourier
