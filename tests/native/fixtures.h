// Small pieces the kernel tests share: special values, bit-for-bit
// comparison, and column-major test images.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace fixtures {

inline const double kInf = std::numeric_limits<double>::infinity();
inline const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Equal bits, with any two NaNs counted as equal.
inline bool same_bits(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Image {
  int32_t M, N;
  std::vector<double> v;
  double at(int32_t r, int32_t c) const { return v[static_cast<size_t>(r + c * M)]; }
};

// An M x N image whose value at (r, c) is f(r, c).
template <class F>
Image make_image(int32_t M, int32_t N, F f) {
  Image im{M, N, std::vector<double>(static_cast<size_t>(M) * static_cast<size_t>(N))};
  for (int32_t c = 0; c < N; ++c)
    for (int32_t r = 0; r < M; ++r) im.v[static_cast<size_t>(r + c * M)] = f(r, c);
  return im;
}

// A displacement field with the same column and row displacement at every pixel.
inline std::vector<double> uniform_field(int32_t M, int32_t N, double along_columns,
                                         double along_rows) {
  const size_t plane = static_cast<size_t>(M) * static_cast<size_t>(N);
  std::vector<double> sv(2 * plane, along_columns);
  for (size_t i = plane; i < 2 * plane; ++i) sv[i] = along_rows;
  return sv;
}

// Fields that reach every branch: smooth sub-pixel motion, exact halves and
// integers, borders, far outside, and the occasional non-finite value.
inline std::vector<double> mixed_field(int32_t M, int32_t N, std::mt19937& rng) {
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<double> sv = uniform_field(M, N, 0, 0);
  for (size_t i = 0; i < sv.size(); ++i) {
    const double pick = u(rng);
    const double span = i < sv.size() / 2 ? N : M;
    if (pick < 0.5) sv[i] = 6 * u(rng) - 3;
    else if (pick < 0.7) sv[i] = std::floor(8 * u(rng) - 4) + 0.5;
    else if (pick < 0.8) sv[i] = std::floor(8 * u(rng) - 4);
    else if (pick < 0.9) sv[i] = (2 * u(rng) - 1) * 2 * span;
    else if (pick < 0.93) sv[i] = kNaN;
    else if (pick < 0.96) sv[i] = u(rng) < 0.5 ? kInf : -kInf;
    else sv[i] = 1e-12 * (2 * u(rng) - 1);
  }
  return sv;
}

// A warp kernel variant, for the bit-exact comparisons with a literal version.
using WarpFn = void (*)(const double*, const double*, int32_t, int32_t, double*);

struct Variant {
  const char* name;
  WarpFn fn;
  bool available;
};

}  // namespace fixtures
