// Small pieces the kernel tests share: special values, bit-for-bit
// comparison, and column-major test images.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
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

}  // namespace fixtures
