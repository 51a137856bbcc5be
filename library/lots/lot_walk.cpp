// The lot walk rides along the calculation's own walk (a WalkObserver): it
// sees every buy and sell as it is posted and every event leg and split of
// the schedule right after the pool took it, and keeps the lots of each
// security beside the pool. Shares and bases are carried in long double from
// the decimals they stand for and never rounded; a figure is rounded (to
// cents, shares to five decimals) only when a row is made.
//
// A heavy investor holds tens of thousands of lots and makes thousands of
// sales, so both are kept small: a lot keeps only the bytes its figures use,
// and a disposition is made into its rows (under both methods) the moment it
// is complete, instead of keeping the lots it took to the end.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
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

// An Exact held in the bytes its value takes: the x87 extended format uses
// ten of the sixteen a long double occupies. Read back bit for bit.
class StoredExact {
 public:
#if defined(__x86_64__) || defined(__i386__)
  static constexpr std::size_t kBytes = std::numeric_limits<Exact>::digits == 64 ? 10 : sizeof(Exact);
#else
  static constexpr std::size_t kBytes = sizeof(Exact);
#endif

  StoredExact() = default;
  StoredExact(Exact x) { std::memcpy(bytes_, &x, kBytes); }  // NOLINT: kept as it is read
  operator Exact() const {
    Exact x = 0;
    std::memcpy(&x, bytes_, kBytes);
    return x;
  }

 private:
  unsigned char bytes_[kBytes];
};

// A lot's basis is kept as the basis it had at `definedShares` shares; what
// it holds now is that basis in proportion to its shares, formed in one step
// when it is read, so a sale of part of a lot leaves no rounded remainder
// behind for the next part to inherit. A security's lots are kept in their
// order (acquisition date, then the order they were made in: a new lot is
// made after every lot already held, so the later of two lots of one date is
// the one placed later, and merging keeps that).
struct Lot {
  Date acquired;
  StoredExact shares;
  StoredExact definedBasis;
  StoredExact definedShares;

  Exact basisOf(Exact part) const {
    const Exact defined = definedShares;
    return defined != 0 ? definedBasis * part / defined : Exact(definedBasis);
  }
  Exact basis() const { return basisOf(shares); }
};

Lot freshLot(Date acquired, Exact shares, Exact basis) { return {acquired, shares, basis, shares}; }

bool earlier(const Lot& a, const Lot& b) { return a.acquired < b.acquired; }

// One security's lots, oldest first. A sale takes lots from the front: the
// taken ones are dropped from the store now and then, not one by one.
class Lots {
 public:
  Lot* begin() { return lots_.data() + head_; }
  Lot* end() { return lots_.data() + lots_.size(); }
  const Lot* begin() const { return lots_.data() + head_; }
  const Lot* end() const { return lots_.data() + lots_.size(); }
  bool empty() const { return head_ == lots_.size(); }
  std::size_t size() const { return lots_.size() - head_; }
  Lot& front() { return lots_[head_]; }

  void popFront() {
    if (++head_ == lots_.size()) {  // sold out: the store is kept for the next buy
      lots_.clear();
      head_ = 0;
    }
  }
  void pushBack(const Lot& lot) {
    if (lots_.size() == lots_.capacity() && head_ > 0) dropTaken();  // room before growing
    lots_.push_back(lot);
  }
  // The security is gone (moved, split up, closed out): its store is freed.
  void release() {
    std::vector<Lot>().swap(lots_);
    head_ = 0;
  }
  template <class Pred>
  void eraseIf(Pred pred) {
    const auto first = lots_.begin() + static_cast<std::ptrdiff_t>(head_);
    lots_.erase(std::remove_if(first, lots_.end(), pred), lots_.end());
    if (head_ == lots_.size()) release();
  }

  // Room for `more` lots at the back; the lots taken from the front go first.
  void reserveMore(std::size_t more) {
    if (head_ > 0) dropTaken();
    // Grown as push_back grows it, so that the buys after an event that
    // filled the store do not copy it over again.
    if (lots_.capacity() < lots_.size() + more) lots_.reserve(std::max(lots_.size() + more, 2 * lots_.capacity()));
  }
  // The lots from `middle` on were just added: put them in their place.
  void placeAddedFrom(std::size_t middle) {
    const auto first = lots_.begin() + static_cast<std::ptrdiff_t>(head_);
    const auto mid = lots_.begin() + static_cast<std::ptrdiff_t>(middle);
    if (mid == first || mid == lots_.end() || !earlier(*mid, *(mid - 1))) return;
    std::inplace_merge(first, mid, lots_.end(), earlier);
  }
  std::size_t storeSize() const { return lots_.size(); }

