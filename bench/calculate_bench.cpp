// Speed of Investor.Calculate: the ordered walk the library uses, and the
// plain calendar loop (reference_walk.h) on the same inputs, so
// that one run gives both times and their ratio.
//
//   typical  a 12/31/1983 Quorvex holding and 50 buys and sells over the history
//   heavy    30 securities with 1,000 entries each, a purchase about every twelve days
//   largest  32,767 entries in "Quorvex", the most one security can hold in a file
//
// All three calculate the full range 12/31/1983 to 12/31/2016.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "reference_walk.h"
#include "orlendo/catalogue.h"
#include "orlendo/model.h"

namespace {

using namespace orlendo;
using std::chrono::days;
using std::chrono::sys_days;

const sys_days kFirst{kHistoryStart};
const sys_days kLast{kDefaultStop};
const int kRangeDays = static_cast<int>((kLast - kFirst).count());

void enter(Investor& investor, std::string_view security, sys_days day, std::string shares, std::string cost) {
  std::string code;
  std::string date = formatDate(Date{day});
  investor.colSecurities()->Item(security)->colBuySells()->Add(code, date, cost, shares);
}

InvestorPtr typicalInvestor() {
  auto investor = Investor::create(Date{kLast});
  enter(*investor, "Quorvex", kFirst, "100", "6000");
  std::mt19937 rng(1983);
  for (int i = 0; i < 50; ++i) {
    const auto security = kCatalogue[rng() % kCatalogue.size()].name;
    const sys_days day = kFirst + days{static_cast<int>(rng() % static_cast<unsigned>(kRangeDays))};
    if (i % 3 == 2) enter(*investor, security, day, "-" + std::to_string(1 + rng() % 20), "0");
    else enter(*investor, security, day, std::to_string(1 + rng() % 100), std::to_string(100 + rng() % 5000) + ".25");
  }
  return investor;
}

InvestorPtr heavyInvestor() {
  auto investor = Investor::create(Date{kLast});
  for (const auto& row : kCatalogue) {
    for (int i = 0; i < 1000; ++i) {
      const sys_days day = kFirst + days{i * kRangeDays / 1000};
      if (i % 10 == 9) enter(*investor, row.name, day, "-2.5", "0");
      else enter(*investor, row.name, day, "3.21987", "101.37");
    }
  }
  return investor;
}

InvestorPtr largestInvestor() {
  auto investor = Investor::create(Date{kLast});
  const long long entries = 32767;
  for (long long i = 0; i < entries; ++i) {
    const sys_days day = kFirst + days{static_cast<int>(i * kRangeDays / entries)};
    if (i % 7 == 6) enter(*investor, "Quorvex", day, "-1", "0");
    else enter(*investor, "Quorvex", day, "2.5", "55.55");
  }
  return investor;
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void runWalk(benchmark::State& state, const InvestorPtr& investor) {
  for (auto _ : state) {
    investor->Calculate(kHistoryStart, kDefaultStop);
    benchmark::DoNotOptimize(investor->colSecurities()->Item(1L)->colXActions()->Count());
  }
  state.counters["peak_MB"] = peakMegabytes();
}

void runDayLoop(benchmark::State& state, const InvestorPtr& investor) {
  for (auto _ : state) {
    tvxtest::referenceCalculate(*investor, kHistoryStart, kDefaultStop);
    benchmark::DoNotOptimize(investor->colSecurities()->Item(1L)->colXActions()->Count());
  }
  state.counters["peak_MB"] = peakMegabytes();
}

const InvestorPtr& typical() {
  static const InvestorPtr investor = typicalInvestor();
  return investor;
}
const InvestorPtr& heavy() {
  static const InvestorPtr investor = heavyInvestor();
  return investor;
}
const InvestorPtr& largest() {
  static const InvestorPtr investor = largestInvestor();
  return investor;
}

void BM_Walk_Typical(benchmark::State& s) { runWalk(s, typical()); }
void BM_Walk_Heavy(benchmark::State& s) { runWalk(s, heavy()); }
void BM_Walk_Largest(benchmark::State& s) { runWalk(s, largest()); }
void BM_DayLoop_Typical(benchmark::State& s) { runDayLoop(s, typical()); }
void BM_DayLoop_Heavy(benchmark::State& s) { runDayLoop(s, heavy()); }
void BM_DayLoop_Largest(benchmark::State& s) { runDayLoop(s, largest()); }

// The walks first, so that the heavy walk's peak memory is not the day loop's.
BENCHMARK(BM_Walk_Typical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Walk_Heavy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_Largest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayLoop_Typical)->Unit(benchmark::kMillisecond);
// The calendar loop reads every entry twice a day for 12,054 days: one pass is enough.
BENCHMARK(BM_DayLoop_Heavy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DayLoop_Largest)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
