// Cost of one FormatNumber call on the two masks the program uses most: the form's
// percentages and the calculator's display.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/runtime.h"
#include "locale/number_format.h"
#include "platform/memory_console.h"

namespace {

// A million values of varied size and sign, made once.
const std::vector<double>& Values() {
  static const std::vector<double> values = [] {
    std::vector<double> v;
    v.reserve(1000000);
    std::uint64_t seed = 12345;
    for (int i = 0; i < 1000000; ++i) {
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      double unit = static_cast<double>(seed >> 11) / 9007199254740992.0;  // [0, 1)
      double scale = (i % 4 == 0) ? 100.0 : (i % 4 == 1) ? 1e6 : (i % 4 == 2) ? 1e12 : 1.0;
      v.push_back((i % 3 == 0 ? -unit : unit) * scale);
    }
    return v;
  }();
  return values;
}

void FormatMillion(benchmark::State& state, const std::string& mask) {
  zt::MemoryConsole console;
  zt::MapEnvironment env;  // no KYBROOT: default characters
  zt::Runtime rt(console, env);
  const std::vector<double>& values = Values();
  for (auto _ : state) {
    for (double value : values) {
      std::string text = zt::FormatNumber(rt, mask, value);
      benchmark::DoNotOptimize(text);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
  state.counters["ns_per_call"] = benchmark::Counter(
      static_cast<double>(state.iterations() * static_cast<std::int64_t>(values.size())),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PercentMask(benchmark::State& state) {
  FormatMillion(state, "Z9.99 %");
}

void BM_CalculatorMask(benchmark::State& state) {
  const std::string digits = "Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9";
  FormatMillion(state, "-" + digits.substr(digits.size() - 21) + ".99");
}

BENCHMARK(BM_PercentMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculatorMask)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
