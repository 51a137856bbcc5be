// The walk visits only the days that carry a posting, in date order. Within
// a day the order is fixed: for each security in catalogue order its buys in
// entry order, then its sells in entry order; then the day's corporate
// actions. The range is inclusive, and the start day is always processed,
// even when the stop day lies before it.
#include "calc/calculate.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "history/schedule.h"
#include "model/objects.h"
#include "orlendo/entries.h"
#include "orlendo/error.h"

namespace orlendo {
namespace {

using std::chrono::sys_days;

// One buy or sell, read once: its shares and its day.
struct Entry {
  const BuySell* source = nullptr;
  double shares = 0;
  sys_days day{};
  bool isBuy = false;
  long failure = 0;             // the conversion error reading it raises, 0 when it reads
  const char* unread = nullptr;  // the key of the value that did not read
  long position = 0;            // in the security's list, from 1
};

struct Holding {
  SecurityPtr security;
  std::vector<Entry> entries;
};

Entry readEntry(const BuySell& b) {
  Entry e;
  e.source = &b;
  try {
    e.unread = "Shares";
    e.shares = entryShares(b);
    e.isBuy = e.shares > 0;
    e.unread = "Date";
    auto d = parseDate(b.XActionDate());  // none when the text names no day
    if (!d) return e.failure = errnum::TypeMismatch, e;
    e.day = sys_days{*d};
    e.unread = nullptr;
  } catch (const Error& err) {
    e.failure = err.number();
  }
  return e;
}

EntryFault faultOf(const Security& security, long position, const BuySell& b, std::string_view field) {
  std::string text = field == "Date" ? b.XActionDate() : field == "Cost" ? storedCost(b) : storedShares(b);
  return {security.SecName(), position, std::string(field), std::move(text)};
}

// The value a failed posting could not take: a buy's cost when that does not
// read, otherwise the shares (their result overflowed).
EntryFault postingFault(const Security& security, const Entry& e) {
  if (e.isBuy) {
    try {
      Currency::fromText(e.source->ChgCost());
    } catch (const Error&) {
      return faultOf(security, e.position, *e.source, "Cost");
    }
  }
  return faultOf(security, e.position, *e.source, "Shares");
}

XactionPtr postEntry(const Holding& h, const Entry& e) {
  auto x = Xaction::create();
  x->XActionDay(Date{e.day});
  if (e.isBuy) {
    x->XactionType(XTransType::Buy);
    if (auto cost = e.source->ChgCostAmount()) x->ChgCostAmount(*cost);
    else x->ChgCost(e.source->ChgCost());  // not numeric: fails as setting the text does
  } else {
    x->XactionType(XTransType::sell);
  }
  x->ChgShrsValue(e.shares);
  h.security->colXActions()->Add(x);
  return x;
}

// A posting of the user's, placed in the day's order.
struct Ref {
  sys_days day;
  std::size_t holding;
  int pass;  // 0 buys, 1 sells
  std::size_t entry;
  auto operator<=>(const Ref&) const = default;
};

class Walk {
 public:
  Walk(Investor& investor, sys_days start, sys_days last, ProgressObserver* observer, WalkObserver* walk,
       std::optional<EntryFault>& fault)
      : investor_(investor), start_(start), last_(last), observer_(observer), walk_(walk), fault_(fault) {}

  void run() {
    auto securities = investor_.colSecurities();
    for (const auto& s : *securities) s->colXActions(Xactions::create());
    const int startYear = static_cast<int>(Date{start_}.year());
    nextNewYear_ = sys_days{std::chrono::year{startYear} / 1 / 1};
    if (nextNewYear_ < start_) nextNewYear_ = sys_days{std::chrono::year{startYear + 1} / 1 / 1};
    if (observer_) observer_->started(startYear);

    readEntries(*securities);
    // An entry that does not read fails the calculation on its first day, as
    // the buy pass of that day reaches it.
    if (anyFailure_) {
      announceYearsThrough(start_);
      firstDayUntilFailure();
    }

    std::vector<Ref> refs;
    for (std::size_t h = 0; h < holdings_.size(); ++h) {
      const auto& entries = holdings_[h].entries;
      for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (e.day < start_ || e.day > last_) continue;
        refs.push_back({e.day, h, e.isBuy ? 0 : 1, i});
      }
    }
    std::sort(refs.begin(), refs.end());

