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

#include "bench/resample_bench_data.h"
#include "resample/scatter_sum_kernel.h"
#include "tests/native/literal/scatter_sum_literal.h"

namespace {

template <void (*Scatter)(const double*, const double*, const double*, int32_t, int32_t, double*)>
void run(benchmark::State& state) {
  bench::ResampleData& d = bench::resample_data();
  const double* tx = d.smooth.data();
  const double* ty = tx + d.in.size();
  for (auto _ : state) {
    // The output starts zero-filled, as the host creates it; the fill is
    // the host's work and is not timed.
    state.PauseTiming();
    std::fill(d.out.begin(), d.out.end(), 0.0);
    state.ResumeTiming();
    Scatter(d.in.data(), tx, ty, bench::kSide, bench::kSide, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  bench::count_megapixels(state);
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
