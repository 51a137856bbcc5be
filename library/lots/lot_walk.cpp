// The lot walk rides along the calculation's own walk (a WalkObserver): it
// sees every buy and sell as it is posted and every event leg and split of
// the schedule right after the pool took it, and keeps the lots of each
// security beside the pool. Shares and bases are carried in long double from
// the decimals they stand for and never rounded; a figure is rounded (to
// cents, shares to five decimals) only when a row is made.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <map>
#include <unordered_map>

#include "calc/calculate.h"
#include "history/schedule.h"
#include "orlendo/sales.h"

namespace orlendo {
namespace {

using history::Posting;
using history::Special;

using Exact = long double;

// A lot's basis is kept as the basis it had at `definedShares` shares; what
// it holds now is that basis in proportion to its shares, formed in one step
// when it is read, so a sale of part of a lot leaves no rounded remainder
// behind for the next part to inherit.
struct Lot {
  Date acquired;
  std::uint64_t sequence;
  Exact shares;
  Exact definedBasis;
  Exact definedShares;

  Exact basisOf(Exact part) const { return definedShares != 0 ? definedBasis * part / definedShares : definedBasis; }
  Exact basis() const { return basisOf(shares); }
};

Lot freshLot(Date acquired, std::uint64_t sequence, Exact shares, Exact basis) {
  return {acquired, sequence, shares, basis, shares};
}

bool lotOrder(const Lot& a, const Lot& b) {
  return a.acquired != b.acquired ? a.acquired < b.acquired : a.sequence < b.sequence;
}

using Lots = std::deque<Lot>;

Exact exactOf(Currency amount) { return static_cast<Exact>(amount.ticks()) / 10000; }
// Shares as an entry's text reads back: five decimals.
Exact exactShares(double shares) { return static_cast<Exact>(scaledRound(shares, 5)) / 100000; }

// The shares one disposition took from one lot, or beyond every lot.
struct Part {
  Exact shares;
  Exact basis;                    // under fifo; 0 for a part with no lot
  std::optional<Date> acquired;   // none: no lot
};

// The methods a disposition belongs to: the Lumora merger is one block per
// lot under fifo and one disposition of the whole holding under average.
enum class Methods { both, fifoOnly, averageOnly };

struct Disposition {
  Methods methods = Methods::both;
  std::string security;
  Date sold{};
  SaleKind kind = SaleKind::sell;
  std::vector<Part> parts;
  std::optional<Currency> proceeds;  // cents
  Currency poolBasis;                // the pool's figure, for average
};

// x times 10^k, by an exact power of ten (10^0 to 10^27 are exact in long double).
Exact scaledByPowerOfTen(Exact x, int k) {
  static const auto kPowers = [] {
    std::array<Exact, 28> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
    return p;
  }();
  const auto n = static_cast<std::size_t>(k < 0 ? -k : k);
  const Exact power = n < kPowers.size() ? kPowers[n] : std::pow(10.0L, static_cast<int>(n));
  return k < 0 ? x / power : x * power;
}

// a - b as the exact decimals they stand for differ: on the grid of 16
// significant digits of the larger, so that a difference far smaller than
// both (half a hundred-thousandth of a share, say) is that decimal and not
// what the carried binary figures leave.
Exact difference(Exact a, Exact b) {
  const Exact d = a - b;
  const Exact scale = std::max(std::fabs(a), std::fabs(b));
  if (d == 0 || scale == 0) return d;
  const int digits = 15 - static_cast<int>(std::floor(std::log10(scale)));  // decimals of the grid
  return scaledByPowerOfTen(std::nearbyint(scaledByPowerOfTen(d, digits)), -digits);
}

// A tiny rest of a lot or a sale left by double arithmetic is none.
bool negligible(Exact rest, Exact whole) { return std::fabs(rest) <= 1e-12L * std::fabs(whole); }

Date anniversary(Date d) {
  using namespace std::chrono;
  if (d.month() == February && d.day() == day{29}) return Date{d.year() + years{1}, February, day{28}};
  return Date{d.year() + years{1}, d.month(), d.day()};
}

SaleTerm termOf(const Part& p, Date sold) {
  if (!p.acquired) return SaleTerm::unknown;
  return sold > anniversary(*p.acquired) ? SaleTerm::longTerm : SaleTerm::shortTerm;
}

constexpr Date kCoveredFrom{std::chrono::year{2011}, std::chrono::January, std::chrono::day{1}};

char boxOf(SaleTerm term, Date earliest) {
  const bool covered = earliest >= kCoveredFrom;
  switch (term) {
    case SaleTerm::shortTerm: return covered ? 'A' : 'B';
    case SaleTerm::longTerm: return covered ? 'D' : 'E';
    case SaleTerm::unknown: break;
  }
  return 0;
}

// `total` over the rows in proportion to their exact shares, each rounded to
// cents, the last taking what is left.
std::vector<Currency> shareOut(Currency total, const std::vector<Exact>& shares) {
  Exact all = 0;
  for (Exact s : shares) all += s;
  std::vector<Currency> out(shares.size());
  Currency given;
  for (std::size_t i = 0; i + 1 < shares.size(); ++i) {
    out[i] = all != 0 ? centsOf(exactOf(total) * shares[i] / all) : Currency();
    given += out[i];
  }
  if (!out.empty()) out.back() = total - given;
  return out;
}

class Record final : public SalesRecord {
 public:
  std::vector<Disposition> dispositions;
  std::map<std::string, Lots, std::less<>> held;

