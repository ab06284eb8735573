#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "fourier/gridding.h"
#include "fourier/gridding_variants.h"
#include "fourier/knot_order.h"
#include "tests/native/literal/gridding_literal.h"
#include "tests/native/fixtures.h"

namespace {

using namespace fixtures;

using fourier::LinkedLayout;

const double kPi = 3.141592653589793;
struct Grid {
  int32_t M0, M1;
  std::vector<double> re, im;
  Grid(int32_t m0, int32_t m1, double value_re = 0, double value_im = 0)
      : M0(m0), M1(m1), re(size_t(m0) * size_t(m1), value_re), im(re.size(), value_im) {}
  double& at(int32_t r, int32_t c) { return re[size_t(r) + size_t(c) * size_t(M0)]; }
};

struct Result {
  std::vector<double> re, im;
  explicit Result(size_t n, double start = 0) : re(n, start), im(n, start) {}
};

Result gather_2d(const Grid& g, const std::vector<double>& knots, double start = 0) {
  const int32_t N = int32_t(knots.size() / 2);
  Result out(size_t(N), start);
  fourier::gather_2d(g.re.data(), g.im.data(), g.M0, g.M1, knots.data(), N, out.re.data(),
                     out.im.data());
  return out;
}

Result gather_lines(const Grid& g, const std::vector<double>& knots, int32_t d, int32_t kr,
                    int32_t kc, double start = 0) {
  const LinkedLayout L = fourier::linked_layout(g.M0, g.M1, d, kr, kc);
  Result out(size_t(L.out_rows) * size_t(L.out_columns), start);
  fourier::gather_lines(g.re.data(), g.im.data(), knots.data(), L, out.re.data(), out.im.data());
  return out;
}

// One column of M points interpolated at one shared knot.
double on_line(const std::vector<double>& line, double k) {
  Grid g(int32_t(line.size()), 1);
  g.re = line;
  return gather_lines(g, {k}, 0, 1, 1).re[0];
}

// The closed-form weight of tap t for knot k on M points.
double closed_form_weight(double k, int32_t M, int t) {
  const double m = std::floor(k * M);
  const double f = k * M - m;
  const double l = t - 11;
  return std::exp(-kPi * (f - l) * (f - l) / 16);
}

TEST(Gridding, SpreadingParameterIsSixteenPiOverMSquared) {
  for (int32_t M : {1, 2, 16, 24, 512, 4096, 46340}) {
    const double tau = fourier::spreading_parameter(M);
    EXPECT_NEAR(tau, 16 * kPi / (double(M) * M), 4e-16 * tau) << M;
  }
}

TEST(Gridding, FactoredWeightsMatchTheClosedFormAndAddUpToFour) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0, 1);
  for (int32_t M : {1, 8, 16, 37, 512}) {
    const double tau = fourier::spreading_parameter(M);
    double G[24], P[24];
    fourier::fill_offset_weights(M, tau, G);
    for (int trial = 0; trial < 50; ++trial) {
      const double k = u(rng);
      const double m = std::floor(k * M);
      const double x = (k - m / M) * 2.0 * kPi;
      fourier::fill_shift_powers(x, M, tau, P);
      const double B = std::exp(-(x * x / (tau * 4.0)));
      double sum = 0;
      for (int t = 0; t < 24; ++t) {
        const double w = (P[t] * B) * G[t];
        EXPECT_NEAR(w, closed_form_weight(k, M, t), 1e-14) << "M " << M << " k " << k << " t " << t;
        sum += w;
      }
      EXPECT_NEAR(sum, 4.0, 6e-13) << "M " << M << " k " << k;
    }
  }
}

TEST(Gridding, ShiftPowersAreBuiltFromOneExponential) {
  double P[24];
  const double tau = fourier::spreading_parameter(32);
  fourier::fill_shift_powers(0.1, 32, tau, P);
  const double E = std::exp((0.1 * kPi) / (32 * tau));
  EXPECT_EQ(P[11], 1.0);
  EXPECT_EQ(P[12], E);
  EXPECT_EQ(P[10], 1.0 / E);
  double up = 1, down = 1;
  for (int n = 12; n < 24; ++n) EXPECT_EQ(P[n], up *= E) << n;
  for (int n = 10; n >= 0; --n) EXPECT_EQ(P[n], down *= 1.0 / E) << n;
}

