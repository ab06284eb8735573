#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "resample/fieldwarp_spline_kernel.h"
#include "tests/native/literal/fieldwarp_spline_literal.h"
#include "tests/native/fixtures.h"

namespace {

using namespace fixtures;

Image warp(const Image& in, const std::vector<double>& sv) {
  Image out{in.M, in.N, std::vector<double>(in.v.size(), -7.0)};
  resample::fieldwarp_spline(in.v.data(), sv.data(), in.M, in.N, out.v.data());
  return out;
}

// The 1-D spline through four samples, solved and evaluated by the literal
// version, at fraction f between samples 1 and 2.
double literal_spline(const double (&v)[4], double f) {
  double m[4];
  literal::spline_second_derivatives(v, 4, m);
  return literal::spline_between_1_and_2(v, m, f);
}

TEST(SplineSolver, ZeroOneTwoThree) {
  const double v[4] = {0, 1, 2, 3};
  double m[4], alpha[3], beta[3];
  resample::spline_second_derivatives(v, 4, m, alpha, beta);
  const double expected[4] = {3.6, -1.2, 1.2, -3.6};
  double lit[4];
  literal::spline_second_derivatives(v, 4, lit);
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(m[k], expected[k], 1e-14) << k;
    EXPECT_TRUE(same_bits(m[k], lit[k])) << k;
  }
  struct Case {
    double f, value;
  } cases[] = {
      {0.25, 1.26875},  // not 1.25: the clamped ends bend the curve
      {0.5, 1.5},       // symmetric samples, so the middle is exact
      {0.0, 1.0},
      {1.0, 2.0},
  };
  for (const Case& k : cases) EXPECT_DOUBLE_EQ(resample::spline_between_1_and_2(v, m, k.f), k.value) << k.f;
}

TEST(SplineSolver, BitIdenticalToLiteralForEverySampleCount) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-50, 50);
  for (int32_t n = 2; n <= literal::kMaxSamples; ++n) {
    for (int trial = 0; trial < 50; ++trial) {
      std::vector<double> v(static_cast<size_t>(n)), m(v.size()), lit(v.size()), alpha(v.size() - 1),
          beta(v.size() - 1);
      for (double& x : v) x = u(rng);
      resample::spline_second_derivatives(v.data(), n, m.data(), alpha.data(), beta.data());
      literal::spline_second_derivatives(v.data(), n, lit.data());
      for (size_t k = 0; k < v.size(); ++k) ASSERT_TRUE(same_bits(m[k], lit[k])) << n << " " << k;
    }
  }
}

TEST(SplineSolver, EndSlopesAreZero) {
  // At unit spacing the first cubic piece has slope (v1 - v0) - (2 m0 + m1) / 6
  // at sample 0 and the last one (v3 - v2) + (m2 + 2 m3) / 6 at sample 3.
  const double v[4] = {2, -1, 5, 4};
  double m[4], alpha[3], beta[3];
  resample::spline_second_derivatives(v, 4, m, alpha, beta);
  EXPECT_NEAR((v[1] - v[0]) - (2 * m[0] + m[1]) / 6, 0.0, 1e-12);
  EXPECT_NEAR((v[3] - v[2]) + (m[2] + 2 * m[3]) / 6, 0.0, 1e-12);
}

TEST(FieldwarpSpline, ColumnIndexImageShiftedByAQuarter) {
  // in(r, c) = c, N = 4, displacement -0.25 along columns: position c + 0.25.
  const Image in = make_image(3, 4, [](int32_t, int32_t c) { return double(c); });
  const Image out = warp(in, uniform_field(3, 4, -0.25, 0));
  for (int32_t r = 0; r < 3; ++r) {
    EXPECT_DOUBLE_EQ(out.at(r, 1), 1.26875) << "samples 0 1 2 3 at fraction 0.25";
    EXPECT_EQ(out.at(r, 3), 0.0) << "position 3.25 lies outside";
    EXPECT_TRUE(same_bits(out.at(r, 0), literal_spline({0, 0, 1, 2}, 0.25)))
        << "kx = 0 repeats column 0: samples of columns 0, 0, 1, 2";
    EXPECT_TRUE(same_bits(out.at(r, 2), literal_spline({1, 2, 3, 3}, 0.25)))
        << "kx = 2 repeats the last column";
  }
}