  std::vector<SaleRow> rows(LotMethod method, std::optional<int> taxYear) const override {
    std::vector<SaleRow> out;
    const Methods skip = method == LotMethod::fifo ? Methods::averageOnly : Methods::fifoOnly;
    std::vector<const Disposition*> chosen;
    for (const Disposition& d : dispositions) {
      if (d.methods == skip || d.parts.empty()) continue;
      if (taxYear && static_cast<int>(d.sold.year()) != *taxYear) continue;
      chosen.push_back(&d);
    }
    // By date sold, in the walk's order on one date (the worthless Dirvana is
    // sold at the end of the year it was walked at the start of).
    std::stable_sort(chosen.begin(), chosen.end(),
                     [](const Disposition* a, const Disposition* b) { return a->sold < b->sold; });
    for (const Disposition* d : chosen) addRows(*d, method, out);
    return out;
  }

  std::vector<HeldLot> heldLots() const override {
    std::vector<HeldLot> out;
    for (const auto& [name, lots] : held)
      for (const Lot& l : lots)
        out.push_back({name, l.acquired, static_cast<double>(l.shares), static_cast<double>(l.basis())});
    return out;
  }

 private:
  static void addRows(const Disposition& d, LotMethod method, std::vector<SaleRow>& out) {
    struct Group {
      Exact shares = 0;
      Exact basis = 0;
      std::optional<Date> first;
      bool various = false;
      bool any = false;
      Date earliest{};
    };
    Group groups[3];
    for (const Part& p : d.parts) {
      const SaleTerm term = termOf(p, d.sold);
      Group& g = groups[static_cast<int>(term)];
      g.shares += p.shares;
      g.basis += p.basis;
      if (!g.any) {
        g.first = p.acquired;
        if (p.acquired) g.earliest = *p.acquired;
      } else if (g.first != p.acquired) {
        g.various = true;
      }
      if (p.acquired && *p.acquired < g.earliest) g.earliest = *p.acquired;
      g.any = true;
    }
    const std::size_t begin = out.size();
    std::vector<Exact> shares;
    for (int t = 0; t < 3; ++t) {
      const Group& g = groups[t];
      if (!g.any) continue;
      SaleRow row;
      row.security = d.security;
      row.shares = decimalValue(scaledRoundExact(g.shares, 5), 5);
      row.term = static_cast<SaleTerm>(t);
      if (row.term != SaleTerm::unknown) {
        row.various = g.various;
        if (!g.various) row.acquired = g.first;
        row.box = boxOf(row.term, g.earliest);
      }
      row.sold = d.sold;
      row.kind = d.kind;
      row.basis = centsOf(g.basis);
      out.push_back(std::move(row));
      shares.push_back(g.shares);
    }
    const std::span<SaleRow> made(out.begin() + static_cast<std::ptrdiff_t>(begin), out.end());
    if (method == LotMethod::average) {
      const std::vector<Currency> basis = shareOut(d.poolBasis, shares);
      for (std::size_t i = 0; i < made.size(); ++i) made[i].basis = basis[i];
    }
    if (d.proceeds) {
      const std::vector<Currency> proceeds = shareOut(*d.proceeds, shares);
      for (std::size_t i = 0; i < made.size(); ++i) {
        made[i].proceeds = proceeds[i];
        made[i].gain = proceeds[i] - made[i].basis;
      }
    }
  }
};

class LotWalk final : public WalkObserver {
 public:
  explicit LotWalk(Record& record) : record_(record) {}