    const auto actions = history::schedule();
    auto action = actions.begin();
    while (action != actions.end() && sys_days{action->date} < start_) ++action;
    auto ref = refs.begin();
    for (;;) {
      sys_days day = last_ + std::chrono::days{1};
      if (ref != refs.end()) day = ref->day;
      if (action != actions.end() && sys_days{action->date} < day) day = sys_days{action->date};
      if (day > last_) break;
      announceYearsThrough(day);
      for (; ref != refs.end() && ref->day == day; ++ref)
        post(holdings_[ref->holding], holdings_[ref->holding].entries[ref->entry]);
      if (action != actions.end() && sys_days{action->date} == day) {
        const bool pump = history::runScheduledActions(Date{day}, *securities, investor_.Lumora2QVX(), walk_);
        while (action != actions.end() && sys_days{action->date} == day) ++action;
        if (pump && observer_) observer_->processMessages();
      }
    }
    announceYearsThrough(last_);
    investor_.MakeDesc();
  }

 private:
  void readEntries(Securities& securities) {
    holdings_.reserve(static_cast<std::size_t>(securities.Count()));
    for (const auto& s : securities) {
      Holding h{s, {}};
      const auto buySells = s->colBuySells();
      h.entries.reserve(static_cast<std::size_t>(buySells->Count()));
      for (const auto& b : *buySells) {
        h.entries.push_back(readEntry(*b));
        h.entries.back().position = static_cast<long>(h.entries.size());
        anyFailure_ |= h.entries.back().failure != 0;
      }
      holdings_.push_back(std::move(h));
    }
  }

  // The start day's buy and sell passes up to the entry that does not read.
  void firstDayUntilFailure() {
    for (const Holding& h : holdings_) {
      for (const Entry& e : h.entries) {
        if (e.failure) {
          fault_ = faultOf(*h.security, e.position, *e.source, e.unread);
          raisePlatform(e.failure);
        }
        if (e.isBuy && e.day == start_) post(h, e);
      }
      for (const Entry& e : h.entries)
        if (!e.isBuy && e.day == start_) post(h, e);
    }
  }

  void post(const Holding& h, const Entry& e) {
    XactionPtr x;
    try {
      x = postEntry(h, e);
    } catch (...) {
      fault_ = postingFault(*h.security, e);
      throw;
    }
    if (walk_) walk_->entryPosted(*h.security, *e.source, *x, Date{e.day});
  }

  // Reports every January 1 up to and including `day` not yet reported.
  void announceYearsThrough(sys_days day) {
    while (nextNewYear_ <= day && nextNewYear_ <= last_) {
      const int y = static_cast<int>(Date{nextNewYear_}.year());
      if (observer_) observer_->yearReached(y);
      nextNewYear_ = sys_days{std::chrono::year{y + 1} / 1 / 1};
    }
  }

  Investor& investor_;
  sys_days start_;
  sys_days last_;
  ProgressObserver* observer_;
  WalkObserver* walk_;
  sys_days nextNewYear_{};
  std::vector<Holding> holdings_;
  bool anyFailure_ = false;
  std::optional<EntryFault>& fault_;  // the entry the walk failed on
};

// Proceeds that are not an amount, read back below 0.00, or sit on a buy.
bool proceedsDamaged(const BuySell& b, const Entry& e) {
  if (!b.HasProceeds()) return false;
  if (e.isBuy) return true;
  try {
    const auto amount = b.ProceedsAmount();
    return !amount || *amount < Currency();
  } catch (const Error&) {
    return true;  // beyond the range of an amount
  }
}

// The proceeds as the entry shows them, or as stored when they are beyond range.
std::string proceedsText(const BuySell& b) {
  try {
    return b.Proceeds();
  } catch (const Error&) {
    return storedProceeds(b);
  }
}

}  // namespace

std::optional<EntryFault> findUnreadableEntry(const Investor& investor) {
  for (const auto& security : *investor.colSecurities()) {
    long position = 0;
    for (const auto& b : *security->colBuySells()) {
      ++position;
      const Entry e = readEntry(*b);
      if (e.failure) return faultOf(*security, position, *b, e.unread);
      if (proceedsDamaged(*b, e)) return EntryFault{security->SecName(), position, "Proceeds", proceedsText(*b)};
    }
  }
  return std::nullopt;
}

double entryShares(const BuySell& entry) { return entry.ChgShrsValue(); }

void calculateInvestor(Investor& investor, Date start, Date stop, ProgressObserver* observer, WalkObserver* walk) {
  std::optional<EntryFault> fault;
  try {
    withTrail("Investor.Calculate", [&] {
      const sys_days first{start};
      const sys_days last = std::max(first, sys_days{stop});
      Walk(investor, first, last, observer, walk, fault).run();
    });
  } catch (const Error& e) {
    if (observer) observer->finished(false);
    if (fault) throw EntryError(e, std::move(*fault));
    throw;
  } catch (...) {
    if (observer) observer->finished(false);
    throw;
  }
  if (observer) observer->finished(true);
}

}  // namespace orlendo