TEST(Gridding, KnotOnAGridPointWeighsItsNeighbours) {
  // On 16 points knot 0.25 has f = 0; tap 11 lies on index 12. Each row: the
  // grid index holding a unit impulse, and the weight it gets.
  struct Case {
    int index;
    double weight;
  } cases[] = {
      {12, 1.0}, {11, 0.8217249580338772}, {13, 0.8217249580338772},
      {10, 0.4559381277659962}, {14, 0.4559381277659962},
  };
  for (const Case& c : cases) {
    std::vector<double> line(16, 0.0);
    line[size_t(c.index)] = 1;
    const double w = on_line(line, 0.25);
    if (c.index == 12)
      EXPECT_EQ(w, 1.0);
    else
      EXPECT_NEAR(w, c.weight, 2e-16) << c.index;
  }
}

TEST(Gridding, UnitImpulseAtTheCentreGivesExactlyOneAtKnotZero) {
  for (int32_t M : {24, 25, 64, 101}) {
    std::vector<double> line(size_t(M), 0.0);
    line[size_t(M / 2)] = 1;
    EXPECT_EQ(on_line(line, 0.0), 1.0) << M;
  }
  for (auto [M0, M1] : {std::pair<int32_t, int32_t>{24, 24}, {30, 64}, {64, 25}}) {
    Grid g(M0, M1);
    g.at(M0 / 2, M1 / 2) = 1;
    const Result out = gather_2d(g, {0.0, 0.0});
    EXPECT_EQ(out.re[0], 1.0) << M0 << "x" << M1;
    EXPECT_EQ(out.im[0], 0.0);
  }
}

TEST(Gridding, GridOfOnesGivesTheWeightSums) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> u(0, 1);
  for (auto [M0, M1] : {std::pair<int32_t, int32_t>{8, 8}, {16, 16}, {8, 40}, {33, 16}, {64, 10}}) {
    const Grid g(M0, M1, 1.0, 0.0);
    std::vector<double> knots2(2 * 40);
    for (double& k : knots2) k = u(rng);
    const Result a = gather_2d(g, knots2);
    for (size_t j = 0; j < a.re.size(); ++j) EXPECT_NEAR(a.re[j], 16.0, 1e-11) << M0 << "x" << M1;
    for (int32_t d : {0, 1}) {
      const std::vector<double> knots(knots2.begin(), knots2.begin() + 7);
      const Result b = gather_lines(g, knots, d, 1, 7);
      for (size_t j = 0; j < b.re.size(); ++j) EXPECT_NEAR(b.re[j], 4.0, 1e-12) << M0 << "x" << M1;
    }
  }
}

TEST(Gridding, RealGridGivesExactlyZeroImaginaryParts) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1, 1);
  Grid g(20, 30);
  for (double& v : g.re) v = u(rng);
  std::vector<double> knots(2 * 25);
  for (double& k : knots) k = u(rng);
  for (double v : gather_2d(g, knots).im) EXPECT_TRUE(same_bits(v, 0.0));
  std::vector<double> per_line(size_t(5) * 30);
  for (double& k : per_line) k = u(rng);
  for (double v : gather_lines(g, per_line, 0, 5, 30).im) EXPECT_TRUE(same_bits(v, 0.0));
  for (double v : gather_lines(g, knots, 1, 50, 1).im) EXPECT_TRUE(same_bits(v, 0.0));
}

TEST(Gridding, KnotsRepeatWithPeriodOne) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(-1, 1);
  Grid g(12, 40);
  for (size_t i = 0; i < g.re.size(); ++i) g.re[i] = u(rng), g.im[i] = u(rng);
  // Shifts by whole periods; the small grid axes reach sums far below 0.
  for (double shift : {1.0, -1.0, 3.0, -7.0, 1000.0}) {
    std::vector<double> knots(2 * 30), moved(knots.size());
    for (size_t i = 0; i < knots.size(); ++i) knots[i] = u(rng), moved[i] = knots[i] + shift;
    const Result a = gather_2d(g, knots), b = gather_2d(g, moved);
    for (size_t j = 0; j < a.re.size(); ++j) {
      EXPECT_NEAR(a.re[j], b.re[j], 1e-11) << shift;
      EXPECT_NEAR(a.im[j], b.im[j], 1e-11) << shift;
    }
    for (int32_t d : {0, 1}) {
      const Result c = gather_lines(g, knots, d, 60, 1), e = gather_lines(g, moved, d, 60, 1);
      for (size_t j = 0; j < c.re.size(); ++j) EXPECT_NEAR(c.re[j], e.re[j], 1e-11) << shift;
    }
  }
}

