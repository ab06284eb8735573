#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "resample/scatter_sum_kernel.h"
#include "tests/native/literal/scatter_sum_literal.h"
#include "tests/native/fixtures.h"

namespace {

using namespace fixtures;

Image constant(int32_t M, int32_t N, double value) {
  return make_image(M, N, [=](int32_t, int32_t) { return value; });
}

Image scatter(const Image& in, const Image& tx, const Image& ty) {
  Image out{in.M, in.N, std::vector<double>(in.v.size(), 0.0)};
  resample::scatter_sum(in.v.data(), tx.v.data(), ty.v.data(), in.M, in.N, out.v.data());
  return out;
}

// NaN results never arise here, so bits must match exactly, NaNs included.
bool identical_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(RoundHalfAway, Table) {
  struct Case {
    double s;
    bool fits;
    int32_t k;
    const char* why;
  } cases[] = {
      {0.0, true, 0, ""},
      {0.5, true, 1, "halves go away from zero"},
      {-0.5, true, -1, "halves go away from zero"},
      {2.5, true, 3, ""},
      {-2.5, true, -3, ""},
      {0.49, true, 0, ""},
      {-0.49, true, 0, "truncation toward zero of -0.99"},
      {1.7, true, 2, ""},
      {-1.7, true, -2, ""},
      {0.49999999999999994, true, 1, "s + 0.5 rounds up to 1.0 in double before truncation"},
      {2147483647.0, true, 2147483647, "largest int32"},
      {2147483647.4, true, 2147483647, ""},
      {2147483647.5, false, 0, "rounds to 2^31"},
      {-2147483648.0, true, -2147483647 - 1, "smallest int32"},
      {-2147483648.4, true, -2147483647 - 1, ""},
      {-2147483648.5, false, 0, "rounds to -2^31 - 1"},
      {1e300, false, 0, ""},
      {-1e300, false, 0, ""},
      {kInf, false, 0, ""},
      {-kInf, false, 0, ""},
      {kNaN, false, 0, ""},
  };
  for (const Case& c : cases) {
    int32_t k = 12345;
    EXPECT_EQ(resample::round_half_away(c.s, &k), c.fits) << c.s << " " << c.why;
    EXPECT_EQ(k, c.fits ? c.k : 12345) << c.s << " " << c.why;
  }
}

TEST(ScatterSum, ZeroTranslationIsIdentity) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(-10, 10);
  const Image in = make_image(5, 7, [&](int32_t, int32_t) { return u(rng); });
  const Image out = scatter(in, constant(5, 7, 0), constant(5, 7, 0));
  for (size_t i = 0; i < in.v.size(); ++i) EXPECT_TRUE(identical_bits(out.v[i], in.v[i])) << i;
}

TEST(ScatterSum, HalfPixelShifts) {
  const int32_t M = 3, N = 5;
  const Image in = make_image(M, N, [](int32_t r, int32_t c) { return 1 + r + 10.0 * c; });
  const Image zero = constant(M, N, 0);
  {
    const Image out = scatter(in, constant(M, N, 0.5), zero);
    for (int32_t r = 0; r < M; ++r) {
      EXPECT_EQ(out.at(r, 0), 0.0) << "nothing lands in column 0";
      for (int32_t c = 0; c + 1 < N; ++c) EXPECT_EQ(out.at(r, c + 1), in.at(r, c)) << "0.5 rounds up";
    }
  }
  {
    const Image out = scatter(in, constant(M, N, -0.5), zero);
    for (int32_t r = 0; r < M; ++r) {
      EXPECT_EQ(out.at(r, 0), 0.0) << "column 0 goes to -1 and is dropped";
      for (int32_t c = 1; c < N; ++c) EXPECT_EQ(out.at(r, c), in.at(r, c)) << "c - 0.5 rounds to c";
    }
  }
  {
    const Image out = scatter(in, zero, constant(M, N, 0.5));
    for (int32_t c = 0; c < N; ++c) {
      EXPECT_EQ(out.at(0, c), 0.0);
      for (int32_t r = 0; r + 1 < M; ++r) EXPECT_EQ(out.at(r + 1, c), in.at(r, c)) << "rows move down";
    }
  }
}

TEST(ScatterSum, CollisionsAddUpAndUnreachedTargetsStayZero) {
  // 2 x 2 image; every pixel sent to (1, 0).
  const Image in = make_image(2, 2, [](int32_t r, int32_t c) { return 1.0 + r + 2 * c; });  // 1 2 / 3 4
  Image tx = constant(2, 2, 0), ty = constant(2, 2, 0);
  tx.v = {0, 0, -1, -1.4};
  ty.v = {1, 0, 1, 0.3};
  const Image out = scatter(in, tx, ty);
  EXPECT_EQ(out.at(1, 0), 1.0 + 2.0 + 3.0 + 4.0);
  EXPECT_EQ(out.at(0, 0), 0.0);
  EXPECT_EQ(out.at(0, 1), 0.0);
  EXPECT_EQ(out.at(1, 1), 0.0);
}