 private:
  void dropTaken() {
    lots_.erase(lots_.begin(), lots_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }

  std::vector<Lot> lots_;
  std::size_t head_ = 0;
};

Exact exactOf(Currency amount) { return static_cast<Exact>(amount.ticks()) / 10000; }
// Shares as an entry's text reads back: five decimals.
Exact exactShares(double shares) { return static_cast<Exact>(scaledRound(shares, 5)) / 100000; }

// The methods a disposition belongs to: the Lumora merger is one block per
// lot under fifo and one disposition of the whole holding under average.
enum class Methods : std::uint8_t { both, fifoOnly, averageOnly };

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
  const int digits = 15 - decimalExponent(scale);  // decimals of the grid
  return scaledByPowerOfTen(std::rint(scaledByPowerOfTen(d, digits)), -digits);
}

// A tiny rest of a lot or a sale left by double arithmetic is none.
bool negligible(Exact rest, Exact whole) { return std::fabs(rest) <= 1e-12L * std::fabs(whole); }

Date anniversary(Date d) {
  using namespace std::chrono;
  if (d.month() == February && d.day() == day{29}) return Date{d.year() + years{1}, February, day{28}};
  return Date{d.year() + years{1}, d.month(), d.day()};
}

SaleTerm termOf(const std::optional<Date>& acquired, Date sold) {
  if (!acquired) return SaleTerm::unknown;
  return sold > anniversary(*acquired) ? SaleTerm::longTerm : SaleTerm::shortTerm;
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

constexpr std::size_t kTerms = 3;  // short, long, unknown: a disposition's rows at most

// `total` over the rows in proportion to their exact shares, each rounded to
// cents, the last taking what is left.
std::array<Currency, kTerms> shareOut(Currency total, const std::array<Exact, kTerms>& shares, std::size_t n) {
  Exact all = 0;
  for (std::size_t i = 0; i < n; ++i) all += shares[i];
  std::array<Currency, kTerms> out{};
  Currency given;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    out[i] = all != 0 ? centsOf(exactOf(total) * shares[i] / all) : Currency();
    given += out[i];
  }
  if (n > 0) out[n - 1] = total - given;
  return out;
}

// A row as the record keeps it: both methods' basis, the rest shared.
struct StoredRow {
  const std::string* security;
  double shares;                 // five decimals
  Currency proceeds;             // when hasProceeds
  Currency fifoBasis;
  Currency averageBasis;
  Date acquired;                 // when hasAcquired
  Date sold;
  std::uint8_t term;             // a SaleTerm
  char box;
  std::uint8_t kind;             // a SaleKind
  Methods methods;
  bool various;
  bool hasAcquired;
  bool hasProceeds;
};
static_assert(sizeof(StoredRow) <= 56);

// One disposition while its parts are taken: each part (the shares taken
// from one lot, or beyond every lot) is added to its term's group at once.
class Disposition {
 public:
  Disposition(Methods methods, const std::string& security, Date sold, SaleKind kind)
      : methods_(methods), security_(&security), sold_(sold), kind_(kind) {}

  // `basis` counts under fifo (0 for a part with no lot); no date: no lot.
  void add(Exact shares, Exact basis, std::optional<Date> acquired) {
    Group& g = groups_[static_cast<std::size_t>(termOf(acquired, sold_))];
    g.shares += shares;
    g.basis += basis;
    if (!g.any) {
      g.first = acquired;
      if (acquired) g.earliest = *acquired;
    } else if (g.first != acquired) {
      g.various = true;
    }
    if (acquired && *acquired < g.earliest) g.earliest = *acquired;
    g.any = true;
  }