TEST(Gridding, KnotsOutsideTheDirectRangeStillWrap) {
  std::mt19937 rng(23);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int32_t M : {1, 2, 3, 5, 11, 16, 1000}) {
    std::vector<double> line(static_cast<size_t>(M));
    for (double& v : line) v = u(rng);
    struct Case {
      double k, same_as;
      double tol;
      const char* why;
    } cases[] = {
        {-0.75, 0.25, 1e-12, "negative index sum on small axes"},
        {-40.5, 0.5, 1e-12, "far below zero"},
        {1e12 + 0.25, 0.25, 0.0, "floor(k*M) beyond 32 bits: the fractional part, exactly"},
        {-(1e12 + 0.75), 0.25, 0.0, "the same below zero"},
        {1e300, 0.0, 0.0, "k*M overflows; an integer knot sits on k = 0"},
        {std::floor(2147483000.0 / M) - 1 + 0.375, 0.375, 1e-5, "index sum past 2^31 - 1"},
    };
    for (const Case& c : cases) {
      const double got = on_line(line, c.k), want = on_line(line, c.same_as);
      if (c.tol == 0)
        EXPECT_TRUE(same_bits(got, want)) << "M " << M << ": " << c.why;
      else
        EXPECT_NEAR(got, want, c.tol) << "M " << M << ": " << c.why;
    }
  }
}

TEST(Gridding, NonFiniteKnotsGiveNaNOnlyWhereUsed) {
  Grid g(30, 26, 1.0, 2.0);
  for (double bad : {kNaN, kInf, -kInf}) {
    // The bad value in either coordinate of knot 1 of three.
    for (size_t slot : {size_t(2), size_t(3)}) {
      std::vector<double> knots = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
      knots[slot] = bad;
      const Result a = gather_2d(g, knots);
      EXPECT_TRUE(std::isnan(a.re[1]) && std::isnan(a.im[1]));
      EXPECT_NEAR(a.re[0], 16.0, 1e-11);
      EXPECT_NEAR(a.im[2], 32.0, 2e-11);
    }
    // Shared: the whole knot row of the result; per line: that element only.
    const Result b = gather_lines(g, {0.1, bad, 0.3}, 0, 3, 1);
    for (int32_t l = 0; l < 26; ++l) {
      EXPECT_TRUE(std::isnan(b.re[size_t(1 + 3 * l)]));
      EXPECT_NEAR(b.im[size_t(2 + 3 * l)], 8.0, 2e-12);
    }
    std::vector<double> per_line(size_t(3) * 26, 0.5);
    per_line[7] = bad;
    const Result c = gather_lines(g, per_line, 0, 3, 26);
    for (size_t i = 0; i < c.re.size(); ++i) EXPECT_EQ(std::isnan(c.re[i]), i == 7) << i;
  }
}

TEST(Gridding, OnePointAxesScaleTheValueByTheWeightSum) {
  for (double k : {0.0, 0.3, -2.7}) {
    double sum = 0;
    for (int t = 0; t < 24; ++t) sum += closed_form_weight(k, 1, t);
    EXPECT_NEAR(on_line({2.5}, k), 2.5 * sum, 1e-13) << k;
    const Grid dot(1, 1, -3.0, 0.5);
    const Result a = gather_2d(dot, {k, 0.1});
    double sum_v = 0;
    for (int t = 0; t < 24; ++t) sum_v += closed_form_weight(0.1, 1, t);
    EXPECT_NEAR(a.re[0], -3.0 * sum * sum_v, 1e-12);
    EXPECT_NEAR(a.im[0], 0.5 * sum * sum_v, 1e-12);
  }
  // A one-row grid along d = 1 is a single line of the other axis.
  Grid row(1, 40);
  for (int32_t c = 0; c < 40; ++c) row.at(0, c) = c;
  std::vector<double> line(40);
  for (int32_t c = 0; c < 40; ++c) line[size_t(c)] = c;
  EXPECT_TRUE(same_bits(gather_lines(row, {0.3}, 1, 1, 1).re[0], on_line(line, 0.3)));
}

