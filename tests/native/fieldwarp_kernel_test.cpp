#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "resample/fieldwarp_kernel.h"
#include "tests/native/literal/fieldwarp_literal.h"
#include "tests/native/fixtures.h"

namespace {

using namespace fixtures;

Image warp(const Image& in, const std::vector<double>& sv) {
  Image out{in.M, in.N, std::vector<double>(in.v.size(), -7.0)};
  resample::fieldwarp_linear(in.v.data(), sv.data(), in.M, in.N, out.v.data());
  return out;
}

TEST(FieldwarpLinear, ZeroFieldIsIdentity) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-100, 100);
  const Image in = make_image(6, 9, [&](int32_t, int32_t) { return u(rng); });
  const Image out = warp(in, uniform_field(6, 9, 0, 0));
  for (size_t i = 0; i < in.v.size(); ++i) EXPECT_TRUE(same_bits(out.v[i], in.v[i])) << i;
}

TEST(FieldwarpLinear, ShiftByOneColumn) {
  const Image in = make_image(4, 6, [](int32_t r, int32_t c) { return 1 + r + 10.0 * c; });
  const Image out = warp(in, uniform_field(4, 6, 1, 0));
  for (int32_t r = 0; r < 4; ++r) {
    EXPECT_EQ(out.at(r, 0), 0.0) << "column 0 comes from x = -1, outside";
    for (int32_t c = 1; c < 6; ++c) EXPECT_EQ(out.at(r, c), in.at(r, c - 1));
  }
}

// One output pixel of a two-row image whose rows are equal, sampled at column
// position x with no row displacement.
double sample_row(const std::vector<double>& row, double x) {
  const int32_t N = static_cast<int32_t>(row.size());
  const Image in = make_image(2, N, [&](int32_t, int32_t c) { return row[static_cast<size_t>(c)]; });
  std::vector<double> sv = uniform_field(2, N, 0, 0);
  sv[0] = 0 - x;  // pixel (0, 0)
  return warp(in, sv).at(0, 0);
}

TEST(FieldwarpLinear, SamplesAlongARow) {
  struct Case {
    std::vector<double> row;
    double x, expected;
    const char* why;
  } cases[] = {
      {{0, 0, 0, 10, 30}, 2.5, 0.0, "nearest index 3, fraction -0.5: 1.5*10 - 0.5*30"},
      {{1, 2, 4, 8}, 3.0, 8.0, "far border is inside, fraction 1"},
      {{1, 2, 4, 8}, 4.0 - 1.25, 7.0, "N-1.25: columns N-2 and N-1, fraction 0.75"},
      {{1, 2, 4, 8}, -1e-9, 0.0, "just below 0 is outside"},
      {{1, 2, 4, 8}, 3.0 + 1e-9, 0.0, "just past N-1 is outside"},
      {{1, 2, 4, 8}, 0.0, 1.0, "first column exactly"},
      {{1, 2, 4, 8}, 1.5, 2.0, "half goes up: index 2, fraction -0.5 extrapolates"},
      {{1, 2, 4, 8}, 1.25, 2.5, "index 1, fraction 0.25"},
  };
  for (const Case& k : cases) EXPECT_EQ(sample_row(k.row, k.x), k.expected) << k.why;
}

TEST(FieldwarpLinear, NonFiniteDisplacements) {
  struct Case {
    double along_columns, along_rows;
    bool nan_result;
  } cases[] = {
      {kInf, 0, false}, {-kInf, 0, false}, {0, kInf, false}, {0, -kInf, false},
      {kNaN, 0, true},  {0, kNaN, true},   {kNaN, kNaN, true},
      {kNaN, 100, false},  // the row position is outside, whatever the column
      {-100, kNaN, false},
  };
  const Image in = make_image(5, 5, [](int32_t r, int32_t c) { return r + 5.0 * c; });
  for (const Case& k : cases) {
    std::vector<double> sv = uniform_field(5, 5, 0, 0);
    sv[12] = k.along_columns;  // pixel (2, 2)
    sv[25 + 12] = k.along_rows;
    const Image out = warp(in, sv);
    if (k.nan_result)
      EXPECT_TRUE(std::isnan(out.v[12]));
    else
      EXPECT_EQ(out.v[12], 0.0);
    EXPECT_EQ(out.v[11], in.v[11]) << "neighbours are untouched";
  }
}