TEST(ScatterSum, ContributionsAddInColumnMajorOrderOfSources) {
  // Onto 0: ((1 + 1e16) - 1e16) is 0 in double; any other order gives 1 or 2.
  const Image in = make_image(3, 1, [](int32_t r, int32_t) { return r == 0 ? 1.0 : r == 1 ? 1e16 : -1e16; });
  Image ty = constant(3, 1, 0);
  ty.v = {2, 1, 0};  // all onto row 2
  const Image out = scatter(in, constant(3, 1, 0), ty);
  EXPECT_TRUE(identical_bits(out.at(2, 0), 0.0));
  EXPECT_EQ(out.at(0, 0), 0.0);
}

TEST(ScatterSum, NonFiniteAndFarTranslationsDropThePixel) {
  const double bad[] = {kNaN, kInf, -kInf, 1e300, -1e300, 2147483648.0, -2147483650.0, 5.0, -3.0};
  const Image in = make_image(3, 3, [](int32_t r, int32_t c) { return 1.0 + r + 3 * c; });
  for (double b : bad) {
    for (int axis = 0; axis < 2; ++axis) {
      Image tx = constant(3, 3, 0), ty = constant(3, 3, 0);
      (axis == 0 ? tx : ty).v[4] = b;  // centre pixel
      const Image out = scatter(in, tx, ty);
      for (size_t i = 0; i < in.v.size(); ++i)
        EXPECT_EQ(out.v[i], i == 4 ? 0.0 : in.v[i]) << b << " axis " << axis << " element " << i;
    }
  }
}

TEST(ScatterSum, AddsOntoWhatTheOutputHolds) {
  const Image in = constant(2, 2, 1.5);
  Image out{2, 2, {10, 20, 30, 40}};
  const Image zero = constant(2, 2, 0);
  resample::scatter_sum(in.v.data(), zero.v.data(), zero.v.data(), 2, 2, out.v.data());
  EXPECT_EQ(out.v, (std::vector<double>{11.5, 21.5, 31.5, 41.5}));
}

TEST(ScatterSum, EmptyImageWritesNothing) {
  for (auto [M, N] : {std::pair<int32_t, int32_t>{0, 5}, {5, 0}, {0, 0}}) {
    const Image e = constant(M, N, 0);
    EXPECT_TRUE(scatter(e, e, e).v.empty());
  }
}

using ScatterFn = void (*)(const double*, const double*, const double*, int32_t, int32_t, double*);

struct Variant {
  const char* name;
  ScatterFn fn;
  bool available;
};

TEST(ScatterSum, EveryVariantIsBitIdenticalToLiteralVersion) {
  const Variant variants[] = {
      {"dispatched", resample::scatter_sum, true},
      {"baseline", resample::scatter_sum_baseline, true},
      {"avx2", resample::scatter_sum_avx2, resample::scatter_sum_avx2_available()},
  };
  // Rows around the four-lane width, and the degenerate sizes.
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},   {1, 9},   {9, 1},  {4, 4},  {5, 3},
                                               {17, 31}, {64, 64}, {3, 200}, {7, 7}};
  for (const Variant& variant : variants) {
    if (!variant.available) {
      std::printf("variant %s not available here, not compared\n", variant.name);
      continue;
    }
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(0, 1);
    for (auto [M, N] : sizes) {
      for (int trial = 0; trial < 20; ++trial) {
        const Image in = make_image(M, N, [&](int32_t, int32_t) { return 2000 * u(rng) - 1000; });
        auto translation = [&](int32_t span) {
          return make_image(M, N, [&](int32_t, int32_t) {
            const double pick = u(rng);
            if (pick < 0.4) return 6 * u(rng) - 3;
            if (pick < 0.6) return std::floor(8 * u(rng) - 4) + 0.5;
            if (pick < 0.7) return u(rng) < 0.5 ? -0.0 : 0.0;
            if (pick < 0.85) return (2 * u(rng) - 1) * 2 * span;
            if (pick < 0.9) return kNaN;
            if (pick < 0.95) return u(rng) < 0.5 ? kInf : -kInf;
            return (2 * u(rng) - 1) * 3e9;
          });
        };
        const Image tx = translation(N), ty = translation(M);
        std::vector<double> expected(in.v.size(), 0.0);
        literal::scatter_sum(in.v.data(), tx.v.data(), ty.v.data(), M, N, expected.data());
        std::vector<double> out(in.v.size(), 0.0);
        variant.fn(in.v.data(), tx.v.data(), ty.v.data(), M, N, out.data());
        for (size_t i = 0; i < expected.size(); ++i)
          ASSERT_TRUE(identical_bits(out[i], expected[i]))
              << variant.name << " " << M << "x" << N << " trial " << trial << " element " << i;
      }
    }
  }
}

}  // namespace
