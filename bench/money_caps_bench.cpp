#include "forms/money_caps.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

void BM_ConversionMoneyCapTypical(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(forms::ConversionMoneyCap(12345678.9));
  }
}
BENCHMARK(BM_ConversionMoneyCapTypical);

void BM_ConversionMoneyCapSmall(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(forms::ConversionMoneyCap(0.05));
  }
}
BENCHMARK(BM_ConversionMoneyCapSmall);

// Amounts in thousandths over the whole range, negatives and too-large ones among them.
void BM_ConversionMoneyCapMixed(benchmark::State& state) {
  std::mt19937_64 rng(7);
  std::vector<double> amounts(4096);
  for (auto& a : amounts) {
    a = static_cast<double>(rng() % 120'000'000'000ULL) / 1000;
    if (rng() & 1) a = -a;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(forms::ConversionMoneyCap(amounts[i++ & 4095]));
  }
}
BENCHMARK(BM_ConversionMoneyCapMixed);

}  // namespace