  // Its rows, short, long, unknown (none when no part was taken), with the
  // pool's basis for average and the proceeds shared over them.
  void makeRows(std::optional<Currency> proceeds, Currency poolBasis, std::vector<StoredRow>& out) const {
    std::array<Exact, kTerms> shares{};
    std::size_t n = 0;
    const std::size_t begin = out.size();
    for (std::size_t t = 0; t < kTerms; ++t) {
      const Group& g = groups_[t];
      if (!g.any) continue;
      StoredRow row{};
      row.security = security_;
      row.shares = decimalValue(scaledRoundExact(g.shares, 5), 5);
      row.term = static_cast<std::uint8_t>(t);
      if (static_cast<SaleTerm>(t) != SaleTerm::unknown) {
        row.various = g.various;
        if (!g.various && g.first) {
          row.hasAcquired = true;
          row.acquired = *g.first;
        }
        row.box = boxOf(static_cast<SaleTerm>(t), g.earliest);
      }
      row.sold = sold_;
      row.kind = static_cast<std::uint8_t>(kind_);
      row.methods = methods_;
      if (methods_ != Methods::averageOnly) row.fifoBasis = centsOf(g.basis);
      out.push_back(row);
      shares[n++] = g.shares;
    }
    if (n == 0) return;
    StoredRow* made = out.data() + begin;
    if (methods_ != Methods::fifoOnly) {
      const auto basis = shareOut(poolBasis, shares, n);
      for (std::size_t i = 0; i < n; ++i) made[i].averageBasis = basis[i];
    }
    if (proceeds) {
      const auto shared = shareOut(*proceeds, shares, n);
      for (std::size_t i = 0; i < n; ++i) {
        made[i].hasProceeds = true;
        made[i].proceeds = shared[i];
      }
    }
  }

 private:
  struct Group {
    Exact shares = 0;
    Exact basis = 0;
    std::optional<Date> first;
    bool various = false;
    bool any = false;
    Date earliest{};
  };

  Methods methods_;
  const std::string* security_;
  Date sold_;
  SaleKind kind_;
  std::array<Group, kTerms> groups_{};
};

class Record final : public SalesRecord {
 public:
  std::vector<StoredRow> stored;  // in the walk's order of the dispositions
  std::map<std::string, Lots, std::less<>> held;

  std::size_t forEachRow(LotMethod method, std::optional<int> taxYear,
                         const std::function<void(const SaleRow&)>& visit) const override {
    const std::vector<const StoredRow*> chosen = choose(method, taxYear);
    SaleRow row;
    for (const StoredRow* s : chosen) {
      row.security = *s->security;
      row.shares = s->shares;
      row.acquired = s->hasAcquired ? std::optional<Date>(s->acquired) : std::nullopt;
      row.various = s->various;
      row.sold = s->sold;
      row.basis = method == LotMethod::fifo ? s->fifoBasis : s->averageBasis;
      row.proceeds = s->hasProceeds ? std::optional<Currency>(s->proceeds) : std::nullopt;
      row.gain = s->hasProceeds ? std::optional<Currency>(s->proceeds - row.basis) : std::nullopt;
      row.term = static_cast<SaleTerm>(s->term);
      row.box = s->box;
      row.kind = static_cast<SaleKind>(s->kind);
      visit(row);
    }
    return chosen.size();
  }

  std::size_t rowCount(LotMethod method, std::optional<int> taxYear) const override {
    return static_cast<std::size_t>(
        std::count_if(stored.begin(), stored.end(), [&](const StoredRow& s) { return chosen(s, method, taxYear); }));
  }

  std::vector<HeldLot> heldLots() const override {
    std::vector<HeldLot> out;
    for (const auto& [name, lots] : held)
      for (const Lot& l : lots)
        out.push_back({name, l.acquired, static_cast<double>(Exact(l.shares)), static_cast<double>(l.basis())});
    return out;
  }

 private:
  static bool chosen(const StoredRow& s, LotMethod method, std::optional<int> taxYear) {
    const Methods skip = method == LotMethod::fifo ? Methods::averageOnly : Methods::fifoOnly;
    return s.methods != skip && (!taxYear || static_cast<int>(s.sold.year()) == *taxYear);
  }

  // By date sold, in the walk's order on one date (the worthless Dirvana is
  // sold at the end of the year it was walked at the start of).
  std::vector<const StoredRow*> choose(LotMethod method, std::optional<int> taxYear) const {
    std::vector<const StoredRow*> out;
    out.reserve(rowCount(method, taxYear));
    for (const StoredRow& s : stored)
      if (chosen(s, method, taxYear)) out.push_back(&s);
    const auto bySold = [](const StoredRow* a, const StoredRow* b) { return a->sold < b->sold; };
    if (!std::is_sorted(out.begin(), out.end(), bySold)) std::stable_sort(out.begin(), out.end(), bySold);
    return out;
  }
};

class LotWalk final : public WalkObserver {
 public:
  explicit LotWalk(Record& record) : record_(record) {}