TEST(Gridding, NoKnotsAndEmptyAxesLeaveTheResultAlone) {
  const Grid g(16, 16, 1.0, 1.0);
  EXPECT_TRUE(gather_2d(g, {}).re.empty());
  fourier::gather_2d(g.re.data(), g.im.data(), 16, 16, nullptr, 0, nullptr, nullptr);
  const LinkedLayout L = fourier::linked_layout(16, 16, 0, 1, 0);
  EXPECT_EQ(L.nK, 0);
  fourier::gather_lines(g.re.data(), g.im.data(), nullptr, L, nullptr, nullptr);
  // Empty grid axes with knots: nothing to wrap onto, so nothing is added.
  for (auto [M0, M1] : {std::pair<int32_t, int32_t>{0, 5}, {5, 0}, {0, 0}}) {
    const Grid e(M0, M1);
    const Result a = gather_2d(e, {0.1, 0.2, kNaN, 0.4}, -2.0);
    for (double v : a.re) EXPECT_EQ(v, -2.0);
    for (int32_t d : {0, 1}) {
      const Result b = gather_lines(e, {0.1, 0.2, 0.3}, d, 1, 3, -2.0);
      for (double v : b.re) EXPECT_EQ(v, -2.0);
    }
  }
}

TEST(Gridding, AddsIntoTheResult) {
  const Grid g(16, 20, 1.0, 0.0);
  const Result a = gather_2d(g, {0.2, 0.7}, 0.0), b = gather_2d(g, {0.2, 0.7}, 100.0);
  EXPECT_NEAR(b.re[0] - 100.0, a.re[0], 1e-12);
  EXPECT_EQ(b.im[0], 100.0);
}

TEST(Gridding, SharedKnotsAlongRowsUseOnlyTheirRow) {
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> u(-1, 1);
  Grid g(6, 48);
  for (size_t i = 0; i < g.re.size(); ++i) g.re[i] = u(rng), g.im[i] = u(rng);
  const std::vector<double> knots = {0.1, -0.3, 0.45, 0.0};
  const Result a = gather_lines(g, knots, 1, 4, 1);
  Grid changed = g;
  for (int32_t c = 0; c < 48; ++c) changed.at(2, c) += 10;
  const Result b = gather_lines(changed, knots, 1, 4, 1);
  for (int32_t j = 0; j < 4; ++j)
    for (int32_t r = 0; r < 6; ++r) {
      const size_t i = size_t(r + 6 * j);
      EXPECT_EQ(same_bits(a.re[i], b.re[i]), r != 2) << r << "," << j;
      EXPECT_TRUE(same_bits(a.im[i], b.im[i]));
    }
  // And element (r, j) is row r alone interpolated at knot j.
  std::vector<double> row3(48);
  for (int32_t c = 0; c < 48; ++c) row3[size_t(c)] = g.at(3, c);
  EXPECT_TRUE(same_bits(a.re[size_t(3 + 6 * 2)], on_line(row3, 0.45)));
}

TEST(Gridding, LinkedLayoutTable) {
  struct Case {
    int32_t M0, M1, d, kr, kc;
    LinkedLayout want;
  } cases[] = {
      // Md Ml nK shared rows cols rk rl ga gl
      {64, 10, 0, 5, 10, {64, 10, 5, false, 5, 10, 1, 5, 1, 64}},
      {64, 10, 0, 5, 1, {64, 10, 5, true, 5, 10, 1, 5, 1, 64}},
      {64, 10, 0, 1, 5, {64, 10, 5, true, 5, 10, 1, 5, 1, 64}},
      {64, 10, 0, 1, 10, {64, 10, 10, true, 10, 10, 1, 10, 1, 64}},
      {10, 64, 1, 10, 5, {64, 10, 5, false, 10, 5, 10, 1, 10, 1}},
      {10, 64, 1, 1, 5, {64, 10, 5, true, 10, 5, 10, 1, 10, 1}},
      {10, 64, 1, 1, 1, {64, 10, 1, true, 10, 1, 10, 1, 10, 1}},
      {10, 64, 1, 1, 0, {64, 10, 0, true, 10, 0, 10, 1, 10, 1}},
  };
  for (const Case& c : cases) {
    const LinkedLayout L = fourier::linked_layout(c.M0, c.M1, c.d, c.kr, c.kc);
    const LinkedLayout& w = c.want;
    EXPECT_EQ(L.Md, w.Md);
    EXPECT_EQ(L.Ml, w.Ml);
    EXPECT_EQ(L.nK, w.nK);
    EXPECT_EQ(L.shared, w.shared);
    EXPECT_EQ(L.out_rows, w.out_rows);
    EXPECT_EQ(L.out_columns, w.out_columns);
    EXPECT_EQ(L.result_step_knot, w.result_step_knot);
    EXPECT_EQ(L.result_step_line, w.result_step_line);
    EXPECT_EQ(L.grid_step_along, w.grid_step_along);
    EXPECT_EQ(L.grid_step_line, w.grid_step_line);
  }
}

