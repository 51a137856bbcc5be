// The event table and the posting shapes: what each corporate action posts,
// on which securities, from which snapshot, and the schedule itself.
#include "history/schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "orlendo/catalogue.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "library/test_support.h"

namespace {

using namespace orlendo;
using namespace orlendo::literals;
using namespace std::chrono;
using T = XTransType;

using tvxtest::ymd;

const history::EventProcedure* findProcedure(std::string_view name) {
  for (const auto& a : history::schedule()) {
    for (auto p = a.procedure; p; p = p->then)
      if (p->name == name) return p;
  }
  return nullptr;
}

class Postings : public ::testing::Test {
 protected:
  XactionsPtr xs(std::string_view name) const { return securities->Item(name)->colXActions(); }
  long count(std::string_view name) const { return xs(name)->Count(); }
  XactionPtr last(std::string_view name) const { return xs(name)->Item(count(name)); }

  void hold(std::string_view name, const char* shares, const char* cost) {
    auto x = Xaction::create();
    x->XactionType(T::Buy);
    x->ChgShrs(shares);
    x->ChgCost(cost);
    x->XActionDate("01/02/1990");
    xs(name)->Add(x);
  }
  void run(std::string_view procedure, Date day, eLumora election = eLumora::standard) {
    const auto* p = findProcedure(procedure);
    ASSERT_NE(p, nullptr) << procedure;
    history::runEvent(*p, *securities, day, election);
  }
  long totalTransactions() const {
    long n = 0;
    for (const auto& s : *securities) n += s->colXActions()->Count();
    return n;
  }

  InvestorPtr investor = Investor::create(kHistoryStart);
  SecuritiesPtr securities = investor->colSecurities();
};

// ---- the schedule as a table -------------------------------------------------------------

TEST(Schedule, IsInDateOrderFromTheDivestitureToTheLastSplit) {
  const auto s = history::schedule();
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s.front().date, ymd(1983, 12, 31));
  EXPECT_EQ(s.back().date, ymd(2017, 5, 10));
  for (std::size_t i = 1; i < s.size(); ++i)
    EXPECT_LE(sys_days{s[i - 1].date}, sys_days{s[i].date}) << "row " << i;
}

TEST(Schedule, HoldsThirtyFiveProceduresEachOnce) {
  std::set<std::string_view> scheduled;
  std::vector<std::string_view> all;
  for (const auto& a : history::schedule()) {
    if (!a.procedure) continue;
    EXPECT_TRUE(scheduled.insert(a.procedure->name).second) << a.procedure->name << " scheduled twice";
    for (auto p = a.procedure; p; p = p->then) all.push_back(p->name);
  }
  EXPECT_EQ(scheduled.size(), 34u);
  EXPECT_EQ(std::set<std::string_view>(all.begin(), all.end()).size(), 35u);
  EXPECT_EQ(scheduled.count("TellanoBReclass"), 0u);
  ASSERT_NE(findProcedure("TellanoAReclass"), nullptr);
  ASSERT_NE(findProcedure("TellanoAReclass")->then, nullptr);
  EXPECT_EQ(findProcedure("TellanoAReclass")->then->name, "TellanoBReclass");
}

TEST(Schedule, EveryNameIsACatalogueSecurity) {
  for (const auto& a : history::schedule()) {
    if (!a.procedure) {
      EXPECT_GE(cataloguePosition(a.splitSecurity), 0) << a.splitSecurity;
      continue;
    }
    for (auto p = a.procedure; p; p = p->then)
      for (const auto& leg : p->legs) {
        EXPECT_GE(cataloguePosition(leg.source), 0) << p->name;
        for (const auto& row : leg.postings) EXPECT_GE(cataloguePosition(row.target), 0) << p->name;
      }
  }
}

TEST(Schedule, SpinOffFractionsAddUpToWhatTheSourceGivesAway) {
  for (const auto& a : history::schedule()) {
    if (!a.procedure) continue;
    for (const auto& leg : a.procedure->legs) {
      if (leg.postings.front().type != T::spin_off_old) continue;
      double given = -*leg.postings.front().allocationFactor;
      double received = 0;
      for (std::size_t i = 1; i < leg.postings.size(); ++i) received += *leg.postings[i].allocationFactor;
      EXPECT_NEAR(received, given, 1e-12) << a.procedure->name;
    }
  }
}

TEST(Schedule, MessagesAreProcessedAfterFiveDates) {
  std::vector<Date> dates;
  for (const auto& a : history::schedule())
    if (a.processMessagesAfter) dates.push_back(a.date);
  EXPECT_EQ(dates, (std::vector<Date>{ymd(1986, 5, 1), ymd(1996, 9, 30), ymd(1998, 12, 24), ymd(2000, 6, 30),
                                      ymd(2001, 7, 9)}));
}

