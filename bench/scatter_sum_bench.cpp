// Megapixels per second of the translated accumulation on a 2048 x 2048
// image with a smooth random translation field of a few pixels, beside the
// literal loop compiled with the same flags, and each instruction-set
// variant of the kernel on its own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "resample/scatter_sum_kernel.h"
#include "tests/native/literal/scatter_sum_literal.h"

namespace {

constexpr int32_t kSide = 2048;

struct Data {
  std::vector<double> in, tx, ty, out;
  Data() : in(size_t(kSide) * kSide), tx(in.size()), ty(in.size()), out(in.size()) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (double& v : in) v = u(rng);
    double a[8];
    for (double& v : a) v = u(rng);
    for (int32_t c = 0; c < kSide; ++c)
      for (int32_t r = 0; r < kSide; ++r) {
        const size_t i = size_t(r) + size_t(c) * kSide;
        tx[i] = 3 * std::sin(6.28 * (a[0] * r + a[1] * c) / kSide + a[2]) + a[3];
        ty[i] = 3 * std::cos(6.28 * (a[4] * r + a[5] * c) / kSide + a[6]) - a[7];
      }
  }
};

Data& data() {
  static Data d;
  return d;
}

template <void (*Scatter)(const double*, const double*, const double*, int32_t, int32_t, double*)>
void run(benchmark::State& state) {
  Data& d = data();
  for (auto _ : state) {
    // The output starts zero-filled, as the host creates it; the fill is
    // the host's work and is not timed.
    state.PauseTiming();
    std::fill(d.out.begin(), d.out.end(), 0.0);
    state.ResumeTiming();
    Scatter(d.in.data(), d.tx.data(), d.ty.data(), kSide, kSide, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  state.counters["Mpix/s"] = benchmark::Counter(double(kSide) * kSide * 1e-6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void BM_scatter_kernel(benchmark::State& s) { run<resample::scatter_sum>(s); }
void BM_scatter_literal(benchmark::State& s) { run<literal::scatter_sum>(s); }
void BM_scatter_baseline(benchmark::State& s) { run<resample::scatter_sum_baseline>(s); }
void BM_scatter_avx2(benchmark::State& s) {
  if (!resample::scatter_sum_avx2_available()) return s.SkipWithError("no AVX2 here");
  run<resample::scatter_sum_avx2>(s);
}

// The dispatched kernel and the literal loop side by side, then each variant.
BENCHMARK(BM_scatter_kernel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_scatter_literal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_scatter_baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_scatter_avx2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