// Knots of every kind: inside the direct range, exactly on grid points, far
// outside, huge, and the occasional non-finite value.
double mixed_knot(std::mt19937& rng, int32_t M) {
  std::uniform_real_distribution<double> u(0, 1);
  const double pick = u(rng);
  if (pick < 0.6) return u(rng) - 0.5;
  if (pick < 0.7) return std::floor(u(rng) * M) / M;
  if (pick < 0.85) return 200 * u(rng) - 100;
  if (pick < 0.9) return (u(rng) < 0.5 ? -1 : 1) * std::ldexp(u(rng) + 1, 25 + int(40 * u(rng)));
  if (pick < 0.95) return u(rng) * 1e-300;
  const double bad[] = {kNaN, kInf, -kInf};
  return bad[int(3 * u(rng)) % 3];
}

// Every instruction-set variant the processor runs, against the literal
// version, on grids below and above 24 points per axis (batched and
// one-at-a-time paths), with knots of every kind.
TEST(Gridding, EveryVariantIsBitIdenticalToLiteralVersion) {
  const fourier::Simd levels[] = {fourier::Simd::scalar, fourier::Simd::sse2, fourier::Simd::avx};
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> u(-1, 1);
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},   {1, 9},   {9, 1},   {2, 3},
                                               {7, 23},  {24, 24}, {25, 31}, {64, 10},
                                               {10, 64}, {96, 130}, {23, 200}, {200, 23}};
  for (fourier::Simd level : levels) {
    if (!fourier::simd_available(level)) continue;
    for (auto [M0, M1] : sizes) {
      Grid g(M0, M1);
      for (size_t i = 0; i < g.re.size(); ++i) g.re[i] = u(rng), g.im[i] = u(rng);
      const int32_t N = 203;
      std::vector<double> knots(2 * size_t(N));
      for (int32_t j = 0; j < N; ++j) {
        knots[size_t(2 * j)] = mixed_knot(rng, M1);
        knots[size_t(2 * j + 1)] = mixed_knot(rng, M0);
      }
      Result got(size_t(N), 0.5), want(size_t(N), 0.5);
      fourier::gather_2d_with(level, g.re.data(), g.im.data(), M0, M1, knots.data(), N,
                              got.re.data(), got.im.data());
      literal::gather_2d(g.re.data(), g.im.data(), M0, M1, knots.data(), N, want.re.data(),
                         want.im.data());
      for (int32_t j = 0; j < N; ++j) {
        ASSERT_TRUE(same_bits(got.re[size_t(j)], want.re[size_t(j)]))
            << "variant " << int(level) << " " << M0 << "x" << M1 << " knot " << j;
        ASSERT_TRUE(same_bits(got.im[size_t(j)], want.im[size_t(j)]))
            << "variant " << int(level) << " " << M0 << "x" << M1 << " knot " << j;
      }

      for (int32_t d : {0, 1}) {
        const int32_t Md = d == 0 ? M0 : M1, Ml = d == 0 ? M1 : M0;
        const int32_t nK = 13;
        // Shared as a column, shared as a row, and one line of knots per line.
        const std::pair<int32_t, int32_t> shapes[] = {
            {nK, 1}, {1, nK},
            d == 0 ? std::pair<int32_t, int32_t>{nK, Ml} : std::pair<int32_t, int32_t>{Ml, nK}};
        for (auto [kr, kc] : shapes) {
          std::vector<double> k(size_t(kr) * size_t(kc));
          for (double& v : k) v = mixed_knot(rng, Md);
          const LinkedLayout L = fourier::linked_layout(M0, M1, d, kr, kc);
          Result a(size_t(L.out_rows) * size_t(L.out_columns), -0.25), b(a.re.size(), -0.25);
          fourier::gather_lines_with(level, g.re.data(), g.im.data(), k.data(), L, a.re.data(),
                                     a.im.data());
          literal::gather_lines(g.re.data(), g.im.data(), k.data(), L, b.re.data(), b.im.data());
          for (size_t i = 0; i < a.re.size(); ++i) {
            ASSERT_TRUE(same_bits(a.re[i], b.re[i]))
                << "variant " << int(level) << " " << M0 << "x" << M1 << " d " << d << " knots "
                << kr << "x" << kc << " element " << i;
            ASSERT_TRUE(same_bits(a.im[i], b.im[i]))
                << "variant " << int(level) << " " << M0 << "x" << M1 << " d " << d << " knots "
                << kr << "x" << kc << " element " << i;
          }
        }
      }
    }
  }
}

