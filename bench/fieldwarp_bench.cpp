// Megapixels per second of the linear warp on a 2048 x 2048 image, with a
// smooth random field of a few pixels and with a zero field, beside the
// literal one-pixel-at-a-time version.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "resample/fieldwarp_kernel.h"
#include "tests/native/literal/fieldwarp_literal.h"

namespace {

constexpr int32_t kSide = 2048;

struct Data {
  std::vector<double> in, smooth, zero, out;
  Data() : in(size_t(kSide) * kSide), smooth(2 * in.size()), zero(2 * in.size(), 0.0), out(in.size()) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (double& v : in) v = u(rng);
    // A sum of a few long-wavelength sines, amplitude about 3 pixels.
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

Data& data() {
  static Data d;
  return d;
}

template <void (*Warp)(const double*, const double*, int32_t, int32_t, double*)>
void run(benchmark::State& state, bool smooth) {
  Data& d = data();
  const std::vector<double>& sv = smooth ? d.smooth : d.zero;
  for (auto _ : state) {
    Warp(d.in.data(), sv.data(), kSide, kSide, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  state.counters["Mpix/s"] = benchmark::Counter(double(kSide) * kSide * 1e-6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void BM_kernel_smooth(benchmark::State& s) { run<resample::fieldwarp_linear>(s, true); }
void BM_kernel_zero(benchmark::State& s) { run<resample::fieldwarp_linear>(s, false); }
void BM_literal_smooth(benchmark::State& s) { run<literal::fieldwarp_linear>(s, true); }
void BM_literal_zero(benchmark::State& s) { run<literal::fieldwarp_linear>(s, false); }

BENCHMARK(BM_kernel_smooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_literal_smooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_kernel_zero)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_literal_zero)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