  void entryPosted(const Security& security, const BuySell& entry, const Xaction& posted, double shares,
                   Date day) override {
    Lots& lots = lotsOf(security);
    if (posted.XactionType() == XTransType::Buy) {
      // The entry's shares and cost as they read back: five decimals, and
      // the cents the buy's transaction took.
      lots.push_back(freshLot(day, next_++, exactShares(shares), exactOf(posted.ChgCostAmount())));
      return;
    }
    const Exact sold = -exactShares(shares);
    if (!(sold > 0)) return;  // a sell of no shares is no sale
    Disposition d;
    d.security = security.SecName();
    d.sold = day;
    d.kind = SaleKind::sell;
    d.proceeds = entry.ProceedsAmount();
    d.poolBasis = -posted.ChgCostAmount();
    take(lots, sold, d.parts);
    record_.dispositions.push_back(std::move(d));
  }

  void splitPosted(std::string_view security, history::SharesPerShare factor, Date) override {
    const auto it = record_.held.find(security);
    if (it == record_.held.end()) return;
    const Exact times = 1 + decimalIntent(factor.value);
    for (Lot& l : it->second) {
      l.shares *= times;
      l.definedShares *= times;
    }
    std::erase_if(it->second, [](const Lot& l) { return l.shares <= 0; });
  }

  void legPosted(const history::EventProcedure&, std::span<const Posting> rows, std::string_view source, Date day,
                 eLumora election, std::span<const XactionPtr> posted) override {
    Lots& from = lotsOf(source);
    const bool ownRow = rows.front().target == source && rows.front().special != Special::Distribution;
    if (!ownRow) return distribute(from, rows, day);
    const Posting& own = rows.front();
    const auto receivers = rows.subspan(1);
    if (own.type == XTransType::spin_off_old) return spinOff(from, own, receivers);
    if (receivers.empty()) {
      if (own.shares.value == -1.0) return closeOut(from, own, source, day, *posted.front());
      const Exact times = 1 + decimalIntent(own.shares.value);
      for (Lot& l : from) {  // a conversion in place
        l.shares *= times;
        l.definedShares *= times;
      }
      return;
    }
    if (receivers.front().special == Special::CashOrStock)
      return merger(from, receivers.front(), source, day, election, *posted[1]);
    for (const Posting& r : receivers) {  // an acquisition or reclassification
      const Exact ratio = decimalIntent(r.shares.value);
      std::vector<Lot> moved;
      for (const Lot& l : from)
        moved.push_back({l.acquired, next_++, ratio * l.shares, l.definedBasis, ratio * l.definedShares});
      receive(r.target, moved);
    }
    from.clear();
  }

 private:
  Lots& lotsOf(const Security& security) {
    const auto it = bySecurity_.find(&security);
    if (it != bySecurity_.end()) return *it->second;
    Lots& lots = lotsOf(security.SecName());
    bySecurity_.emplace(&security, &lots);
    return lots;
  }
  Lots& lotsOf(std::string_view name) {
    const auto it = record_.held.find(name);
    if (it != record_.held.end()) return it->second;
    return record_.held.emplace(std::string(name), Lots{}).first->second;
  }

  // New lots of a receiver, in their order among its own.
  void receive(std::string_view target, const std::vector<Lot>& lots) {
    if (lots.empty()) return;
    Lots& to = lotsOf(target);
    const auto middle = static_cast<std::ptrdiff_t>(to.size());
    to.insert(to.end(), lots.begin(), lots.end());
    std::inplace_merge(to.begin(), to.begin() + middle, to.end(), lotOrder);
  }

  // First in, first out: whole lots, then part of one; beyond every lot a part with no lot.
  static void take(Lots& lots, Exact sold, std::vector<Part>& parts) {
    Exact rest = sold;
    while (rest > 0 && !lots.empty()) {
      Lot& l = lots.front();
      if (rest >= l.shares || negligible(l.shares - rest, l.shares)) {
        parts.push_back({l.shares, l.basis(), l.acquired});
        rest = difference(rest, l.shares);
        lots.pop_front();
        if (negligible(rest, sold)) rest = 0;
      } else {
        parts.push_back({rest, l.basisOf(rest), l.acquired});
        l.shares = difference(l.shares, rest);
        rest = 0;
      }
    }
    if (rest > 0) parts.push_back({rest, 0, std::nullopt});
  }

  void spinOff(Lots& from, const Posting& own, std::span<const Posting> receivers) {
    Exact given = 0;
    for (const Posting& r : receivers) {
      const Exact fraction = r.basis ? decimalIntent(r.basis->value) : 0;
      const Exact ratio = decimalIntent(r.shares.value);
      given += fraction;
      std::vector<Lot> made;
      for (const Lot& l : from)
        made.push_back({l.acquired, next_++, ratio * l.shares, fraction * l.definedBasis, ratio * l.definedShares});
      receive(r.target, made);
    }
    if (own.shares.value == -1.0) {  // a split-up empties the source
      from.clear();
      return;
    }
    for (Lot& l : from) l.definedBasis *= 1 - given;
  }

