// The walk visits only the days that carry a posting, in date order. Within
// a day the order is fixed: for each security in catalogue order its buys in
// entry order, then its sells in entry order; then the day's corporate
// actions. The range is inclusive, and the start day is always processed,
// even when the stop day lies before it.
#include "calc/calculate.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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

// One buy or sell, read once: its shares and its day (24 bytes: heavy
// investors hold tens of thousands). Its other texts are read again where
// a posting needs them.
struct Entry {
  double shares = 0;
  std::int32_t dayNumber = 0;  // days since 1970 (a date's range fits)
  std::int32_t failure = 0;   // the conversion error reading it raises, 0 when it reads
  std::int32_t position = 0;  // in the security's list, from 1
  bool isBuy = false;
  bool sharesRead = false;  // a failure is the date's, else the shares'
  // The key of the value that did not read.
  const char* unread() const { return sharesRead ? "Date" : "Shares"; }
  sys_days day() const { return sys_days{std::chrono::days{dayNumber}}; }
};
static_assert(sizeof(Entry) <= 24);

struct Holding {
  SecurityPtr security;
  BuySellsPtr buySells;
  std::vector<Entry> entries;
};

Entry readEntry(const BuySell& b) {
  Entry e;
  try {
    e.shares = entryShares(b);
    e.isBuy = e.shares > 0;
    e.sharesRead = true;
    auto d = parseDate(b.XActionDate());  // none when the text names no day
    if (!d) return e.failure = errnum::TypeMismatch, e;
    e.dayNumber = static_cast<std::int32_t>(sys_days{*d}.time_since_epoch().count());
  } catch (const Error& err) {
    e.failure = static_cast<std::int32_t>(err.number());
  }
  return e;
}

EntryFault faultOf(const Security& security, long position, const BuySell& b, std::string_view field) {
  std::string text = field == "Date" ? b.XActionDate() : field == "Cost" ? storedCost(b) : storedShares(b);
  return {security.SecName(), position, std::string(field), std::move(text)};
}

// The value a failed posting could not take: a buy's cost when that does not
// read, otherwise the shares (their result overflowed).
EntryFault postingFault(const Security& security, const Entry& e, const BuySell& source) {
  if (e.isBuy) {
    try {
      Currency::fromText(source.ChgCost());
    } catch (const Error&) {
      return faultOf(security, e.position, source, "Cost");
    }
  }
  return faultOf(security, e.position, source, "Shares");
}

const Xaction& postEntry(const Holding& h, const Entry& e, const BuySell& source) {
  std::optional<Currency> cost;
  if (e.isBuy && !(cost = source.ChgCostAmount())) {
    auto x = Xaction::create();
    x->XActionDay(Date{e.day()});
    x->XactionType(XTransType::Buy);
    x->ChgCost(source.ChgCost());  // not numeric: fails as setting the text does
    x->ChgShrsValue(e.shares);
    h.security->colXActions()->Add(x);
    return *x;  // the collection holds it
  }
  return addPosting(*h.security->colXActions(), Date{e.day()}, e.isBuy, e.shares, cost.value_or(Currency()));
}

// A posting of the user's, placed in the day's order.
struct Ref {
  sys_days::rep day;
  std::uint32_t holdingPass;  // the holding times two, and 0 for its buys, 1 for its sells
  std::uint32_t entry;
  auto operator<=>(const Ref&) const = default;
  std::size_t holding() const { return holdingPass >> 1; }
};