  void entryPosted(const Security& security, const BuySell& entry, const Xaction& posted, double shares,
                   Date day) override {
    const Holding h = holdingOf(security);
    if (posted.XactionType() == XTransType::Buy) {
      // The entry's shares and cost as they read back: five decimals, and
      // the cents the buy's transaction took.
      h.lots->pushBack(freshLot(day, exactShares(shares), exactOf(posted.ChgCostAmount())));
      return;
    }
    const Exact sold = -exactShares(shares);
    if (!(sold > 0)) return;  // a sell of no shares is no sale
    Disposition d(Methods::both, *h.name, day, SaleKind::sell);
    take(*h.lots, sold, d);
    d.makeRows(entry.ProceedsAmount(), -posted.ChgCostAmount(), record_.stored);
  }

  void splitPosted(std::string_view security, history::SharesPerShare factor, Date) override {
    const auto it = record_.held.find(security);
    if (it == record_.held.end()) return;
    const Exact times = 1 + decimalIntent(factor.value);
    for (Lot& l : it->second) {
      l.shares = l.shares * times;
      l.definedShares = l.definedShares * times;
    }
    it->second.eraseIf([](const Lot& l) { return Exact(l.shares) <= 0; });
  }

  void legPosted(const history::EventProcedure&, std::span<const Posting> rows, std::string_view source, Date day,
                 eLumora election, std::span<const XactionPtr> posted) override {
    const Holding from = holdingOf(source);
    const bool ownRow = rows.front().target == source && rows.front().special != Special::Distribution;
    if (!ownRow) return distribute(*from.lots, rows, day);
    const Posting& own = rows.front();
    const auto receivers = rows.subspan(1);
    if (own.type == XTransType::spin_off_old) return spinOff(*from.lots, own, receivers);
    if (receivers.empty()) {
      if (own.shares.value == -1.0) return closeOut(from, own, day, *posted.front());
      const Exact times = 1 + decimalIntent(own.shares.value);
      for (Lot& l : *from.lots) {  // a conversion in place
        l.shares = l.shares * times;
        l.definedShares = l.definedShares * times;
      }
      return;
    }
    if (receivers.front().special == Special::CashOrStock)
      return merger(from, receivers.front(), day, election, *posted[1]);
    for (const Posting& r : receivers) {  // an acquisition or reclassification
      const Exact ratio = decimalIntent(r.shares.value);
      receive(r.target, *from.lots, [&](const Lot& l) -> Lot {
        return {l.acquired, ratio * l.shares, l.definedBasis, ratio * l.definedShares};
      });
    }
    from.lots->release();
  }

 private:
  struct Holding {
    const std::string* name;
    Lots* lots;
  };

  Holding holdingOf(const Security& security) {
    const auto it = bySecurity_.find(&security);
    if (it != bySecurity_.end()) return it->second;
    const Holding h = holdingOf(security.SecName());
    // Room for a lot per entry at once: no growing store copied over and over.
    h.lots->reserveMore(static_cast<std::size_t>(std::max(0L, security.colBuySells()->Count())));
    bySecurity_.emplace(&security, h);
    return h;
  }
  Holding holdingOf(std::string_view name) {
    auto it = record_.held.find(name);
    if (it == record_.held.end()) it = record_.held.emplace(std::string(name), Lots{}).first;
    return {&it->first, &it->second};
  }

  // One new lot of `target` for every lot of `from`, made by `make`, put in
  // its order among the target's own.
  template <class Make>
  void receive(std::string_view target, Lots& from, Make make) {
    if (from.empty()) return;
    Lots& to = *holdingOf(target).lots;
    if (&to == &from) {  // a security receiving from itself: from a copy
      std::vector<Lot> copy(from.begin(), from.end());
      const std::size_t middle = to.storeSize();
      for (const Lot& l : copy) to.pushBack(make(l));
      to.placeAddedFrom(middle);
      return;
    }
    to.reserveMore(from.size());
    const std::size_t middle = to.storeSize();
    for (const Lot& l : from) to.pushBack(make(l));
    to.placeAddedFrom(middle);
  }

  // First in, first out: whole lots, then part of one; beyond every lot a part with no lot.
  static void take(Lots& lots, Exact sold, Disposition& d) {
    Exact rest = sold;
    while (rest > 0 && !lots.empty()) {
      Lot& l = lots.front();
      const Exact shares = l.shares;
      if (rest >= shares || negligible(shares - rest, shares)) {
        d.add(shares, l.basisOf(shares), l.acquired);
        rest = difference(rest, shares);
        lots.popFront();
        if (negligible(rest, sold)) rest = 0;
      } else {
        d.add(rest, l.basisOf(rest), l.acquired);
        l.shares = difference(shares, rest);
        rest = 0;
      }
    }
    if (rest > 0) d.add(rest, 0, std::nullopt);
  }