TEST_F(Postings, ADayWithoutActionsPostsNothing) {
  hold("Quorvex", "100", "6000");
  hold("Ravensby Comm", "100", "6000");
  EXPECT_FALSE(history::runScheduledActions(ymd(2017, 5, 11), *securities, eLumora::standard));
  EXPECT_FALSE(history::runScheduledActions(ymd(1983, 12, 30), *securities, eLumora::standard));
  EXPECT_EQ(totalTransactions(), 2);
  EXPECT_TRUE(history::runScheduledActions(ymd(2000, 6, 30), *securities, eLumora::standard));
}

// ---- guard and snapshot ---------------------------------------------------------------

TEST_F(Postings, ASourceWithoutTransactionsPostsNothingAnywhere) {
  for (const auto& a : history::schedule()) {
    if (a.procedure) history::runEvent(*a.procedure, *securities, a.date, investor->Lumora2QVX());
  }
  EXPECT_EQ(totalTransactions(), 0);
}

TEST_F(Postings, TheDivestitureGivesSevenCompaniesATenthOfTheShares) {
  hold("Quorvex", "100", "6000");
  EXPECT_FALSE(history::runScheduledActions(ymd(1983, 12, 31), *securities, eLumora::standard));

  ASSERT_EQ(count("Quorvex"), 2);
  auto old = last("Quorvex");
  EXPECT_EQ(old->XactionType(), T::spin_off_old);
  EXPECT_EQ(old->NewShrs(), "100.00000");
  EXPECT_EQ(old->NewCost(), "1,710.00");  // 0.285 of 6,000.00
  EXPECT_EQ(old->XActionDate(), "12/31/1983");

  const char* receivers[] = {"Orvanta", "Tessaline", "Dunmarrow", "Halvern", "Corvallan", "KSN Communications",
                             "Altamor"};
  Currency received;
  for (const char* name : receivers) {
    ASSERT_EQ(count(name), 1) << name;
    auto x = last(name);
    EXPECT_EQ(x->XactionType(), T::spin_off_new) << name;
    EXPECT_EQ(x->ChgShrs(), "10.00000") << name;
    // Every receiver reads the snapshot from before the old side was posted.
    EXPECT_EQ(x->SourceCost(), 6000_usd) << name;
    EXPECT_EQ(x->SourceShrs(), 100) << name;
    received += Currency::fromText(x->NewCost());
  }
  EXPECT_EQ(received, 4290_usd);
  EXPECT_EQ(last("Dunmarrow")->NewCost(), "811.80");
  EXPECT_EQ(totalTransactions(), 9);
}

TEST_F(Postings, ASplitUpEmptiesTheSourceAndDividesItsPreEventHolding) {
  hold("Altamor", "40", "536.40");
  run("AltSpinsLum1", ymd(1995, 11, 1));
  EXPECT_EQ(last("Altamor")->NewShrs(), "0.00000");
  EXPECT_EQ(last("Altamor")->NewCost(), "0.00");
  // 0.4018 x 536.40 = 215.52552 and 0.5982 x 536.40 = 320.87448, each on 40 shares.
  EXPECT_EQ(last("Lumora")->NewShrs(), "40.00000");
  EXPECT_EQ(last("Lumora")->NewCost(), "215.53");
  EXPECT_EQ(last("Altamor Communications")->NewShrs(), "40.00000");
  EXPECT_EQ(last("Altamor Communications")->NewCost(), "320.87");
}

TEST_F(Postings, AnAcquisitionMovesTheWholeHoldingAtItsRatio) {
  hold("Corvallan", "40", "320.59");
  hold("KSN Communications", "60", "569.40");
  run("KsnAcqCv", ymd(1997, 4, 1));
  EXPECT_EQ(last("Corvallan")->XactionType(), T::acq_old);
  EXPECT_EQ(last("Corvallan")->NewShrs(), "0.00000");
  EXPECT_EQ(last("Corvallan")->NewCost(), "0.00");
  auto ksn = last("KSN Communications");
  EXPECT_EQ(ksn->XactionType(), T::acq_new);
  EXPECT_EQ(ksn->ChgShrs(), "29.25800");  // 0.73145 x 40
  EXPECT_EQ(ksn->NewShrs(), "89.25800");
  EXPECT_EQ(ksn->NewCost(), "889.99");
}