TEST(FieldwarpLinear, SingleRowAndSingleColumnInterpolateAlongTheOtherAxis) {
  const std::vector<double> values = {1, 2, 4, 8};
  // Column positions of the one-row image, and expected values.
  const double positions[] = {0.0, 1.25, 2.5, 3.0};
  const double expected[] = {1.0, 2.5, 6.0, 8.0};
  for (int k = 0; k < 4; ++k) {
    const Image row = make_image(1, 4, [&](int32_t, int32_t c) { return values[static_cast<size_t>(c)]; });
    std::vector<double> sv = uniform_field(1, 4, 0, 0);
    sv[0] = -positions[k];
    EXPECT_EQ(warp(row, sv).v[0], expected[k]) << "one row, x = " << positions[k];

    const Image col = make_image(4, 1, [&](int32_t r, int32_t) { return values[static_cast<size_t>(r)]; });
    sv = uniform_field(4, 1, 0, 0);
    sv[4] = -positions[k];
    EXPECT_EQ(warp(col, sv).v[0], expected[k]) << "one column, y = " << positions[k];
  }
  // A one-pixel image: both neighbours are missing and only s11 counts.
  const Image dot = make_image(1, 1, [](int32_t, int32_t) { return 3.5; });
  EXPECT_EQ(warp(dot, uniform_field(1, 1, 0, 0)).v[0], 3.5);
  EXPECT_EQ(warp(dot, uniform_field(1, 1, 0.5, 0)).v[0], 0.0);
}

TEST(FieldwarpLinear, EmptyImageWritesNothing) {
  for (auto [M, N] : {std::pair<int32_t, int32_t>{0, 5}, {5, 0}, {0, 0}}) {
    const Image in = make_image(M, N, [](int32_t, int32_t) { return 1.0; });
    EXPECT_TRUE(warp(in, uniform_field(M, N, 0, 0)).v.empty());
  }
}

std::vector<Variant> variants() {
  return {{"dispatched", resample::fieldwarp_linear, true},
          {"scalar", resample::fieldwarp_linear_scalar, true},
          {"avx2", resample::fieldwarp_linear_avx2, resample::fieldwarp_avx2_available()}};
}

TEST(FieldwarpLinear, EveryVariantIsBitIdenticalToLiteralVersion) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2},  {3, 17}, {4, 4},
                                               {17, 3}, {31, 33}, {64, 64}, {5, 129}, {130, 6}};
  for (const Variant& variant : variants()) {
    if (!variant.available) {
      std::printf("variant %s not supported by this processor; not compared\n", variant.name);
      continue;
    }
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> u(-1000, 1000);
    for (auto [M, N] : sizes) {
      for (int trial = 0; trial < 20; ++trial) {
        Image in = make_image(M, N, [&](int32_t, int32_t) { return u(rng); });
        if (trial % 5 == 4) in.v[rng() % in.v.size()] = trial % 2 ? kInf : kNaN;
        const std::vector<double> sv = mixed_field(M, N, rng);
        std::vector<double> expected(in.v.size());
        literal::fieldwarp_linear(in.v.data(), sv.data(), M, N, expected.data());
        std::vector<double> got(in.v.size(), -7.0);
        variant.fn(in.v.data(), sv.data(), M, N, got.data());
        for (size_t i = 0; i < expected.size(); ++i)
          ASSERT_TRUE(same_bits(got[i], expected[i]))
              << variant.name << " " << M << "x" << N << " trial " << trial << " element " << i
              << ": " << got[i] << " vs " << expected[i];
      }
    }
  }
}

}  // namespace