// One output pixel (0, 0) of a two-row image whose rows are equal, sampled at
// column position x with no row displacement.
double sample_row(const std::vector<double>& row, double x) {
  const int32_t N = static_cast<int32_t>(row.size());
  const Image in = make_image(2, N, [&](int32_t, int32_t c) { return row[static_cast<size_t>(c)]; });
  std::vector<double> sv = uniform_field(2, N, 0, 0);
  sv[0] = 0 - x;
  return warp(in, sv).at(0, 0);
}

TEST(FieldwarpSpline, SamplesAlongARow) {
  const std::vector<double> row = {1, 2, 4, 8, 16};
  struct Case {
    double x, expected;
    const char* why;
  } cases[] = {
      {4.0, 16.0, "far border is inside, fraction 1 returns the last column"},
      {0.0, 1.0, "first column exactly"},
      {2.0, 4.0, "a whole position returns its sample"},
      {-1e-9, 0.0, "just below 0 is outside"},
      {4.0 + 1e-9, 0.0, "just past N-1 is outside"},
      {1.5, literal_spline({2, 4, 8, 16}, -0.5), "half goes up: index 2, fraction -0.5 continues below"},
      {0.25, literal_spline({1, 1, 2, 4}, 0.25), "kx = 0: columns 0, 0, 1, 2"},
      {3.75, literal_spline({4, 8, 16, 16}, 0.75), "index 4 is the last: kx = 3, fraction 0.75, column 4 repeated"},
  };
  for (const Case& k : cases) EXPECT_TRUE(same_bits(sample_row(row, k.x), k.expected)) << k.why;
}

TEST(FieldwarpSpline, ZeroFieldIsIdentity) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-100, 100);
  const Image in = make_image(6, 9, [&](int32_t, int32_t) { return u(rng); });
  const Image out = warp(in, uniform_field(6, 9, 0, 0));
  for (size_t i = 0; i < in.v.size(); ++i) EXPECT_TRUE(same_bits(out.v[i], in.v[i])) << i;
}

TEST(FieldwarpSpline, ConstantImageStaysConstantInside) {
  // Quarter-pixel displacements keep every product exact, so the constant
  // comes back bit for bit; positions outside give 0.
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> q(-24, 24);
  const int32_t M = 7, N = 8;
  const Image in = make_image(M, N, [](int32_t, int32_t) { return 7.0; });
  std::vector<double> sv = uniform_field(M, N, 0, 0);
  for (double& d : sv) d = q(rng) / 4.0;
  const Image out = warp(in, sv);
  for (int32_t c = 0; c < N; ++c)
    for (int32_t r = 0; r < M; ++r) {
      const size_t i = static_cast<size_t>(r + c * M);
      const double x = c - sv[i], y = r - sv[i + size_t(M * N)];
      const bool inside = x >= 0 && x <= N - 1 && y >= 0 && y <= M - 1;
      EXPECT_EQ(out.v[i], inside ? 7.0 : 0.0) << r << "," << c;
    }
}

TEST(FieldwarpSpline, RowConstantImageShiftedAlongColumns) {
  const Image in = make_image(5, 6, [](int32_t r, int32_t) { return double(3 * r - 4); });
  const Image out = warp(in, uniform_field(5, 6, 0.25, 0));
  for (int32_t r = 0; r < 5; ++r) {
    EXPECT_EQ(out.at(r, 0), 0.0) << "position -0.25 is outside";
    for (int32_t c = 1; c < 6; ++c) EXPECT_EQ(out.at(r, c), in.at(r, c)) << r << "," << c;
  }
}

