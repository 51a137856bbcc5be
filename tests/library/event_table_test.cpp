// Every corporate action and split of the history as it is posted: date,
// securities, kind, both factors and the security whose snapshot feeds each
// posting, written out independently of the schedule's own table so that a
// wrong date, factor or security there shows up here.

#include <map>
#include <string_view>

#include "history/schedule.h"
#include "library/test_support.h"

namespace {

using namespace orlendo;
using namespace std::chrono;
using T = XTransType;
using tvxtest::exactDouble;

const double kUnset = std::numeric_limits<double>::quiet_NaN();  // AllocationFactor not set

struct Posted {
  std::string_view target;
  T type;
  double af;
  double df;
  std::string_view desc{};
  std::string_view from{};  // the snapshot's security when not the action's source
};

struct Action {
  Date date;
  std::string_view source;  // whose shares every posting carries; none for a split
  std::vector<Posted> rows;
};

Action split(Date d, std::string_view security, double factor) { return {d, {}, {{security, T::Split, 0, factor}}}; }

constexpr T SO = T::spin_off_old, SN = T::spin_off_new, AO = T::acq_old, AN = T::acq_new;

// The schedule, dates in order, the Lumora merger with the standard election.
const std::vector<Action>& expectedActions() {
  static const std::vector<Action> actions = {
      {1983y/December/31, "Quorvex", {
           {"Quorvex", SO, -0.715, 0}, {"Orvanta", SN, 0.1033, 0.1}, {"Tessaline", SN, 0.1049, 0.1},
           {"Dunmarrow", SN, 0.1353, 0.1}, {"Halvern", SN, 0.0984, 0.1}, {"Corvallan", SN, 0.0888, 0.1},
           {"KSN Communications", SN, 0.0949, 0.1}, {"Altamor", SN, 0.0894, 0.1}}},
      split(1984y/May/22, "Dunmarrow", 2.0), split(1986y/April/17, "Tessaline", 1.0),
      split(1986y/May/1, "Halvern", 1.0), split(1986y/May/9, "Altamor", 1.0), split(1986y/June/9, "Corvallan", 1.0),
      split(1987y/January/26, "Orvanta", 0.5), split(1987y/February/23, "Dunmarrow", 0.5),
      split(1987y/March/25, "Corvallan", 1.0), split(1987y/May/22, "KSN Communications", 2.0),
      split(1989y/January/26, "Orvanta", 1.0), split(1990y/April/19, "Altamor", 1.0),
      split(1990y/May/1, "Tessaline", 1.0), split(1993y/May/25, "KSN Communications", 1.0),
      split(1993y/September/15, "Halvern", 1.0), split(1994y/January/24, "Orvanta", 1.0),
      {1994y/April/1, "Corvallan", {{"Corvallan", SO, -0.3983, 0}, {"Skyvell Communications", SN, 0.3983, 1.0}}},
      {1995y/November/1, "Altamor", {
           {"Altamor", SO, -1.0, -1.0}, {"Lumora", SN, 0.4018, 1.0}, {"Altamor Communications", SN, 0.5982, 1.0}}},
      split(1995y/November/8, "Dunmarrow", 1.0),
      {1996y/September/30, "Quorvex", {{"Quorvex", SO, -0.2799, 0}, {"Ferrant Technologies", SN, 0.2799, 0.324084}}},
      {1996y/December/31, "Quorvex", {{"Quorvex", SO, -0.0477, 0}, {"TBN", SN, 0.0477, 0.0625}}},
      {1997y/April/1, "Corvallan", {{"Corvallan", AO, -1.0, -1.0}, {"KSN Communications", AN, 1.0, 0.73145}}},
      {1997y/August/14, "Halvern", {{"Halvern", AO, -1.0, -1.0}, {"Tessaline", AN, 1.0, 0.768}}},
      split(1998y/January/26, "Orvanta", 1.0), split(1998y/March/19, "KSN Communications", 1.0),
      split(1998y/April/2, "Ferrant Technologies", 1.0),
      {1998y/June/12, "Lumora", {{"Lumora", SO, -0.0374, 0}, {"Altamor Communications", SN, 0.0374, 0.02731}}},
      split(1998y/June/29, "Tessaline", 1.0), split(1998y/December/24, "Dunmarrow", 1.0),
      split(1999y/April/5, "Ferrant Technologies", 1.0), split(1999y/April/15, "Quorvex", 0.5),
      {1999y/June/30, "Skyvell Communications", {
           {"Skyvell Communications", AO, -1.0, -1.0}, {"Vantrel", AN, 1.0, 0.5}}},
      split(1999y/October/4, "Vantrel", 4.0),
      {1999y/October/8, "Orvanta", {{"Orvanta", AO, -1.0, -1.0}, {"KSN Communications", AN, 1.0, 1.316}}},
      {2000y/June/15, "Lumora", {
           {"Lumora", AO, -1.0, -1.0}, {"Quorvex", T::cash_or_stk, kUnset, 0.95, "36.27 at 33.8125"}}},
      {2000y/June/30, "Tessaline", {{"Tessaline", AO, -1.0, -1.0}, {"Meridane", AN, 1.0, 1.0}}},
      {2000y/June/30, "Altamor Communications", {
           {"Altamor Communications", AO, -1.0, -1.0}, {"Zephrin", AN, 1.0, 1.72932}}},
      {2000y/October/2, "Ferrant Technologies", {
           {"Ferrant Technologies", SO, -0.05476, 0}, {"Solvane", SN, 0.05476, 0.08333}}},
      {2001y/July/9, "Quorvex", {{"Quorvex", SO, -0.2234, 0}, {"Quorvex Wireless", SN, 0.2234, 0.3218}}},
      {2002y/June/1, "Ferrant Technologies", {
           {"Ferrant Technologies", SO, -0.182555, 0}, {"Tellano Class A", SN, 0.007136, 0.010779},
           {"Tellano Class B", SN, 0.175419, 0.264563}}},
      {2002y/November/18, "Quorvex", {{"Quorvex", SO, -0.626, 0}, {"Brantel", SN, 0.626, 0.3235}}},
      split(2002y/November/18, "Quorvex", -0.8),
      {2004y/December/30, "Quorvex Wireless", {{"Quorvex Wireless", AO, -1.0, -1.0}}},
      split(2005y/January/21, "TBN", 1.0),
      {2005y/May/27, "Tellano Class A", {
           {"Tellano Class A", AN, -1.0, -1.0, "Reclass"}, {"Tellano after 5-27-05", AN, 1.0, 1.0, "Reclass"},
           {"Tellano Class B", AN, -1.0, -1.0, "Reclass", "Tellano Class B"},
           {"Tellano after 5-27-05", AN, 1.0, 1.0, "Reclass", "Tellano Class B"}}},
      split(2005y/May/28, "Tellano after 5-27-05", -0.9),
      {2005y/November/18, "Quorvex", {
           {"Quorvex", AN, 0, -0.22058}, {"KSN Communications", AO, -1.0, -1.0, {}, "KSN Communications"},
           {"Quorvex", AN, 1.0, 1.0, {}, "KSN Communications"}}},
      split(2006y/July/31, "Vantrel", -0.125),
      {2006y/November/20, "Meridane", {{"Meridane", SO, -0.03666, 0}, {"Dirvana", SN, 0.03666, 0.05}}},
      {2006y/December/1, "Ferrant Technologies", {
           {"Ferrant Technologies", AN, -1.0, -1.0, "Reclass"}, {"Marquon-Ferrant", AN, 1.0, 0.1952, "Reclass"}}},
      {2006y/December/29, "Dunmarrow", {
           {"Dunmarrow", AN, -1.0, -1.0, "Reclass"}, {"Quorvex", AN, 1.0, 1.325, "Reclass"}}},
      split(2007y/February/21, "Brantel", 0.5),
      {2007y/April/2, "Tellano after 5-27-05", {
           {"Tellano after 5-27-05", AN, -1.0, -1.0, "Reclass"}, {"CRN Logic", AN, 1.0, 2.16, "Reclass"}}},
      {2007y/September/14, "TBN", {{"TBN", SO, -0.5237, 0}, {"Kaldera Corp", SN, 0.5237, 1.0}}},
      {2007y/December/30, "Solvane", {{"Solvane", AO, -1.0, -1.0}}},
      {2008y/March/7, "Meridane", {{"Meridane", SO, -0.00463, 0}, {"Hollin Comm", SN, 0.00463, 0.018859}}},
      {2010y/January/1, "Dirvana", {{"Dirvana", AO, -1.0, -1.0, "Worthless"}}},
      {2010y/July/1, "Meridane", {{"Meridane", SO, -0.06201, 0}, {"Ravensby Comm", SN, 0.06201, 0.24004}}},
      {2011y/April/1, "Zephrin", {{"Zephrin", AN, -1.0, -1.0, "Reclass"}, {"Aldamark", AN, 1.0, 0.1664, "Reclass"}}},
      {2014y/February/24, "Vantrel", {{"Meridane", AN, 1.0, 0.263001, "Distribution"}}},
      split(2014y/February/24, "Vantrel", -0.4545454545),
      {2016y/January/1, "CRN Logic", {{"CRN Logic", AO, -1.0, -1.0}}},
      {2016y/January/2, "Hollin Comm", {{"Hollin Comm", AO, -1.0, -1.0}}},
      {2016y/January/6, "Marquon-Ferrant", {
           {"Marquon-Ferrant", AN, -1.0, -1.0, "Reclass"}, {"Vesterholm Corporation", AN, 1.0, 0.55, "Reclass"}}},
      split(2017y/February/17, "Brantel", 1.0), split(2017y/May/10, "Ravensby Comm", -0.933333333333),
  };
  return actions;
}

std::string line(std::string_view target, T type, const std::string& af, double df, double srcShrs,
                 std::string_view desc) {
  return std::string(target) + " type=" + std::to_string(static_cast<int>(type)) + " af=" + af +
         " df=" + exactDouble(df) + " src=" + exactDouble(srcShrs) + " desc=" + std::string(desc);
}

std::string postedLine(std::string_view target, const Xaction& x) {
  std::string af;
  try {
    af = exactDouble(x.AllocationFactor());
  } catch (const Error&) {
    af = "unset";
  }
  // The merger's terms: cash and fair value per share.
  const std::string terms = x.XactionType() != T::cash_or_stk ? "" : exactDouble(x.SourcePricePerShr()) + " at " +
                                                                     exactDouble(x.CashOrStk_FMVperShare());
  return line(target, x.XactionType(), af, x.DistributionFactor(), x.SourceShrs(), x.Description() + terms);
}

// Walks every day from before the history to after it with every security
// held at a share count of its own, and compares what each day posts, security
// by security in posting order, with the table. A posting's SourceShrs names
// the security it was read from.
TEST(EventTable, EveryActionPostsOnItsDayOnItsSecuritiesWithItsFactors) {
  auto investor = Investor::create(kHistoryStart);
  auto securities = investor->colSecurities();
  std::map<std::string, long, std::less<>> order;  // of the catalogue
  for (const auto& s : *securities) {
    order.emplace(s->SecName(), order.size());
    auto x = Xaction::create();
    x->ChgShrs(std::to_string(1009 + 37 * order.size()));
    x->ChgCost("1000");
    s->colXActions()->Add(x);
  }
  ASSERT_EQ(order.size(), 30u);
  std::map<sys_days, std::vector<const Action*>> byDay;
  for (const Action& a : expectedActions()) byDay[sys_days{a.date}].push_back(&a);

  int daysWithPostings = 0;
  for (sys_days day = sys_days{1983y / December / 30}; day <= sys_days{2017y / May / 11}; day += days{1}) {
    std::map<std::string, std::pair<long, double>, std::less<>> before;  // count, shares
    for (const auto& s : *securities) {
      const auto xs = s->colXActions();
      before[s->SecName()] = {xs->Count(), parseDouble(xs->Item(xs->Count())->NewShrs())};
    }
    history::runScheduledActions(Date{day}, *securities, eLumora::standard);

    std::vector<std::string> posted;
    for (const auto& s : *securities)
      for (long i = before[s->SecName()].first + 1; i <= s->colXActions()->Count(); ++i)
        posted.push_back(postedLine(s->SecName(), *s->colXActions()->Item(i)));
    // Postings on different securities are seen grouped by security.
    std::multimap<long, std::string> expected;
    for (const Action* a : byDay[day]) {
      for (const Posted& r : a->rows) {
        const std::string_view from = r.from.empty() ? a->source : r.from;
        const double src = from.empty() ? 0 : before.find(from)->second.second;
        const std::string af = std::isnan(r.af) ? "unset" : exactDouble(r.af);
        expected.emplace(order.find(r.target)->second, line(r.target, r.type, af, r.df, src, r.desc));
      }
    }
    std::vector<std::string> want;
    for (const auto& e : expected) want.push_back(e.second);
    EXPECT_EQ(posted, want) << formatDate(Date{day});
    daysWithPostings += !posted.empty();
  }
  EXPECT_EQ(daysWithPostings, 63);
}

}  // namespace
