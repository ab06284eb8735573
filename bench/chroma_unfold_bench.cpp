// Colours per second of the lightness mapping: 10^6 scattered colours
// against closed gamut-like meshes of 2,000 and 20,000 triangles, for the
// hue-indexed kernel and for the literal loop that cuts every triangle for
// every colour. The literal loop's work per colour does not depend on the
// other colours, so it runs on the first 10^4 of them to keep the run short;
// compare the items_per_second figures.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "colour/chroma_unfold_index.h"
#include "colour/chroma_unfold_kernel.h"
#include "tests/native/literal/chroma_unfold_literal.h"

namespace {

constexpr int64_t kColours = 1000000;
constexpr int64_t kLiteralColours = 10000;

// A closed surface around the lightness axis, poles on the axis, its chroma
// bulging and varying with hue like a real gamut; triangles in shuffled
// column order with their corners in random rotation.
std::vector<double> gamut_mesh(int rings, int sectors) {
  const double pi = std::acos(-1.0);
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<std::vector<double>> v(static_cast<size_t>((rings + 1) * sectors));
  for (int i = 0; i <= rings; ++i)
    for (int j = 0; j < sectors; ++j) {
      const double lat = pi * i / rings, lon = 2 * pi * j / sectors;
      const double radius = (60 + 25 * std::cos(3 * lon + 0.4) + 2 * u(rng)) * std::sin(lat) *
                            (1 + 0.3 * std::sin(lat + lon));
      v[static_cast<size_t>(i * sectors + j)] = {100 * (1 - std::cos(lat)) / 2 + 8 * std::sin(lat) * std::sin(2 * lon),
                                                  radius * std::cos(lon), radius * std::sin(lon)};
    }
  std::vector<std::vector<size_t>> tris;
  for (int i = 0; i < rings; ++i)
    for (int j = 0; j < sectors; ++j) {
      auto at = [&](int r, int c) { return static_cast<size_t>(r * sectors + (c % sectors)); };
      if (i > 0) tris.push_back({at(i, j), at(i + 1, j), at(i, j + 1)});
      if (i + 1 < rings) tris.push_back({at(i, j + 1), at(i + 1, j), at(i + 1, j + 1)});
    }
  std::shuffle(tris.begin(), tris.end(), rng);
  std::vector<double> mesh;
  for (auto& t : tris) {
    std::rotate(t.begin(), t.begin() + static_cast<long>(rng() % 3), t.end());
    for (size_t k : t) {
      std::vector<double> p = v[k];
      if (k < static_cast<size_t>(sectors) || k >= static_cast<size_t>(rings * sectors)) p[1] = p[2] = 0;
      mesh.insert(mesh.end(), p.begin(), p.end());
    }
    mesh.insert(mesh.end(), 5, 0.0);
  }
  return mesh;
}

struct Colours {
  std::vector<double> x, a, b, pivot_L, pivot_C, top_L, bottom_L, out;
  Colours() {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0, 1);
    for (int64_t i = 0; i < kColours; ++i) {
      x.push_back(100 * u(rng));
      a.push_back(160 * u(rng) - 80);
      b.push_back(160 * u(rng) - 80);
    }
    pivot_L.assign(x.size(), 55);
    pivot_C.assign(x.size(), 90);
    top_L.assign(x.size(), 100);
    bottom_L.assign(x.size(), 0);
    out.assign(x.size(), 0);
  }
};

Colours& colours() {
  static Colours c;
  return c;
}

const std::vector<double>& mesh_of(int triangles) {
  static const std::vector<double> small = gamut_mesh(21, 50);     // 2,000 triangles
  static const std::vector<double> large = gamut_mesh(101, 100);   // 20,000 triangles
  return triangles == 2000 ? small : large;
}

using Unfold = void (*)(const double*, const double*, const double*, const double*, int32_t,
                        const double*, const double*, const double*, const double*, int64_t,
                        double*);

void indexed(const double* x, const double* a, const double* b, const double* mesh, int32_t K,
             const double* pL, const double* pC, const double* tL, const double* bL, int64_t n,
             double* out) {
  colour::unfold_indexed(x, a, b, mesh, K, pL, pC, tL, bL, n, out);
}

void run(benchmark::State& state, Unfold unfold, int64_t count) {
  Colours& c = colours();
  const std::vector<double>& mesh = mesh_of(static_cast<int>(state.range(0)));
  const int32_t K = static_cast<int32_t>(mesh.size() / 14);
  for (auto _ : state) {
    unfold(c.x.data(), c.a.data(), c.b.data(), mesh.data(), K, c.pivot_L.data(), c.pivot_C.data(),
           c.top_L.data(), c.bottom_L.data(), count, c.out.data());
    benchmark::DoNotOptimize(c.out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["triangles"] = K;
}

void BM_indexed(benchmark::State& s) { run(s, indexed, kColours); }
void BM_literal(benchmark::State& s) { run(s, literal::chroma_unfold, kLiteralColours); }

BENCHMARK(BM_indexed)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_literal)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