TEST(FieldwarpSpline, SingleColumnAndSingleRowAreOneDimensionalSplines) {
  const double values[] = {1, 2, 4, 8, 16};
  // Positions, and the clamped four-sample windows with their fractions.
  struct Case {
    double pos;
    double window[4];
    double f;
  } cases[] = {
      {0.25, {1, 1, 2, 4}, 0.25}, {1.75, {2, 4, 8, 16}, -0.25}, {3.5, {4, 8, 16, 16}, 0.5},
      {4.0, {4, 8, 16, 16}, 1.0}, {2.0, {2, 4, 8, 16}, 0.0},
  };
  for (const Case& k : cases) {
    const double expected = literal_spline(k.window, k.f);
    const Image col = make_image(5, 1, [&](int32_t r, int32_t) { return values[r]; });
    std::vector<double> sv = uniform_field(5, 1, 0, 0);
    sv[5] = -k.pos;  // pixel (0, 0), row position pos
    EXPECT_TRUE(same_bits(warp(col, sv).v[0], expected)) << "one column, y = " << k.pos;

    const Image row = make_image(1, 5, [&](int32_t, int32_t c) { return values[c]; });
    sv = uniform_field(1, 5, 0, 0);
    sv[0] = -k.pos;
    EXPECT_TRUE(same_bits(warp(row, sv).v[0], expected)) << "one row, x = " << k.pos;
  }
  const Image dot = make_image(1, 1, [](int32_t, int32_t) { return 3.5; });
  EXPECT_EQ(warp(dot, uniform_field(1, 1, 0, 0)).v[0], 3.5);
  EXPECT_EQ(warp(dot, uniform_field(1, 1, 0.5, 0)).v[0], 0.0);
}

TEST(FieldwarpSpline, NonFiniteDisplacements) {
  struct Case {
    double along_columns, along_rows;
    bool nan_result;
  } cases[] = {
      {kInf, 0, false}, {-kInf, 0, false}, {0, kInf, false}, {0, -kInf, false},
      {kNaN, 0, true},  {0, kNaN, true},   {kNaN, kNaN, true},
      {kNaN, 100, false},  // the row position is outside, whatever the column
      {-100, kNaN, false}, {1e300, 0, false}, {-1e300, kNaN, false},
  };
  const Image in = make_image(5, 5, [](int32_t r, int32_t c) { return r + 5.0 * c; });
  for (const Case& k : cases) {
    std::vector<double> sv = uniform_field(5, 5, 0, 0);
    sv[12] = k.along_columns;  // pixel (2, 2)
    sv[25 + 12] = k.along_rows;
    const Image out = warp(in, sv);
    if (k.nan_result)
      EXPECT_TRUE(std::isnan(out.v[12])) << k.along_columns << " " << k.along_rows;
    else
      EXPECT_EQ(out.v[12], 0.0) << k.along_columns << " " << k.along_rows;
    EXPECT_EQ(out.v[11], in.v[11]) << "neighbours are untouched";
  }
}

TEST(FieldwarpSpline, EmptyImageWritesNothing) {
  for (auto [M, N] : {std::pair<int32_t, int32_t>{0, 5}, {5, 0}, {0, 0}}) {
    const Image in = make_image(M, N, [](int32_t, int32_t) { return 1.0; });
    EXPECT_TRUE(warp(in, uniform_field(M, N, 0, 0)).v.empty());
  }
}

TEST(FieldwarpSpline, EveryVariantIsBitIdenticalToLiteralVersion) {
  const Variant variants[] = {
      {"dispatched", resample::fieldwarp_spline, true},
      {"baseline", resample::fieldwarp_spline_baseline, true},
      {"avx2", resample::fieldwarp_spline_avx2, resample::fieldwarp_spline_avx2_available()},
  };
  // Sizes around the batch and lane widths, and the degenerate ones.
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},  {1, 7},  {7, 1},   {2, 2},   {3, 3},  {4, 4},
                                               {3, 17}, {17, 3}, {31, 33}, {64, 64}, {5, 129}, {23, 9}};
  for (const Variant& variant : variants) {
    if (!variant.available) {
      std::printf("variant %s not available here, not compared\n", variant.name);
      continue;
    }
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> u(-1000, 1000);
    for (auto [M, N] : sizes) {
      for (int trial = 0; trial < 20; ++trial) {
        const Image in = make_image(M, N, [&](int32_t, int32_t) { return u(rng); });
        const std::vector<double> sv = mixed_field(M, N, rng);
        std::vector<double> expected(in.v.size());
        literal::fieldwarp_spline(in.v.data(), sv.data(), M, N, expected.data());
        std::vector<double> out(in.v.size(), -7.0);
        variant.fn(in.v.data(), sv.data(), M, N, out.data());
        for (size_t i = 0; i < expected.size(); ++i)
          ASSERT_TRUE(same_bits(out[i], expected[i]))
              << variant.name << " " << M << "x" << N << " trial " << trial << " element " << i << ": "
              << out[i] << " vs " << expected[i];
      }
    }
  }
}

}  // namespace
