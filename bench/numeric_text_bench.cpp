// Strings per second of the text-to-number converter on 10^6 mixed realistic
// strings (integers, fixed-point and scientific numbers, some blanks and
// some words), beside the literal strtod_l version and a plain strtod loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/native/literal/numeric_text_literal.h"
#include "text/numeric_text.h"

namespace {

constexpr int kCount = 1000000;

std::vector<std::string> make_strings() {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(0, 1);
  std::uniform_int_distribution<int> kind(0, 9);
  std::vector<std::string> out;
  out.reserve(kCount);
  char buf[64];
  for (int k = 0; k < kCount; ++k) {
    const double v = (u(rng) - 0.3) * std::pow(10.0, 6 * u(rng));
    switch (kind(rng)) {
      case 0:
      case 1: std::snprintf(buf, sizeof buf, "%d", static_cast<int>(v)); break;
      case 2:
      case 3: std::snprintf(buf, sizeof buf, "%.2f", v); break;
      case 4: std::snprintf(buf, sizeof buf, "%.6f", v); break;
      case 5: std::snprintf(buf, sizeof buf, "%.4e", v * 1e-9); break;
      case 6: std::snprintf(buf, sizeof buf, "%.17g", v); break;
      case 7: std::snprintf(buf, sizeof buf, "  %g ", v); break;
      case 8: std::snprintf(buf, sizeof buf, "%s", (k & 1) ? "" : "n/a"); break;
      default: std::snprintf(buf, sizeof buf, "%.3f", v / 1000); break;
    }
    out.emplace_back(buf);
  }
  return out;
}

const std::vector<std::string>& strings() {
  static const std::vector<std::string> s = make_strings();
  return s;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

template <double (*Convert)(const char*, std::size_t, locale_t, double)>
void run(benchmark::State& state) {
  const std::vector<std::string>& s = strings();
  const locale_t classic = text::classic_locale();
  std::vector<double> out(s.size());
  for (auto _ : state) {
    for (size_t i = 0; i < s.size(); ++i) out[i] = Convert(s[i].c_str(), s[i].size(), classic, kNaN);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.counters["Mstrings/s"] =
      benchmark::Counter(double(s.size()) * 1e-6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The process-locale strtod with the same end-of-text rule, for scale.
double plain_strtod(const char* text, std::size_t length, locale_t, double nan) {
  char* stop = nullptr;
  const double v = std::strtod(text, &stop);
  if (stop == text) return nan;
  while (stop != text + length && (*stop == ' ' || (*stop >= '\t' && *stop <= '\r'))) ++stop;
  return stop == text + length ? v : nan;
}

void BM_converter(benchmark::State& s) { run<text::to_number>(s); }
void BM_literal_strtod_l(benchmark::State& s) { run<literal::to_number>(s); }
void BM_plain_strtod(benchmark::State& s) { run<plain_strtod>(s); }

BENCHMARK(BM_converter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_literal_strtod_l)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_plain_strtod)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
