// The calculation as a plain calendar loop: every day from the start day to
// the stop day, every entry of every security read twice (the buy pass and
// the sell pass), then the day's scheduled actions: the behaviour the
// library's ordered walk reproduces posting for posting, which the benchmark
// measures against it.
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

}  // namespace tvxtest