TEST_F(Postings, ACloseOutLeavesNothingAndDirvanaIsMarkedWorthless) {
  hold("Dirvana", "5", "77.70");
  run("DirvanaZero", ymd(2010, 1, 1));
  ASSERT_EQ(count("Dirvana"), 2);
  EXPECT_EQ(last("Dirvana")->XactionType(), T::acq_old);
  EXPECT_EQ(last("Dirvana")->Description(), "Worthless");
  EXPECT_EQ(last("Dirvana")->NewShrs(), "0.00000");
  EXPECT_EQ(last("Dirvana")->NewCost(), "0.00");
  EXPECT_EQ(totalTransactions(), 2);
}

TEST_F(Postings, AReclassificationPostsAcqNewOnBothSides) {
  hold("Dunmarrow", "180", "811.80");
  run("Dunmarrow2QVX", ymd(2006, 12, 29));
  auto from = last("Dunmarrow");
  auto to = last("Quorvex");
  EXPECT_EQ(from->XactionType(), T::acq_new);
  EXPECT_EQ(to->XactionType(), T::acq_new);
  EXPECT_EQ(from->Description(), "Reclass");
  EXPECT_EQ(to->Description(), "Reclass");
  EXPECT_EQ(from->NewShrs(), "0.00000");
  EXPECT_EQ(from->NewCost(), "0.00");
  EXPECT_EQ(to->NewShrs(), "238.50000");  // 1.325 x 180
  EXPECT_EQ(to->NewCost(), "811.80");
}

// ---- the events with two sources or special properties ----------------------------------

TEST_F(Postings, KsnAcqQvxWithOnlyQuorvexHeldConvertsInPlace) {
  hold("Quorvex", "100", "400.85");
  run("KSNAcqQVX", ymd(2005, 11, 18));
  ASSERT_EQ(count("Quorvex"), 2);
  auto x = last("Quorvex");
  EXPECT_EQ(x->XactionType(), T::acq_new);
  EXPECT_EQ(x->NewShrs(), "77.94200");
  EXPECT_EQ(x->NewCost(), "400.85");
  EXPECT_EQ(count("KSN Communications"), 0);
}

TEST_F(Postings, KsnAcqQvxWithOnlyKsnHeldPostsTheAcquisitionLegs) {
  hold("KSN Communications", "336.436", "1509.79");
  run("KSNAcqQVX", ymd(2005, 11, 18));
  ASSERT_EQ(count("Quorvex"), 1);
  EXPECT_EQ(last("KSN Communications")->XactionType(), T::acq_old);
  EXPECT_EQ(last("KSN Communications")->NewShrs(), "0.00000");
  EXPECT_EQ(last("Quorvex")->NewShrs(), "336.43600");
  EXPECT_EQ(last("Quorvex")->NewCost(), "1,509.79");
}

TEST_F(Postings, KsnAcqQvxWithBothHeldConvertsThenAddsKsnOneForOne) {
  hold("Quorvex", "37.6", "400.85");
  hold("KSN Communications", "336.436", "1509.79");
  run("KSNAcqQVX", ymd(2005, 11, 18));
  ASSERT_EQ(count("Quorvex"), 3);
  auto conversion = xs("Quorvex")->Item(2);
  auto acquisition = xs("Quorvex")->Item(3);
  // 37.6 x 0.77942 = 29.306192; then 336.436 more shares and 1,509.79 more basis.
  EXPECT_EQ(conversion->NewShrs(), "29.30619");
  EXPECT_EQ(conversion->SourceShrs(), 37.6);
  EXPECT_EQ(acquisition->SourceShrs(), 336.436);
  EXPECT_EQ(acquisition->SourceCost(), 1509.79_usd);
  EXPECT_EQ(acquisition->NewShrs(), "365.74219");
  EXPECT_EQ(acquisition->NewCost(), "1,910.64");
}

TEST_F(Postings, TellanoBIsReclassifiedEvenWithoutClassA) {
  hold("Tellano Class B", "34.29618", "79.36");
  EXPECT_FALSE(history::runScheduledActions(ymd(2005, 5, 27), *securities, eLumora::standard));
  EXPECT_EQ(count("Tellano Class A"), 0);
  ASSERT_EQ(count("Tellano after 5-27-05"), 1);
  EXPECT_EQ(last("Tellano after 5-27-05")->NewShrs(), "34.29618");
  EXPECT_EQ(last("Tellano after 5-27-05")->NewCost(), "79.36");
  EXPECT_EQ(last("Tellano Class B")->NewShrs(), "0.00000");
}

