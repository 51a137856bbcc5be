#include "history/schedule.h"

#include <algorithm>
#include <array>
#include <string>

#include "orlendo/error.h"

namespace orlendo::history {

using namespace std::chrono;
using namespace orlendo::literals;
using T = XTransType;
using Basis = BasisFraction;
using Ratio = SharesPerShare;

namespace {

// Reached only from TellanoAReclass, which runs it even when Class A was never held.
constexpr EventProcedure kTellanoBReclass{"TellanoBReclass", {
    {"Tellano Class B", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
    {"Tellano after 5-27-05", T::acq_new, Basis{1.0}, Ratio{1.0}, "Reclass"}}};

enum class Messages : bool { wait, process };
constexpr Messages kProcessMessages = Messages::process;

constexpr ScheduledAction event(Date d, EventProcedure e, Messages m = Messages::wait) {
  return {d, e, {}, {}, m == Messages::process};
}
constexpr ScheduledAction split(Date d, std::string_view security, SharesPerShare factor,
                                Messages m = Messages::wait) {
  return {d, {}, security, factor, m == Messages::process};
}

// One row per action, in date order; a date's actions in the order they run.
// An event lists its postings in posting order, the source's own row first.
constexpr ScheduledAction kSchedule[] = {
    event(1983y/December/31, {"QvxDivestiture", {
        {"Quorvex", T::spin_off_old, Basis{-0.715}, Ratio{0}},
        {"Orvanta", T::spin_off_new, Basis{0.1033}, Ratio{0.1}},
        {"Tessaline", T::spin_off_new, Basis{0.1049}, Ratio{0.1}},
        {"Dunmarrow", T::spin_off_new, Basis{0.1353}, Ratio{0.1}},
        {"Halvern", T::spin_off_new, Basis{0.0984}, Ratio{0.1}},
        {"Corvallan", T::spin_off_new, Basis{0.0888}, Ratio{0.1}},
        {"KSN Communications", T::spin_off_new, Basis{0.0949}, Ratio{0.1}},
        {"Altamor", T::spin_off_new, Basis{0.0894}, Ratio{0.1}}}}),
    split(1984y/May/22, "Dunmarrow", Ratio{2.0}),
    split(1986y/April/17, "Tessaline", Ratio{1.0}),
    split(1986y/May/1, "Halvern", Ratio{1.0}, kProcessMessages),
    split(1986y/May/9, "Altamor", Ratio{1.0}),
    split(1986y/June/9, "Corvallan", Ratio{1.0}),
    split(1987y/January/26, "Orvanta", Ratio{0.5}),
    split(1987y/February/23, "Dunmarrow", Ratio{0.5}),
    split(1987y/March/25, "Corvallan", Ratio{1.0}),
    split(1987y/May/22, "KSN Communications", Ratio{2.0}),
    split(1989y/January/26, "Orvanta", Ratio{1.0}),
    split(1990y/April/19, "Altamor", Ratio{1.0}),
    split(1990y/May/1, "Tessaline", Ratio{1.0}),
    split(1993y/May/25, "KSN Communications", Ratio{1.0}),
    split(1993y/September/15, "Halvern", Ratio{1.0}),
    split(1994y/January/24, "Orvanta", Ratio{1.0}),
    event(1994y/April/1, {"CvSpinOffSkv", {
        {"Corvallan", T::spin_off_old, Basis{-0.3983}, Ratio{0}},
        {"Skyvell Communications", T::spin_off_new, Basis{0.3983}, Ratio{1.0}}}}),
    event(1995y/November/1, {"AltSpinsLum1", {
        {"Altamor", T::spin_off_old, Basis{-1.0}, Ratio{-1.0}},
        {"Lumora", T::spin_off_new, Basis{0.4018}, Ratio{1.0}},
        {"Altamor Communications", T::spin_off_new, Basis{0.5982}, Ratio{1.0}}}}),
    split(1995y/November/8, "Dunmarrow", Ratio{1.0}),
    event(1996y/September/30, {"QvxSpinsFrt", {
        {"Quorvex", T::spin_off_old, Basis{-0.2799}, Ratio{0}},
        {"Ferrant Technologies", T::spin_off_new, Basis{0.2799}, Ratio{0.324084}}}}, kProcessMessages),
    event(1996y/December/31, {"QvxSpinsTbn", {
        {"Quorvex", T::spin_off_old, Basis{-0.0477}, Ratio{0}},
        {"TBN", T::spin_off_new, Basis{0.0477}, Ratio{0.0625}}}}),
    event(1997y/April/1, {"KsnAcqCv", {
        {"Corvallan", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"KSN Communications", T::acq_new, Basis{1.0}, Ratio{0.73145}}}}),
    event(1997y/August/14, {"TslAcqHlv", {
        {"Halvern", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"Tessaline", T::acq_new, Basis{1.0}, Ratio{0.768}}}}),
    split(1998y/January/26, "Orvanta", Ratio{1.0}),
    split(1998y/March/19, "KSN Communications", Ratio{1.0}),
    split(1998y/April/2, "Ferrant Technologies", Ratio{1.0}),
    event(1998y/June/12, {"Lum1SpinRook", {
        {"Lumora", T::spin_off_old, Basis{-0.0374}, Ratio{0}},
        {"Altamor Communications", T::spin_off_new, Basis{0.0374}, Ratio{0.02731}}}}),
    split(1998y/June/29, "Tessaline", Ratio{1.0}),
    split(1998y/December/24, "Dunmarrow", Ratio{1.0}, kProcessMessages),
    split(1999y/April/5, "Ferrant Technologies", Ratio{1.0}),
    split(1999y/April/15, "Quorvex", Ratio{0.5}),
    event(1999y/June/30, {"VtlAcqSkv", {
        {"Skyvell Communications", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"Vantrel", T::acq_new, Basis{1.0}, Ratio{0.5}}}}),
    split(1999y/October/4, "Vantrel", Ratio{4.0}),
    event(1999y/October/8, {"KsnAcqOrva", {
        {"Orvanta", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"KSN Communications", T::acq_new, Basis{1.0}, Ratio{1.316}}}}),
    event(2000y/June/15, {"QvxAcqLum1", {
        {"Lumora", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"Quorvex", T::cash_or_stk, {}, Ratio{0}, {}, Special::CashOrStock}}}),
    event(2000y/June/30, {"MrdAcqTsl", {
        {"Tessaline", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"Meridane", T::acq_new, Basis{1.0}, Ratio{1.0}}}}),
    event(2000y/June/30, {"ZphAcqAltcom", {
        {"Altamor Communications", T::acq_old, Basis{-1.0}, Ratio{-1.0}},
        {"Zephrin", T::acq_new, Basis{1.0}, Ratio{1.72932}}}}, kProcessMessages),
    event(2000y/October/2, {"FrtSpinsSol", {
        {"Ferrant Technologies", T::spin_off_old, Basis{-0.05476}, Ratio{0}},
        {"Solvane", T::spin_off_new, Basis{0.05476}, Ratio{0.08333}}}}),
    event(2001y/July/9, {"QvxSpinsQvxw", {
        {"Quorvex", T::spin_off_old, Basis{-0.2234}, Ratio{0}},
        {"Quorvex Wireless", T::spin_off_new, Basis{0.2234}, Ratio{0.3218}}}}, kProcessMessages),
    event(2002y/June/1, {"FerrantSpinsTellano", {
        {"Ferrant Technologies", T::spin_off_old, Basis{-0.182555}, Ratio{0}},
        {"Tellano Class A", T::spin_off_new, Basis{0.007136}, Ratio{0.010779}},
        {"Tellano Class B", T::spin_off_new, Basis{0.175419}, Ratio{0.264563}}}}),
    event(2002y/November/18, {"QvxSpins2Brantel", {
        {"Quorvex", T::spin_off_old, Basis{-0.626}, Ratio{0}},
        {"Brantel", T::spin_off_new, Basis{0.626}, Ratio{0.3235}}}}),
    split(2002y/November/18, "Quorvex", Ratio{-0.8}),
    event(2004y/December/30, {"QvxwZero", {
        {"Quorvex Wireless", T::acq_old, Basis{-1.0}, Ratio{-1.0}}}}),
    split(2005y/January/21, "TBN", Ratio{1.0}),
    event(2005y/May/27, {"TellanoAReclass", {
        {"Tellano Class A", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
        {"Tellano after 5-27-05", T::acq_new, Basis{1.0}, Ratio{1.0}, "Reclass"}}, {}, &kTellanoBReclass}),
    split(2005y/May/28, "Tellano after 5-27-05", Ratio{-0.9}),
    event(2005y/November/18, {"KSNAcqQVX", {
        {"Quorvex", T::acq_new, Basis{0.0}, Ratio{-0.22058}},
        {"KSN Communications", T::acq_old, Basis{-1.0}, Ratio{-1.0}, {}, Special::None, Leg::opens},
        {"Quorvex", T::acq_new, Basis{1.0}, Ratio{1.0}}}}),
    split(2006y/July/31, "Vantrel", Ratio{-0.125}),
    event(2006y/November/20, {"MeridaneSpinsDirvana", {
        {"Meridane", T::spin_off_old, Basis{-0.03666}, Ratio{0}},
        {"Dirvana", T::spin_off_new, Basis{0.03666}, Ratio{0.05}}}}),
    event(2006y/December/1, {"Ferrant2Marquon", {
        {"Ferrant Technologies", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
        {"Marquon-Ferrant", T::acq_new, Basis{1.0}, Ratio{0.1952}, "Reclass"}}}),
    event(2006y/December/29, {"Dunmarrow2QVX", {
        {"Dunmarrow", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
        {"Quorvex", T::acq_new, Basis{1.0}, Ratio{1.325}, "Reclass"}}}),
    split(2007y/February/21, "Brantel", Ratio{0.5}),
    event(2007y/April/2, {"Tellano2CRN", {
        {"Tellano after 5-27-05", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
        {"CRN Logic", T::acq_new, Basis{1.0}, Ratio{2.16}, "Reclass"}}}),
    event(2007y/September/14, {"TBNSpinsKaldera", {
        {"TBN", T::spin_off_old, Basis{-0.5237}, Ratio{0}},
        {"Kaldera Corp", T::spin_off_new, Basis{0.5237}, Ratio{1.0}}}}),
    event(2007y/December/30, {"SolvaneZero", {
        {"Solvane", T::acq_old, Basis{-1.0}, Ratio{-1.0}}}}),
    event(2008y/March/7, {"MeridaneSpinsHollin", {
        {"Meridane", T::spin_off_old, Basis{-0.00463}, Ratio{0}},
        {"Hollin Comm", T::spin_off_new, Basis{0.00463}, Ratio{0.018859}}}}),
    event(2010y/January/1, {"DirvanaZero", {
        {"Dirvana", T::acq_old, Basis{-1.0}, Ratio{-1.0}, "Worthless"}}}),
    event(2010y/July/1, {"MeridaneSpinsRavensby", {
        {"Meridane", T::spin_off_old, Basis{-0.06201}, Ratio{0}},
        {"Ravensby Comm", T::spin_off_new, Basis{0.06201}, Ratio{0.24004}}}}),
    event(2011y/April/1, {"Zephrin2Aldamark", {
        {"Zephrin", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
        {"Aldamark", T::acq_new, Basis{1.0}, Ratio{0.1664}, "Reclass"}}}),
    event(2014y/February/24, {"VantrelDistributesMeridane", {
        {"Meridane", T::acq_new, Basis{1.0}, Ratio{0.263001}, "Distribution", Special::Distribution}}, "Vantrel"}),
    split(2014y/February/24, "Vantrel", Ratio{-0.4545454545}),
    event(2016y/January/1, {"CRNZero", {
        {"CRN Logic", T::acq_old, Basis{-1.0}, Ratio{-1.0}}}}),
    event(2016y/January/2, {"HollinZero", {
        {"Hollin Comm", T::acq_old, Basis{-1.0}, Ratio{-1.0}}}}),
    event(2016y/January/6, {"Marquon2Vesterholm", {
        {"Marquon-Ferrant", T::acq_new, Basis{-1.0}, Ratio{-1.0}, "Reclass"},
        {"Vesterholm Corporation", T::acq_new, Basis{1.0}, Ratio{0.55}, "Reclass"}}}),
    split(2017y/February/17, "Brantel", Ratio{1.0}),
    split(2017y/May/10, "Ravensby Comm", Ratio{-0.933333333333}),
};

static_assert(std::ranges::all_of(kSchedule, [](const ScheduledAction& a) { return a.date.ok(); }),
              "every date is a calendar day");
// The day's actions are found by binary search.
static_assert(std::ranges::is_sorted(kSchedule, {}, &ScheduledAction::date), "the table is in date order");

// Basis moves between securities and is neither made nor lost: within a leg
// that has receivers the fractions given and received cancel. Close-outs and
// the distribution have one row; the cash-or-stock merger sets no fraction.
constexpr bool movesBasisWhole(const EventProcedure& e) {
  const Posting* row = e.postings.begin();
  while (row != e.postings.end()) {
    const Posting* legEnd = std::find_if(row + 1, e.postings.end(), [](const Posting& p) { return p.leg == Leg::opens; });
    double sum = 0;
    bool allSet = true;
    for (const Posting* p = row; p != legEnd; ++p) {
      if (p->basis) sum += p->basis->value;
      else allSet = false;
    }
    if (legEnd - row > 1 && allSet && (sum > 1e-9 || sum < -1e-9)) return false;
    row = legEnd;
  }
  return true;
}
static_assert(std::ranges::all_of(kSchedule, [](const ScheduledAction& a) { return movesBasisWhole(a.event); }),
              "an event's basis fractions add up");
static_assert(movesBasisWhole(kTellanoBReclass));

// ---- the Lumora merger's constants ----------------------------------------------------

}  // namespace

LumoraTerms lumoraTerms(eLumora election) {
  switch (election) {
    case eLumora::standard: return {0.95, 36.27_usd};
    case eLumora::shares: return {1.4912, 8.50_usd};
    case eLumora::cash: return {0.8955, 39.06_usd};
  }
  return {0, Currency()};  // any other value: factor and price stay unset
}

static_assert(kMeridanePricePerDistributedShare == 48.115_usd);

namespace {

XactionPtr post(const Posting& row, Securities& securities, Currency basis, double shares, Date day,
                eLumora election) {
  auto x = Xaction::create();
  if (row.basis) x->AllocationFactor(row.basis->value);
  x->DistributionFactor(row.shares.value);
  Currency sourceCost = basis;
  switch (row.special) {
    case Special::CashOrStock: {
      const LumoraTerms terms = lumoraTerms(election);
      x->DistributionFactor(terms.sharesPerLumoraShare);
      x->SourcePricePerShr(terms.cashPerLumoraShare.toDouble());
      x->CashOrStk_FMVperShare(kLumoraFairValuePerQuorvexShare);
      break;
    }
    case Special::Distribution:
      sourceCost = asCurrency(kMeridanePricePerDistributedShare.toDouble() * (x->DistributionFactor() * shares));
      break;
    case Special::None:
      break;
  }
  x->SourceCost(sourceCost);
  x->SourceShrs(shares);
  x->XActionDay(day);
  x->XactionType(row.type);
  if (!row.description.empty()) x->Description(row.description);
  securities.Item(row.target)->colXActions()->Add(x);
  return x;
}

}  // namespace

std::span<const ScheduledAction> schedule() { return kSchedule; }

void runEvent(const EventProcedure& procedure, Securities& securities, Date day, eLumora election,
              PostingObserver* observer) {
  withTrail(std::string("CapitalXactions.") + std::string(procedure.name), [&] {
    const Posting* const end = procedure.postings.end();
    std::string_view sourceName = procedure.firstSource();
    for (const Posting* row = procedure.postings.begin(); row != end;) {
      const Posting* legEnd = std::find_if(row + 1, end, [](const Posting& p) { return p.leg == Leg::opens; });
      const auto source = securities.Item(sourceName)->colXActions();
      const long count = source->Count();
      if (count > 0) {  // else never held, or the history never reached it
        // The snapshot every posting of this leg uses, taken before any of them.
        const auto last = source->Item(count);
        const Currency basis = last->NewCostAmount();
        const double shares = last->NewShrsValue();
        std::array<XactionPtr, Postings::capacity> posted;
        std::size_t n = 0;
        for (const Posting* p = row; p != legEnd; ++p) posted[n++] = post(*p, securities, basis, shares, day, election);
        if (observer)
          observer->legPosted(procedure, std::span(row, legEnd), sourceName, day, election, std::span(posted.data(), n));
      }
      row = legEnd;
      if (row != end) sourceName = row->target;
    }
    if (procedure.then) runEvent(*procedure.then, securities, day, election, observer);
  });
}

void makeStkSplitXaction(const SecurityPtr& security, SharesPerShare factor, Date day) {
  withTrail("Investor.MakeStkSplitXaction", [&] {
    auto x = Xaction::create();
    x->AllocationFactor(0);
    x->DistributionFactor(factor.value);
    x->XActionDay(day);
    x->XactionType(XTransType::Split);
    security->colXActions()->Add(x);
  });
}

bool runScheduledActions(Date day, Securities& securities, eLumora election, PostingObserver* observer) {
  // The table is in date order: find the day's actions instead of scanning
  // every row on every day the caller visits.
  struct ByDate {
    bool operator()(const ScheduledAction& a, Date d) const { return a.date < d; }
    bool operator()(Date d, const ScheduledAction& a) const { return d < a.date; }
  };
  const auto [first, last] = std::equal_range(std::begin(kSchedule), std::end(kSchedule), day, ByDate{});
  bool pump = false;
  for (const ScheduledAction& action : std::span(first, last)) {
    if (action.isSplit()) {
      makeStkSplitXaction(securities.Item(action.splitSecurity), action.splitFactor, day);
      if (observer) observer->splitPosted(action.splitSecurity, action.splitFactor, day);
    } else {
      runEvent(action.event, securities, day, election, observer);
    }
    pump |= action.processMessagesAfter;
  }
  return pump;
}

}  // namespace orlendo::history