// Visiting the knots in tile order changes nothing in any result.
TEST(Gridding, TileOrderGivesTheSameBitsAsKnotOrder) {
  std::mt19937 rng(77);
  std::uniform_real_distribution<double> u(-1, 1);
  for (auto [M0, M1] : {std::pair<int32_t, int32_t>{300, 200}, {40, 1000}, {1, 700}, {3000, 2}}) {
    Grid g(M0, M1);
    for (size_t i = 0; i < g.re.size(); ++i) g.re[i] = u(rng), g.im[i] = u(rng);
    const int32_t N = 5000;
    std::vector<double> knots(2 * size_t(N));
    for (int32_t j = 0; j < N; ++j) {
      knots[size_t(2 * j)] = mixed_knot(rng, M1);
      knots[size_t(2 * j + 1)] = mixed_knot(rng, M0);
    }
    const size_t n = static_cast<size_t>(N);
    Result want(n), got(n);
    for (size_t j = 0; j < want.re.size(); ++j) want.re[j] = got.re[j] = u(rng), want.im[j] = got.im[j] = u(rng);
    fourier::gather_2d(g.re.data(), g.im.data(), M0, M1, knots.data(), N, want.re.data(), want.im.data());
    std::vector<int32_t> counts(static_cast<size_t>(fourier::tile_count(M0, M1, N)) + 1), order(n);
    std::vector<double> sorted(2 * n), sre(n), sim(n);
    fourier::gather_2d_in_tile_order(g.re.data(), g.im.data(), M0, M1, knots.data(), N, got.re.data(),
                                     got.im.data(), {counts.data(), order.data(), sorted.data(), sre.data(), sim.data()});
    for (size_t j = 0; j < want.re.size(); ++j) {
      ASSERT_TRUE(same_bits(got.re[j], want.re[j])) << M0 << "x" << M1 << " knot " << j;
      ASSERT_TRUE(same_bits(got.im[j], want.im[j])) << M0 << "x" << M1 << " knot " << j;
    }
    // The order visits every knot once.
    std::vector<int> seen(n, 0);
    for (int32_t j : order) ++seen[size_t(j)];
    for (int v : seen) ASSERT_EQ(v, 1);
  }
}

// Per-line knots along the rows, through the transposed grid: the same bits.
TEST(Gridding, TransposedRowsGiveTheSameBits) {
  std::mt19937 rng(88);
  std::uniform_real_distribution<double> u(-1, 1);
  for (auto [M0, M1] : {std::pair<int32_t, int32_t>{256, 130}, {37, 1000}, {300, 7}}) {
    Grid g(M0, M1);
    for (size_t i = 0; i < g.re.size(); ++i) g.re[i] = u(rng), g.im[i] = u(rng);
    const int32_t nK = 21;
    std::vector<double> k(size_t(M0) * size_t(nK));
    for (double& v : k) v = mixed_knot(rng, M1);
    const LinkedLayout L = fourier::linked_layout(M0, M1, 1, M0, nK);
    const size_t n = k.size();
    Result want(n), got(n);
    for (size_t i = 0; i < n; ++i) want.re[i] = got.re[i] = u(rng), want.im[i] = got.im[i] = u(rng);
    fourier::gather_lines(g.re.data(), g.im.data(), k.data(), L, want.re.data(), want.im.data());
    std::vector<double> sre(g.re.size()), sim(g.re.size()), sk(n), so_re(n), so_im(n);
    fourier::gather_lines_transposed(g.re.data(), g.im.data(), k.data(), L, got.re.data(), got.im.data(),
                                     {sre.data(), sim.data(), sk.data(), so_re.data(), so_im.data()});
    for (size_t i = 0; i < n; ++i) {
      ASSERT_TRUE(same_bits(got.re[i], want.re[i])) << M0 << "x" << M1 << " element " << i;
      ASSERT_TRUE(same_bits(got.im[i], want.im[i])) << M0 << "x" << M1 << " element " << i;
    }
  }
}

}  // namespace