TEST_F(Postings, TellanoBothClassesArriveInTheirOrder) {
  hold("Tellano Class A", "1.39732", "3.23");
  hold("Tellano Class B", "34.29618", "79.36");
  run("TellanoAReclass", ymd(2005, 5, 27));
  ASSERT_EQ(count("Tellano after 5-27-05"), 2);
  EXPECT_EQ(xs("Tellano after 5-27-05")->Item(1)->NewCost(), "3.23");
  EXPECT_EQ(xs("Tellano after 5-27-05")->Item(2)->NewShrs(), "35.69350");
  EXPECT_EQ(xs("Tellano after 5-27-05")->Item(2)->NewCost(), "82.59");
}

TEST_F(Postings, VantrelDistributesMeridaneAtAFixedPricePerShare) {
  hold("Vantrel", "1000", "5000");
  hold("Meridane", "10", "100");
  EXPECT_FALSE(history::runScheduledActions(ymd(2014, 2, 24), *securities, eLumora::standard));

  ASSERT_EQ(count("Meridane"), 2);
  auto d = last("Meridane");
  EXPECT_EQ(d->XactionType(), T::acq_new);
  EXPECT_EQ(d->Description(), "Distribution");
  EXPECT_EQ(d->SourceShrs(), 1000);
  EXPECT_EQ(d->DistributionFactor(), 0.263001);
  EXPECT_EQ(d->ChgShrs(), "263.00100");
  // 48.115 x 263.001 = 12,654.293115: held as 12,654.2931, read to the cent.
  EXPECT_EQ(d->SourceCost(), 12654.29_usd);
  EXPECT_EQ(d->ChgCost(), "12,654.29");
  EXPECT_EQ(d->NewShrs(), "273.00100");
  EXPECT_EQ(d->NewCost(), "12,754.29");

  // Vantrel receives nothing from the distribution, only the consolidation after it.
  ASSERT_EQ(count("Vantrel"), 2);
  EXPECT_EQ(last("Vantrel")->XactionType(), T::Split);
  EXPECT_EQ(last("Vantrel")->NewShrs(), "545.45455");
  EXPECT_EQ(last("Vantrel")->NewCost(), "5,000.00");
}

TEST_F(Postings, RavensbyConsolidationUsesTheTwelveDecimalFactor) {
  // 1 - 0.933333333333 = 0.066666666667, not 1/15: on 150,000,000 shares the
  // difference reaches the fifth decimal.
  hold("Ravensby Comm", "150000000", "1500");
  history::runScheduledActions(ymd(2017, 5, 10), *securities, eLumora::standard);
  EXPECT_EQ(last("Ravensby Comm")->NewShrs(), "10,000,000.00005");
}

TEST_F(Postings, BrantelDayUsesQuorvexSharesFromBeforeTheReverseSplit) {
  hold("Quorvex", "100", "1000");
  history::runScheduledActions(ymd(2002, 11, 18), *securities, eLumora::standard);
  ASSERT_EQ(count("Quorvex"), 3);
  EXPECT_EQ(xs("Quorvex")->Item(2)->XactionType(), T::spin_off_old);
  EXPECT_EQ(xs("Quorvex")->Item(2)->NewCost(), "374.00");
  auto split = last("Quorvex");
  EXPECT_EQ(split->XactionType(), T::Split);
  EXPECT_EQ(split->ChgShrs(), "-80.00000");
  EXPECT_EQ(split->NewShrs(), "20.00000");
  EXPECT_EQ(split->NewCost(), "374.00");
  EXPECT_EQ(last("Brantel")->NewShrs(), "32.35000");  // 0.3235 x 100, not x 20
  EXPECT_EQ(last("Brantel")->NewCost(), "626.00");
}