  void distribute(const Lots& from, std::span<const Posting> rows, Date day) {
    const Exact price = exactOf(history::kMeridanePricePerDistributedShare);
    for (const Posting& r : rows) {
      const Exact ratio = decimalIntent(r.shares.value);
      std::vector<Lot> made;
      for (const Lot& l : from) {
        const Exact shares = ratio * l.shares;
        made.push_back(freshLot(day, next_++, shares, price * shares));
      }
      receive(r.target, made);
    }
  }

  void closeOut(Lots& from, const Posting& own, std::string_view source, Date day, const Xaction& posted) {
    Disposition d;
    d.security = std::string(source);
    d.sold = day;
    d.kind = SaleKind::closeOut;
    if (own.description == "Worthless") {
      d.kind = SaleKind::worthless;
      d.sold = Date{day.year(), std::chrono::December, std::chrono::day{31}};
      d.proceeds = Currency();
    }
    d.poolBasis = -posted.ChgCostAmount();
    for (const Lot& l : from) d.parts.push_back({l.shares, l.basis(), l.acquired});
    from.clear();
    record_.dispositions.push_back(std::move(d));
  }

  // Every lot a block of its own under fifo; the whole holding at the pool's
  // figures under average.
  void merger(Lots& from, const Posting& receiver, std::string_view source, Date day, eLumora election,
              const Xaction& posted) {
    const history::LumoraTerms terms = history::lumoraTerms(election);
    const Exact r = decimalIntent(terms.sharesPerLumoraShare);
    const Exact p = exactOf(terms.cashPerLumoraShare);
    const Exact fairValue = decimalIntent(history::kLumoraFairValuePerQuorvexShare);
    std::vector<Lot> made;
    Disposition whole;
    whole.methods = Methods::averageOnly;
    whole.security = std::string(source);
    whole.sold = day;
    whole.kind = SaleKind::mergerCash;
    whole.proceeds = posted.SourceCashRecd();
    whole.poolBasis = posted.SourceCashRecd() - posted.SourceGainRecog();
    for (const Lot& l : from) {
      const Exact cash = p * l.shares;
      const Exact stock = fairValue * r * l.shares;
      const Exact basis = l.basis();
      const Exact realized = cash + stock - basis;
      const Exact recognized = realized > 0 ? std::min(cash, realized) : 0;
      if (r != 0) made.push_back(freshLot(l.acquired, next_++, r * l.shares, basis - cash + recognized));
      if (cash > 0) {
        Disposition block;
        block.methods = Methods::fifoOnly;
        block.security = whole.security;
        block.sold = day;
        block.kind = SaleKind::mergerCash;
        block.proceeds = centsOf(cash);
        block.parts.push_back({l.shares, cash - recognized, l.acquired});
        record_.dispositions.push_back(std::move(block));
      }
      whole.parts.push_back({l.shares, 0, l.acquired});
    }
    if (posted.SourceCashRecd() > Currency()) record_.dispositions.push_back(std::move(whole));
    receive(receiver.target, made);
    from.clear();
  }

  Record& record_;
  std::uint64_t next_ = 0;
  std::unordered_map<const Security*, Lots*> bySecurity_;
};

}  // namespace

std::optional<LotMethod> lotMethodFromText(std::string_view text) {
  if (text == "fifo") return LotMethod::fifo;
  if (text == "average") return LotMethod::average;
  return std::nullopt;
}

std::string_view lotMethodText(LotMethod method) { return method == LotMethod::fifo ? "fifo" : "average"; }

std::string_view saleTermText(SaleTerm term) {
  switch (term) {
    case SaleTerm::shortTerm: return "short";
    case SaleTerm::longTerm: return "long";
    case SaleTerm::unknown: break;
  }
  return "";
}

std::string_view saleKindText(SaleKind kind) {
  switch (kind) {
    case SaleKind::sell: return "sell";
    case SaleKind::closeOut: return "close-out";
    case SaleKind::worthless: return "worthless";
    case SaleKind::mergerCash: return "merger cash";
  }
  return "";
}

std::shared_ptr<const SalesRecord> calculateWithLots(Investor& investor, Date start, Date stop,
                                                     ProgressObserver* observer) {
  auto record = std::make_shared<Record>();
  LotWalk walk(*record);
  calculateInvestor(investor, start, stop, observer, &walk);
  return record;
}

}  // namespace orlendo