  void spinOff(Lots& from, const Posting& own, std::span<const Posting> receivers) {
    Exact given = 0;
    for (const Posting& r : receivers) {
      const Exact fraction = r.basis ? decimalIntent(r.basis->value) : 0;
      const Exact ratio = decimalIntent(r.shares.value);
      given += fraction;
      receive(r.target, from, [&](const Lot& l) -> Lot {
        return {l.acquired, ratio * l.shares, fraction * l.definedBasis, ratio * l.definedShares};
      });
    }
    if (own.shares.value == -1.0) {  // a split-up empties the source
      from.release();
      return;
    }
    for (Lot& l : from) l.definedBasis = l.definedBasis * (1 - given);
  }

  void distribute(Lots& from, std::span<const Posting> rows, Date day) {
    const Exact price = exactOf(history::kMeridanePricePerDistributedShare);
    for (const Posting& r : rows) {
      const Exact ratio = decimalIntent(r.shares.value);
      receive(r.target, from, [&](const Lot& l) {
        const Exact shares = ratio * l.shares;
        return freshLot(day, shares, price * shares);
      });
    }
  }

  void closeOut(Holding from, const Posting& own, Date day, const Xaction& posted) {
    Date sold = day;
    SaleKind kind = SaleKind::closeOut;
    std::optional<Currency> proceeds;
    if (own.description == "Worthless") {
      kind = SaleKind::worthless;
      sold = Date{day.year(), std::chrono::December, std::chrono::day{31}};
      proceeds = Currency();
    }
    Disposition d(Methods::both, *from.name, sold, kind);
    for (const Lot& l : *from.lots) d.add(l.shares, l.basis(), l.acquired);
    from.lots->release();
    d.makeRows(proceeds, -posted.ChgCostAmount(), record_.stored);
  }

  // Every lot a block of its own under fifo; the whole holding at the pool's
  // figures under average.
  void merger(Holding from, const Posting& receiver, Date day, eLumora election, const Xaction& posted) {
    const history::LumoraTerms terms = history::lumoraTerms(election);
    const Exact r = decimalIntent(terms.sharesPerLumoraShare);
    const Exact p = exactOf(terms.cashPerLumoraShare);
    const Exact fairValue = decimalIntent(history::kLumoraFairValuePerQuorvexShare);
    std::vector<Lot> made;
    made.reserve(from.lots->size());
    Disposition whole(Methods::averageOnly, *from.name, day, SaleKind::mergerCash);
    for (const Lot& l : *from.lots) {
      const Exact shares = l.shares;
      const Exact cash = p * shares;
      const Exact stock = fairValue * r * shares;
      const Exact basis = l.basis();
      const Exact realized = cash + stock - basis;
      const Exact recognized = realized > 0 ? std::min(cash, realized) : 0;
      if (r != 0) made.push_back(freshLot(l.acquired, r * shares, basis - cash + recognized));
      if (cash > 0) {
        Disposition block(Methods::fifoOnly, *from.name, day, SaleKind::mergerCash);
        block.add(shares, cash - recognized, l.acquired);
        block.makeRows(centsOf(cash), Currency(), record_.stored);
      }
      whole.add(shares, 0, l.acquired);
    }
    if (posted.SourceCashRecd() > Currency())
      whole.makeRows(posted.SourceCashRecd(), posted.SourceCashRecd() - posted.SourceGainRecog(), record_.stored);
    Lots blocks;
    for (const Lot& l : made) blocks.pushBack(l);
    receive(receiver.target, blocks, [](const Lot& l) { return l; });
    from.lots->release();
  }

  Record& record_;
  std::unordered_map<const Security*, Holding> bySecurity_;
};

}  // namespace

std::vector<SaleRow> SalesRecord::rows(LotMethod method, std::optional<int> taxYear) const {
  std::vector<SaleRow> out;
  out.reserve(rowCount(method, taxYear));
  forEachRow(method, taxYear, [&](const SaleRow& row) { out.push_back(row); });
  return out;
}

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
  // Room for a row per entry at once (a sale is one to three rows, a buy
  // none): the rows are not copied to ever larger stores as they come.
  std::size_t entries = 0;
  for (const auto& security : *investor.colSecurities())
    entries += static_cast<std::size_t>(std::max(0L, security->colBuySells()->Count()));
  record->stored.reserve(entries);
  LotWalk walk(*record);
  calculateInvestor(investor, start, stop, observer, &walk);
  return record;
}

}  // namespace orlendo