TEST_F(Postings, LumoraMergerByElection) {
  struct Case {
    int election;
    const char* df;
    const char* price;
    const char* shares;
    const char* cost;
  };
  // Lumora: 40 shares with a basis of 207.47. Fair value 33.8125 a Quorvex share.
  //  standard: 38 shares, cash 1,450.80, stock 1,284.88, gain 2,528.21, all cash recognized
  //  shares:   59.648 shares, cash 340.00, stock 2,016.85, gain 2,149.38, cash recognized
  //  cash:     35.82 shares, cash 1,562.40, stock 1,211.16, gain 2,566.09, cash recognized
  //  0 and 4:  no shares, no cash; basis carried over
  const Case cases[] = {
      {1, "0.95", "36.27", "38.00000", "207.47"},   {2, "1.4912", "8.5", "59.64800", "207.47"},
      {3, "0.8955", "39.06", "35.82000", "207.47"}, {0, "0", "0", "0.00000", "207.47"},
      {4, "0", "0", "0.00000", "207.47"},
  };
  for (const Case& c : cases) {
    auto fresh = Investor::create(kHistoryStart);
    securities = fresh->colSecurities();
    hold("Lumora", "40", "207.47");
    run("QvxAcqLum1", ymd(2000, 6, 15), static_cast<eLumora>(c.election));
    ASSERT_EQ(count("Lumora"), 2);
    EXPECT_EQ(last("Lumora")->XactionType(), T::acq_old);
    EXPECT_EQ(last("Lumora")->NewShrs(), "0.00000");
    ASSERT_EQ(count("Quorvex"), 1);
    auto q = last("Quorvex");
    EXPECT_EQ(q->XactionType(), T::cash_or_stk);
    EXPECT_EQ(q->DistributionFactor(), std::stod(c.df)) << c.election;
    EXPECT_EQ(q->SourcePricePerShr(), std::stod(c.price)) << c.election;
    EXPECT_EQ(q->CashOrStk_FMVperShare(), 33.8125);
    EXPECT_EQ(q->SourceCost(), 207.47_usd);
    EXPECT_EQ(q->SourceShrs(), 40);
    EXPECT_THROW(q->AllocationFactor(), Error);  // not set by this shape
    EXPECT_EQ(q->NewShrs(), c.shares) << c.election;
    EXPECT_EQ(q->NewCost(), c.cost) << c.election;
    if (c.election == 0 || c.election == 4) {
      EXPECT_EQ(q->SourceCashRecd(), Currency());
      EXPECT_EQ(q->SourceGainRealized(), -(207.47_usd));
      EXPECT_EQ(q->SourceGainRecog(), Currency());
    }
  }
}

TEST_F(Postings, LumoraSharesElectionFigures) {
  hold("Lumora", "40", "207.47");
  run("QvxAcqLum1", ymd(2000, 6, 15), eLumora::shares);
  auto q = last("Quorvex");
  EXPECT_EQ(q->SourceCashRecd(), 340_usd);
  EXPECT_EQ(q->CashOrStk_FMVofStkRecd(), 2016.85_usd);
  EXPECT_EQ(q->SourceGainRealized(), 2149.38_usd);
  EXPECT_EQ(q->SourceGainRecog(), 340_usd);
}

TEST_F(Postings, ASplitIsPostedEvenWithoutTransactions) {
  history::runScheduledActions(ymd(1984, 5, 22), *securities, eLumora::standard);
  ASSERT_EQ(count("Dunmarrow"), 1);
  auto x = last("Dunmarrow");
  EXPECT_EQ(x->XactionType(), T::Split);
  EXPECT_EQ(x->DistributionFactor(), 2.0);
  EXPECT_EQ(x->AllocationFactor(), 0.0);
  EXPECT_EQ(x->XActionDate(), "05/22/1984");
  EXPECT_EQ(x->NewShrs(), "0.00000");
  EXPECT_EQ(x->NewCost(), "0.00");
  EXPECT_EQ(x->NewCostPerShr(), "0.00000");
  EXPECT_EQ(totalTransactions(), 1);
}

// ---- failures ------------------------------------------------------------------------

TEST_F(Postings, AFailedLookupStopsTheEventAndKeepsWhatItPosted) {
  hold("Quorvex", "100", "6000");
  securities->Remove("Tessaline");
  try {
    run("QvxDivestiture", ymd(1983, 12, 31));
    FAIL() << "expected a failed lookup";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errnum::InvalidArgument);
    EXPECT_EQ(e.source(), "CapitalXactions.QvxDivestiture\rOrlendo");
    EXPECT_EQ(e.description(), "Tallyvex");
  }
  EXPECT_EQ(count("Quorvex"), 2);
  EXPECT_EQ(count("Orvanta"), 1);
  EXPECT_EQ(count("Dunmarrow"), 0);
}

TEST_F(Postings, TellanoBFailureCarriesBothProcedureNames) {
  hold("Tellano Class B", "10", "10");
  securities->Remove("Tellano after 5-27-05");
  try {
    run("TellanoAReclass", ymd(2005, 5, 27));
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.source(), "CapitalXactions.TellanoAReclass\rCapitalXactions.TellanoBReclass\rOrlendo");
  }
}

TEST_F(Postings, AFailedSplitCarriesTheSplitTrail) {
  hold("Dunmarrow", "50000000000000", "1");  // tripled, the share count no longer fits
  try {
    history::runScheduledActions(ymd(1984, 5, 22), *securities, eLumora::standard);
    FAIL() << "expected an overflow";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errnum::Overflow);
    EXPECT_EQ(e.source(), "Investor.MakeStkSplitXaction\rXActions.CalcNewXAction\rOrlendo");
  }
  EXPECT_EQ(count("Dunmarrow"), 2);
}

}  // namespace
