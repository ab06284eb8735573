// GB/s of the byte mask on 10^8 bytes, against a plain copy of the same
// bytes (the memory-bandwidth ceiling) and the literal byte loop. Inputs: a
// dense image (every byte non-zero but one in 256) and a sparse one (one
// byte in 64 non-zero, in runs).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "reclass/mask_kernel.h"
#include "tests/native/literal/mask_literal.h"

namespace {

constexpr int32_t kBytes = 100000000;

struct Data {
  std::vector<uint8_t> dense, sparse, out;
  Data() : dense(kBytes), sparse(kBytes, 0), out(kBytes, 0) {
    std::mt19937 rng(5);
    for (uint8_t& b : dense) b = static_cast<uint8_t>(rng());
    for (int32_t i = 0; i + 64 <= kBytes; i += 4096)
      for (int32_t j = 0; j < 64; ++j) sparse[static_cast<size_t>(i + j)] = 200;
  }
};

Data& data() {
  static Data d;
  return d;
}

void count_bytes(benchmark::State& state) {
  state.counters["GB/s"] = benchmark::Counter(double(kBytes) * 1e-9 * double(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

template <void (*Mask)(const uint8_t*, int32_t, uint8_t*)>
void run(benchmark::State& state, bool dense) {
  Data& d = data();
  const std::vector<uint8_t>& in = dense ? d.dense : d.sparse;
  for (auto _ : state) {
    // The host hands the kernel a zero-filled output; so does the benchmark.
    state.PauseTiming();
    std::memset(d.out.data(), 0, d.out.size());
    state.ResumeTiming();
    Mask(in.data(), kBytes, d.out.data());
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  count_bytes(state);
}

void BM_plain_copy(benchmark::State& state) {
  Data& d = data();
  for (auto _ : state) {
    std::memcpy(d.out.data(), d.dense.data(), kBytes);
    benchmark::DoNotOptimize(d.out.data());
    benchmark::ClobberMemory();
  }
  count_bytes(state);
}

void BM_mask_dense(benchmark::State& s) { run<reclass::mark_nonzero>(s, true); }
void BM_mask_sparse(benchmark::State& s) { run<reclass::mark_nonzero>(s, false); }
void BM_literal_dense(benchmark::State& s) { run<literal::mark_nonzero>(s, true); }
void BM_literal_sparse(benchmark::State& s) { run<literal::mark_nonzero>(s, false); }

BENCHMARK(BM_plain_copy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_mask_dense)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_mask_sparse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_literal_dense)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_literal_sparse)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
