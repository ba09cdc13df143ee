// The arithmetic alone, per call: what one result costs before any window is
// involved, and what reading a field's text costs, good text and bad.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "bench/reproduce.h"
#include "core/estimates.h"
#include "core/numeric_text.h"
#include "core/runtime_error.h"

namespace {

using torvane::DisplayPattern;

struct Car {
  double weight;
  double hp;
};
// A few ordinary cars, cycled so that no result can be worked out once.
constexpr std::array<Car, 4> kCars = {{{3000, 300}, {3450, 425}, {2650, 180}, {4100, 610}}};

// The first step of the ET-mode Figure command: the quarter-mile ET, written
// as its field shows it.
void FigureEtThenFormat(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    Car car = kCars[i++ % kCars.size()];
    benchmark::DoNotOptimize(car);
    std::string text = torvane::formatNumber(torvane::figureEt(car.weight, car.hp), DisplayPattern::TwoDecimals, ".");
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(FigureEtThenFormat);

void TextToNumber(benchmark::State& state, std::string_view text, std::string_view separator) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(torvane::textToNumber(text, separator));
  }
}
BENCHMARK_CAPTURE(TextToNumber, weight, "3000", ".");
BENCHMARK_CAPTURE(TextToNumber, et, "12.55", ".");
BENCHMARK_CAPTURE(TextToNumber, padded_exponent, " 2.5E-1 ", ".");
BENCHMARK_CAPTURE(TextToNumber, comma, "108,7", ",");

// A text that is not a number costs a thrown type mismatch; the message
// quotes at most a few dozen bytes of it, however long it is.
void TextToNumberMismatch(benchmark::State& state, std::string text) {
  for (auto _ : state) {
    try {
      benchmark::DoNotOptimize(torvane::textToNumber(text, "."));
    } catch (const torvane::RuntimeError& error) {
      benchmark::DoNotOptimize(error.kind());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK_CAPTURE(TextToNumberMismatch, hint, std::string("Enter HP"));
BENCHMARK_CAPTURE(TextToNumberMismatch, megabyte_of_digits, std::string(1 << 20, '7'))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TextToNumberMismatch, megabyte_of_words,
                  [] {
                    std::string text;
                    while (text.size() < (1 << 20)) text += "not a number ";
                    return text;
                  }())
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  printHowToReproduce("bash bench/run.sh core", argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
