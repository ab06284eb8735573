// Megapixels per second of the spline warp on a 2048 x 2048 image with a
// smooth random field of a few pixels, beside the literal one-pixel,
// one-solve-at-a-time version compiled with the same flags, and each
// instruction-set variant of the kernel on its own.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bench/resample_bench_data.h"
#include "resample/fieldwarp_spline_kernel.h"
#include "tests/native/literal/fieldwarp_spline_literal.h"

namespace {

template <void (*Warp)(const double*, const double*, int32_t, int32_t, double*)>
void run(benchmark::State& state) {
  bench::ResampleData& d = bench::resample_data();
  for (auto _ : state) {
    Warp(d.in.data(), d.smooth.data(), bench::kSide, bench::kSide, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  bench::count_megapixels(state);
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
