// Knots per second and kernel taps per second of the gridding evaluator,
// beside the literal one-knot-at-a-time version: gather_2d on 10^6 random
// knots in [-1/2, 1/2)^2 over 512 x 512 and 4096 x 4096 grids, and
// gather_lines on a 512 x 512 grid with 512 shared knots (along either
// dimension) and with a line of 512 knots per line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "fourier/gridding.h"
#include "fourier/gridding_variants.h"
#include "fourier/knot_order.h"
#include "tests/native/literal/gridding_literal.h"

namespace {

struct Grid {
  int32_t side;
  std::vector<double> re, im;
  explicit Grid(int32_t s) : side(s), re(size_t(s) * size_t(s)), im(re.size()) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (size_t i = 0; i < re.size(); ++i) re[i] = u(rng), im[i] = u(rng);
  }
};

const Grid& grid(int32_t side) {
  static Grid small(512);
  if (side == 512) return small;
  static Grid large(4096);
  return large;
}

std::vector<double> random_knots(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-0.5, 0.5);
  std::vector<double> k(n);
  for (double& v : k) v = u(rng);
  return k;
}

const std::vector<double>& knots_2d() {
  static std::vector<double> k = random_knots(2 * 1000000, 11);
  return k;
}

void rates(benchmark::State& state, double knots_per_call, double taps_per_knot) {
  const double n = knots_per_call * double(state.iterations());
  state.counters["knots/s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
  state.counters["taps/s"] = benchmark::Counter(n * taps_per_knot, benchmark::Counter::kIsRate);
}

using Gather2d = void (*)(const double*, const double*, int32_t, int32_t, const double*, int32_t,
                          double*, double*);

template <Gather2d Gather>
void run_2d(benchmark::State& state) {
  const Grid& g = grid(int32_t(state.range(0)));
  const std::vector<double>& k = knots_2d();
  const int32_t N = int32_t(k.size() / 2);
  std::vector<double> out_re(static_cast<size_t>(N)), out_im(static_cast<size_t>(N));
  for (auto _ : state) {
    std::fill(out_re.begin(), out_re.end(), 0.0);
    std::fill(out_im.begin(), out_im.end(), 0.0);
    Gather(g.re.data(), g.im.data(), g.side, g.side, k.data(), N, out_re.data(), out_im.data());
    benchmark::DoNotOptimize(out_re.data());
    benchmark::ClobberMemory();
  }
  rates(state, N, 576);
}

// The knots sorted by grid tile first, with the scratch the plug-in takes
// from the host; the sorting is part of the measured time.
void tiled_2d(const double* re, const double* im, int32_t M0, int32_t M1, const double* knots,
              int32_t N, double* out_re, double* out_im) {
  static std::vector<int32_t> counts, order;
  static std::vector<double> sorted, sre, sim;
  counts.resize(size_t(fourier::tile_count(M0, M1, N)) + 1);
  order.resize(size_t(N));
  sorted.resize(2 * size_t(N));
  sre.resize(size_t(N));
  sim.resize(size_t(N));
  fourier::gather_2d_in_tile_order(re, im, M0, M1, knots, N, out_re, out_im,
                                   {counts.data(), order.data(), sorted.data(), sre.data(), sim.data()});
}

template <fourier::Simd level>
void gather_2d_at(const double* re, const double* im, int32_t M0, int32_t M1, const double* knots,
                  int32_t N, double* out_re, double* out_im) {
  fourier::gather_2d_with(level, re, im, M0, M1, knots, N, out_re, out_im);
}

// Per-line knots along the rows through the transposed copy, with its
// scratch; the transpositions are part of the measured time.
void transposed_lines(const double* re, const double* im, const double* knots,
                      const fourier::LinkedLayout& L, double* out_re, double* out_im) {
  static std::vector<double> sre, sim, sk, so_re, so_im;
  const size_t grid = size_t(L.Md) * size_t(L.Ml), n = size_t(L.nK) * size_t(L.Ml);
  sre.resize(grid);
  sim.resize(grid);
  sk.resize(n);
  so_re.resize(n);
  so_im.resize(n);
  fourier::gather_lines_transposed(re, im, knots, L, out_re, out_im,
                                   {sre.data(), sim.data(), sk.data(), so_re.data(), so_im.data()});
}

using GatherLines = void (*)(const double*, const double*, const double*,
                             const fourier::LinkedLayout&, double*, double*);

// range(0): d; range(1): 1 for shared knots, 0 for a line of knots per line.
template <GatherLines Gather>
void run_lines(benchmark::State& state) {
  const Grid& g = grid(512);
  const int32_t d = int32_t(state.range(0));
  const bool shared = state.range(1) != 0;
  const std::vector<double> k = random_knots(shared ? 512 : 512 * 512, 13);
  const fourier::LinkedLayout L = fourier::linked_layout(512, 512, d, shared ? 512 : 512, shared ? 1 : 512);
  std::vector<double> out_re(size_t(512) * 512), out_im(out_re.size());
  for (auto _ : state) {
    std::fill(out_re.begin(), out_re.end(), 0.0);
    std::fill(out_im.begin(), out_im.end(), 0.0);
    Gather(g.re.data(), g.im.data(), k.data(), L, out_re.data(), out_im.data());
    benchmark::DoNotOptimize(out_re.data());
    benchmark::ClobberMemory();
  }
  // A knot-line pair is one evaluated result element.
  rates(state, 512.0 * 512.0, 24);
}

BENCHMARK(run_2d<fourier::gather_2d>)->Name("gather_2d/kernel")->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(run_2d<tiled_2d>)->Name("gather_2d/kernel_tile_order")->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(run_2d<gather_2d_at<fourier::Simd::scalar>>)->Name("gather_2d/scalar")->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(run_2d<gather_2d_at<fourier::Simd::sse2>>)->Name("gather_2d/sse2")->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(run_2d<literal::gather_2d>)->Name("gather_2d/literal")->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(run_lines<fourier::gather_lines>)->Name("gather_lines/kernel")->Args({0, 1})->Args({1, 1})->Args({0, 0})->Args({1, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(run_lines<transposed_lines>)->Name("gather_lines/kernel_transposed")->Args({1, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(run_lines<literal::gather_lines>)->Name("gather_lines/literal")->Args({0, 1})->Args({1, 1})->Args({0, 0})->Args({1, 0})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
