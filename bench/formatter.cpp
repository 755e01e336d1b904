// The formatter against the C library's snprintf on the same formats, reported as the ratio
// of our time to snprintf's (below 1: we are faster).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "foundation/format/formatter.h"

namespace {

template <class Ours, class Reference>
void Compare(benchmark::State& state, Ours ours, Reference reference) {
  using Clock = std::chrono::steady_clock;
  constexpr int kRounds = 64;
  Clock::duration oursTime{}, referenceTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (int i = 0; i < kRounds; ++i)
      benchmark::DoNotOptimize(ours());
    const auto t1 = Clock::now();
    for (int i = 0; i < kRounds; ++i)
      benchmark::DoNotOptimize(reference());
    const auto t2 = Clock::now();
    oursTime += t1 - t0;
    referenceTime += t2 - t1;
  }
  state.counters["ratio_vs_snprintf"] =
      static_cast<double>(oursTime.count()) / static_cast<double>(referenceTime.count());
}

char buffer[2048];

void Integers(benchmark::State& state) {
  Compare(
      state,
      [] { return vk2::FormatNarrow(buffer, sizeof(buffer), "%d %5u %#x", -12345, 678u, 255); },
      [] { return std::snprintf(buffer, sizeof(buffer), "%d %5u %#x", -12345, 678u, 255); });
}
void Text(benchmark::State& state) {
  Compare(
      state, [] { return vk2::FormatNarrow(buffer, sizeof(buffer), "%s=%-10s;", "key", "value"); },
      [] { return std::snprintf(buffer, sizeof(buffer), "%s=%-10s;", "key", "value"); });
}
void Fixed(benchmark::State& state) {
  Compare(
      state, [] { return vk2::FormatNarrow(buffer, sizeof(buffer), "%.2f", 3.14159); },
      [] { return std::snprintf(buffer, sizeof(buffer), "%.2f", 3.14159); });
}
void General(benchmark::State& state) {
  Compare(
      state, [] { return vk2::FormatNarrow(buffer, sizeof(buffer), "%g", 0.000123456); },
      [] { return std::snprintf(buffer, sizeof(buffer), "%g", 0.000123456); });
}
void Exponent(benchmark::State& state) {
  Compare(
      state, [] { return vk2::FormatNarrow(buffer, sizeof(buffer), "%e", 6.02214076e23); },
      [] { return std::snprintf(buffer, sizeof(buffer), "%e", 6.02214076e23); });
}

BENCHMARK(Integers);
BENCHMARK(Text);
BENCHMARK(Fixed);
BENCHMARK(General);
BENCHMARK(Exponent);

}  // namespace
