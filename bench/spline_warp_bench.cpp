// Megapixels per second of the spline warp on a 2048 x 2048 image with a
// smooth random field of a few pixels, beside the literal one-pixel,
// one-solve-at-a-time version compiled with the same flags, and each
// instruction-set variant of the kernel on its own.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "resample/fieldwarp_spline_kernel.h"
#include "tests/native/literal/fieldwarp_spline_literal.h"

namespace {

constexpr int32_t kSide = 2048;

struct Data {
  std::vector<double> in, smooth, out;
  Data() : in(size_t(kSide) * kSide), smooth(2 * in.size()), out(in.size()) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (double& v : in) v = u(rng);
    // A sum of long-wavelength sines, amplitude about 3 pixels.
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
void run(benchmark::State& state) {
  Data& d = data();
  for (auto _ : state) {
    Warp(d.in.data(), d.smooth.data(), kSide, kSide, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  state.counters["Mpix/s"] = benchmark::Counter(double(kSide) * kSide * 1e-6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void BM_spline_kernel(benchmark::State& s) { run<resample::fieldwarp_spline>(s); }
void BM_spline_literal(benchmark::State& s) { run<literal::fieldwarp_spline>(s); }
void BM_spline_baseline(benchmark::State& s) { run<resample::fieldwarp_spline_baseline>(s); }
void BM_spline_avx2(benchmark::State& s) {
  if (!resample::fieldwarp_spline_avx2_available()) return s.SkipWithError("no AVX2 here");
  run<resample::fieldwarp_spline_avx2>(s);
}

// The dispatched kernel and the literal loop side by side, then each variant.
BENCHMARK(BM_spline_kernel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_spline_literal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_spline_baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_spline_avx2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
