// Megapixels per second of the linear warp on a 2048 x 2048 image, with a
// smooth random field of a few pixels and with a zero field, beside the
// literal one-pixel-at-a-time version.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bench/resample_bench_data.h"
#include "resample/fieldwarp_kernel.h"
#include "tests/native/literal/fieldwarp_literal.h"

namespace {

template <void (*Warp)(const double*, const double*, int32_t, int32_t, double*)>
void run(benchmark::State& state, bool smooth) {
  bench::ResampleData& d = bench::resample_data();
  const std::vector<double>& sv = smooth ? d.smooth : d.zero;
  for (auto _ : state) {
    Warp(d.in.data(), sv.data(), bench::kSide, bench::kSide, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  bench::count_megapixels(state);
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
