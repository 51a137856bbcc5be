// The calculation as a plain calendar loop: every day from the start day to
// the stop day, every entry of every security read twice (the buy pass and
// the sell pass), then the day's scheduled actions. This is the behaviour the
// library's ordered walk must reproduce posting for posting; the tests compare
// the two on generated investors and the benchmark measures the difference.
#pragma once

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "history/schedule.h"
#include "orlendo/dates.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/progress.h"

namespace tvxtest {

inline void referencePostEntry(orlendo::Security& security, const orlendo::BuySell& entry, bool buy) {
  using namespace orlendo;
  auto x = Xaction::create();
  x->XActionDate(entry.XActionDate());
  if (buy) {
    x->XactionType(XTransType::Buy);
    x->ChgCost(entry.ChgCost());
  } else {
    x->XactionType(XTransType::sell);
  }
  x->ChgShrs(entry.ChgShrs());
  security.colXActions()->Add(x);
}

// Investor.Calculate, one calendar day at a time.
inline void referenceCalculate(orlendo::Investor& investor, orlendo::Date start, orlendo::Date stop,
                               orlendo::ProgressObserver* observer = nullptr) {
  using namespace orlendo;
  using std::chrono::sys_days;
  try {
    withTrail("Investor.Calculate", [&] {
      const auto securities = investor.colSecurities();
      for (const auto& s : *securities) s->colXActions(Xactions::create());
      if (observer) observer->started(static_cast<int>(start.year()));
      Date day = start;
      do {
        if (day.month() == std::chrono::January && day.day() == std::chrono::day{1} && observer)
          observer->yearReached(static_cast<int>(day.year()));
        for (const auto& s : *securities) {
          for (const auto& e : *s->colBuySells()) {
            const bool buy = parseDouble(e->ChgShrs()) > 0;
            const bool today = readDate(e->XActionDate()) == day;
            if (buy && today) referencePostEntry(*s, *e, true);
          }
          for (const auto& e : *s->colBuySells()) {
            const bool sell = parseDouble(e->ChgShrs()) <= 0;
            const bool today = readDate(e->XActionDate()) == day;
            if (sell && today) referencePostEntry(*s, *e, false);
          }
        }
        if (history::runScheduledActions(day, *securities, investor.Lumora2QVX()) && observer)
          observer->processMessages();
        day = nextDay(day);
      } while (sys_days{day} <= sys_days{stop});
      investor.MakeDesc();
    });
  } catch (...) {
    if (observer) observer->finished(false);
    throw;
  }
  if (observer) observer->finished(true);
}

// Records what an observer is told, one line per call.
class RecordingObserver final : public orlendo::ProgressObserver {
 public:
  void started(int year) override { calls.push_back("started " + std::to_string(year)); }
  void yearReached(int year) override { calls.push_back("year " + std::to_string(year)); }
  void processMessages() override { calls.push_back("messages"); }
  void finished(bool succeeded) override { calls.push_back(succeeded ? "finished" : "failed"); }
  std::vector<std::string> calls;
};

inline std::string exactDouble(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

// Every property a caller can read from a transaction, as one line.
inline std::string describeXaction(const orlendo::Xaction& x) {
  std::string allocation;
  try {
    allocation = exactDouble(x.AllocationFactor());
  } catch (const orlendo::Error& e) {
    allocation = "unset(" + std::to_string(e.number()) + ")";
  }
  const std::pair<const char*, std::string> fields[] = {
      {"date", x.XActionDate()}, {"type", std::to_string(static_cast<int>(x.XactionType()))},
      {"desc", x.Description()}, {"code", x.Code()}, {"empty", x.EmptyProp()}, {"chgShrs", x.ChgShrs()},
      {"chgCost", x.ChgCost()}, {"newShrs", x.NewShrs()}, {"newCost", x.NewCost()}, {"cps", x.NewCostPerShr()},
      {"af", allocation}, {"df", exactDouble(x.DistributionFactor())},
      {"srcCost", std::to_string(x.SourceCost().ticks())}, {"srcShrs", exactDouble(x.SourceShrs())},
      {"srcPrice", exactDouble(x.SourcePricePerShr())}, {"cash", std::to_string(x.SourceCashRecd().ticks())},
      {"realized", std::to_string(x.SourceGainRealized().ticks())},
      {"recog", std::to_string(x.SourceGainRecog().ticks())}, {"fmvShare", exactDouble(x.CashOrStk_FMVperShare())},
      {"fmvStock", std::to_string(x.CashOrStk_FMVofStkRecd().ticks())},
      {"newCoShares", exactDouble(x.CashOrStk_NoOfNewCoShars())},
  };
  std::string out;
  for (const auto& [name, value] : fields) out += std::string(name) + '=' + value + ' ';
  return out;
}

// The whole result of a calculation: every security's transactions in order.
inline std::vector<std::string> describeInvestor(const orlendo::Investor& investor) {
  std::vector<std::string> out;
  for (const auto& s : *investor.colSecurities())
    for (const auto& x : *s->colXActions()) out.push_back(s->SecName() + ": " + describeXaction(*x));
  return out;
}

}  // namespace tvxtest
