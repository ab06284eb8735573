// The data the resampling benchmarks share: a seeded random 2048 x 2048
// image, a smooth field of about 3 pixels (plane 0 along columns, plane 1
// along rows; the scatter benchmark uses the planes as its translations), a
// zero field and an output, made once per program.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace bench {

constexpr int32_t kSide = 2048;

struct ResampleData {
  std::vector<double> in, smooth, zero, out;
  ResampleData()
      : in(size_t(kSide) * kSide), smooth(2 * in.size()), zero(2 * in.size(), 0.0), out(in.size()) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (double& v : in) v = u(rng);
    // A sum of a few long-wavelength sines.
    double a[8];
    for (double& v : a) v = u(rng);
    for (int32_t c = 0; c < kSide; ++c)
      for (int32_t r = 0; r < kSide; ++r) {
        const size_t i = size_t(r) + size_t(c) * kSide;
        smooth[i] = 3 * std::sin(6.28 * (a[0] * r + a[1] * c) / kSide + a[2]) + a[3];
        smooth[i + in.size()] = 3 * std::cos(6.28 * (a[4] * r + a[5] * c) / kSide + a[6]) - a[7];
      }
  }
};

inline ResampleData& resample_data() {
  static ResampleData d;
  return d;
}

// Reports megapixels per second of the whole image.
inline void count_megapixels(benchmark::State& state) {
  state.counters["Mpix/s"] = benchmark::Counter(double(kSide) * kSide * 1e-6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

}  // namespace bench