// The user's postings in the day's order. Each one's place is kept as one
// 64-bit number when its parts fit (always for dates of the history and the
// entries a data file can hold): half the memory of a Ref, and numbers sort
// several times faster.
class PostingOrder {
 public:
  template <class Holdings>
  void build(const Holdings& holdings, sys_days start, sys_days last) {
    const auto each = [&](auto&& visit) {
      for (std::size_t h = 0; h < holdings.size(); ++h) {
        const auto& entries = holdings[h].entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
          const auto& e = entries[i];
          if (e.day() < start || e.day() > last) continue;
          visit(Ref{e.dayNumber, static_cast<std::uint32_t>(2 * h + (e.isBuy ? 0 : 1)),
                    static_cast<std::uint32_t>(i)});
        }
      }
    };
    std::size_t count = 0;
    sys_days::rep lastDay = 0;
    std::uint32_t lastHolding = 0, lastEntry = 0;
    each([&](const Ref& r) {
      firstDay_ = count == 0 ? r.day : std::min(firstDay_, r.day);
      lastDay = count == 0 ? r.day : std::max(lastDay, r.day);
      lastHolding = std::max(lastHolding, r.holdingPass);
      lastEntry = std::max(lastEntry, r.entry);
      ++count;
    });
    entryBits_ = std::bit_width(lastEntry);
    holdingBits_ = std::bit_width(lastHolding);
    packed_ = std::bit_width(static_cast<std::uint64_t>(lastDay - firstDay_)) + holdingBits_ + entryBits_ < 64;
    if (packed_) {
      keys_.reserve(count);
      each([&](const Ref& r) {
        keys_.push_back((static_cast<std::uint64_t>(r.day - firstDay_) << (holdingBits_ + entryBits_)) |
                        (static_cast<std::uint64_t>(r.holdingPass) << entryBits_) | r.entry);
      });
      std::sort(keys_.begin(), keys_.end());
    } else {
      refs_.reserve(count);
      each([&](const Ref& r) { refs_.push_back(r); });
      std::sort(refs_.begin(), refs_.end());
    }
  }
  std::size_t size() const { return packed_ ? keys_.size() : refs_.size(); }
  Ref operator[](std::size_t i) const {
    if (!packed_) return refs_[i];
    const std::uint64_t k = keys_[i];
    return Ref{firstDay_ + static_cast<sys_days::rep>(k >> (holdingBits_ + entryBits_)),
               static_cast<std::uint32_t>((k >> entryBits_) & ((std::uint64_t{1} << holdingBits_) - 1)),
               static_cast<std::uint32_t>(k & ((std::uint64_t{1} << entryBits_) - 1))};
  }

 private:
  std::vector<std::uint64_t> keys_;
  std::vector<Ref> refs_;
  sys_days::rep firstDay_ = 0;
  int holdingBits_ = 0;
  int entryBits_ = 0;
  bool packed_ = true;
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

    for (const Holding& h : holdings_) {
      // The entries, and room for the corporate actions: no copy as it fills.
      if (!h.entries.empty()) reservePostings(*h.security->colXActions(), h.entries.size() + 32);
    }
    PostingOrder order;
    order.build(holdings_, start_, last_);

    const auto actions = history::schedule();
    auto action = actions.begin();
    while (action != actions.end() && sys_days{action->date} < start_) ++action;
    std::size_t next = 0;
    for (;;) {
      sys_days day = last_ + std::chrono::days{1};
      if (next < order.size()) day = sys_days{std::chrono::days{order[next].day}};
      if (action != actions.end() && sys_days{action->date} < day) day = sys_days{action->date};
      if (day > last_) break;
      announceYearsThrough(day);
      for (; next < order.size() && order[next].day == day.time_since_epoch().count(); ++next) {
        const Ref ref = order[next];
        post(holdings_[ref.holding()], holdings_[ref.holding()].entries[ref.entry]);
      }
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
      Holding h{s, s->colBuySells(), {}};
      h.entries.reserve(static_cast<std::size_t>(h.buySells->Count()));
      visitEntries(*h.buySells, [&](const BuySell& b) {
        h.entries.push_back(readEntry(b));
        h.entries.back().position = static_cast<std::int32_t>(h.entries.size());
        anyFailure_ |= h.entries.back().failure != 0;
      });
      holdings_.push_back(std::move(h));
    }
  }

  // The start day's buy and sell passes up to the entry that does not read.
  void firstDayUntilFailure() {
    for (const Holding& h : holdings_) {
      for (const Entry& e : h.entries) {
        if (e.failure) {
          fault_ = faultOf(*h.security, e.position, reader_.read(*h.buySells, e.position), e.unread());
          raisePlatform(e.failure);
        }
        if (e.isBuy && e.day() == start_) post(h, e);
      }
      for (const Entry& e : h.entries)
        if (!e.isBuy && e.day() == start_) post(h, e);
    }
  }

  void post(const Holding& h, const Entry& e) {
    const BuySell& source = reader_.read(*h.buySells, e.position);
    const Xaction* x = nullptr;
    try {
      x = &postEntry(h, e, source);
    } catch (...) {
      fault_ = postingFault(*h.security, e, source);
      throw;
    }
    if (walk_) walk_->entryPosted(*h.security, source, *x, e.shares, Date{e.day()});
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
  EntryReader reader_;  // the entry being posted
  bool anyFailure_ = false;
  std::optional<EntryFault>& fault_;  // the entry the walk failed on
};


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
  std::optional<EntryFault> fault;
  for (const auto& security : *investor.colSecurities()) {
    long position = 0;
    visitEntries(*security->colBuySells(), [&](const BuySell& b) {
      ++position;
      if (fault) return;
      const Entry e = readEntry(b);
      if (e.failure) fault = faultOf(*security, position, b, e.unread());
      else if (const ProceedsFault why = proceedsFault(b, e.isBuy); why != ProceedsFault::none)
        fault = EntryFault{security->SecName(), position, "Proceeds", proceedsText(b), why};
    });
    if (fault) return fault;
  }
  return std::nullopt;
}

ProceedsFault proceedsFault(const BuySell& entry, bool isBuy) {
  if (!entry.HasProceeds()) return ProceedsFault::none;
  if (isBuy) return ProceedsFault::onBuy;
  try {
    const auto amount = entry.ProceedsAmount();
    if (!amount) return ProceedsFault::notAmount;
    return *amount < Currency() ? ProceedsFault::negative : ProceedsFault::none;
  } catch (const Error&) {
    return ProceedsFault::notAmount;  // beyond the range of an amount
  }
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
