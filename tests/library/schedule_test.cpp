// The posting shapes: what the postings of a corporate action compute from
// the source's snapshot, the guard on the source, and failures.
#include "history/schedule.h"

#include <gtest/gtest.h>

#include <array>
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
using tvxtest::caught;
using tvxtest::ymd;

const history::EventProcedure* findProcedure(std::string_view name) {
  for (const auto& a : history::schedule())
    for (auto p = &a.event; p; p = p->then)
      if (p->name == name) return p;
  return nullptr;
}

class Postings : public ::testing::Test {
 protected:
  XactionsPtr xs(std::string_view name) const { return securities->Item(name)->colXActions(); }
  long count(std::string_view name) const { return xs(name)->Count(); }
  XactionPtr last(std::string_view name) const { return xs(name)->Item(count(name)); }
  // The holding after the security's last transaction: "shares / basis".
  std::string holding(std::string_view name) const { return last(name)->NewShrs() + " / " + last(name)->NewCost(); }

  void hold(std::string_view name, const char* shares, const char* cost) {
    auto x = Xaction::create();
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
  bool runDay(Date day) { return history::runScheduledActions(day, *securities, eLumora::standard); }
  long totalTransactions() const {
    long n = 0;
    for (const auto& s : *securities) n += s->colXActions()->Count();
    return n;
  }

  InvestorPtr investor = Investor::create(kHistoryStart);
  SecuritiesPtr securities = investor->colSecurities();
};

// ---- guard, snapshot and the posting shapes -----------------------------------------------

TEST_F(Postings, NothingIsPostedFromASourceWithoutTransactions) {
  for (const auto& a : history::schedule())
    if (!a.isSplit()) history::runEvent(a.event, *securities, a.date, investor->Lumora2QVX());
  EXPECT_EQ(totalTransactions(), 0);
}

TEST_F(Postings, TheDivestitureReceiversShareTheBasisFromBeforeTheOldSide) {
  hold("Quorvex", "100", "6000");
  EXPECT_FALSE(runDay(ymd(1983, 12, 31)));
  EXPECT_EQ(last("Quorvex")->XActionDate(), "12/31/1983");
  EXPECT_EQ(holding("Quorvex"), "100.00000 / 1,710.00");  // 0.285 of 6,000.00
  Currency received;
  for (const char* name :
       {"Orvanta", "Tessaline", "Dunmarrow", "Halvern", "Corvallan", "KSN Communications", "Altamor"}) {
    ASSERT_EQ(count(name), 1) << name;
    auto x = last(name);
    // Every receiver reads the snapshot from before the old side was posted.
    EXPECT_EQ(x->SourceCost(), 6000_usd) << name;
    EXPECT_EQ(x->SourceShrs(), 100) << name;
    received += Currency::fromText(x->NewCost());
  }
  EXPECT_EQ(received, 4290_usd);
  EXPECT_EQ(last("Dunmarrow")->NewCost(), "811.80");
}

TEST_F(Postings, SplitUpAcquisitionCloseOutAndReclassification) {
  struct After {
    const char* security;
    const char* holding;
  };
  struct Case {
    const char* procedure;
    Date day;
    std::vector<std::array<const char*, 3>> held;  // security, shares, basis
    long posted;                                   // transactions the event adds
    std::vector<After> after;                      // every security the event posts on
  };
  const Case cases[] = {
      // A split-up empties the source and divides its pre-event holding:
      // 0.4018 x 536.40 = 215.52552 and 0.5982 x 536.40 = 320.87448, each on 40 shares.
      {"AltSpinsLum1", ymd(1995, 11, 1), {{"Altamor", "40", "536.40"}}, 3,
       {{"Altamor", "0.00000 / 0.00"}, {"Lumora", "40.00000 / 215.53"},
        {"Altamor Communications", "40.00000 / 320.87"}}},
      // An acquisition moves the whole holding at its ratio: 0.73145 x 40 = 29.258 shares.
      {"KsnAcqCv", ymd(1997, 4, 1), {{"Corvallan", "40", "320.59"}, {"KSN Communications", "60", "569.40"}}, 2,
       {{"Corvallan", "0.00000 / 0.00"}, {"KSN Communications", "89.25800 / 889.99"}}},
      // A close-out leaves nothing.
      {"DirvanaZero", ymd(2010, 1, 1), {{"Dirvana", "5", "77.70"}}, 1, {{"Dirvana", "0.00000 / 0.00"}}},
      // A reclassification moves the holding like an acquisition: 1.325 x 180 shares.
      {"Dunmarrow2QVX", ymd(2006, 12, 29), {{"Dunmarrow", "180", "811.80"}}, 2,
       {{"Dunmarrow", "0.00000 / 0.00"}, {"Quorvex", "238.50000 / 811.80"}}},
      // KSN and Quorvex: with only Quorvex held it converts in place (0.77942 of its shares); with only
      // KSN the acquisition legs move it into Quorvex; with both, Quorvex converts (37.6 x 0.77942 =
      // 29.306192) and then takes in KSN one for one.
      {"KSNAcqQVX", ymd(2005, 11, 18), {{"Quorvex", "100", "400.85"}}, 1, {{"Quorvex", "77.94200 / 400.85"}}},
      {"KSNAcqQVX", ymd(2005, 11, 18), {{"KSN Communications", "336.436", "1509.79"}}, 2,
       {{"KSN Communications", "0.00000 / 0.00"}, {"Quorvex", "336.43600 / 1,509.79"}}},
      {"KSNAcqQVX", ymd(2005, 11, 18), {{"Quorvex", "37.6", "400.85"}, {"KSN Communications", "336.436", "1509.79"}},
       3, {{"KSN Communications", "0.00000 / 0.00"}, {"Quorvex", "365.74219 / 1,910.64"}}},
      // Tellano class B is reclassified with or without class A.
      {"TellanoAReclass", ymd(2005, 5, 27), {{"Tellano Class B", "34.29618", "79.36"}}, 2,
       {{"Tellano Class B", "0.00000 / 0.00"}, {"Tellano after 5-27-05", "34.29618 / 79.36"}}},
      {"TellanoAReclass", ymd(2005, 5, 27),
       {{"Tellano Class A", "1.39732", "3.23"}, {"Tellano Class B", "34.29618", "79.36"}}, 4,
       {{"Tellano Class A", "0.00000 / 0.00"}, {"Tellano Class B", "0.00000 / 0.00"},
        {"Tellano after 5-27-05", "35.69350 / 82.59"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.procedure) + " holding " + c.held[0][0] + (c.held.size() > 1 ? " and more" : ""));
    securities = Investor::create(kHistoryStart)->colSecurities();
    for (const auto& [name, shares, cost] : c.held) hold(name, shares, cost);
    run(c.procedure, c.day);
    EXPECT_EQ(totalTransactions(), static_cast<long>(c.held.size()) + c.posted);
    for (const After& a : c.after) {
      SCOPED_TRACE(a.security);
      EXPECT_EQ(holding(a.security), a.holding);
    }
  }
}

TEST_F(Postings, ASplitIsPostedEvenWithoutTransactions) {
  EXPECT_FALSE(runDay(ymd(1984, 5, 22)));
  ASSERT_EQ(count("Dunmarrow"), 1);
  auto x = last("Dunmarrow");
  EXPECT_EQ(x->XactionType(), T::Split);
  EXPECT_EQ(x->AllocationFactor(), 0.0);
  EXPECT_EQ(x->XActionDate(), "05/22/1984");
  EXPECT_EQ(holding("Dunmarrow") + " / " + x->NewCostPerShr(), "0.00000 / 0.00 / 0.00000");
  EXPECT_EQ(totalTransactions(), 1);
}

// ---- the distribution at a fixed price --------------------------------------------------

TEST_F(Postings, VantrelDistributesMeridaneAtAFixedPricePerShare) {
  hold("Vantrel", "1000", "5000");
  hold("Meridane", "10", "100");
  EXPECT_FALSE(runDay(ymd(2014, 2, 24)));
  ASSERT_EQ(count("Meridane"), 2);
  auto d = last("Meridane");
  EXPECT_EQ(d->ChgShrs(), "263.00100");  // 0.263001 x 1000 Vantrel shares
  // 48.115 x 263.001 = 12,654.293115: held as 12,654.2931, read to the cent.
  EXPECT_EQ(d->SourceCost(), 12654.29_usd);
  EXPECT_EQ(d->ChgCost(), "12,654.29");
  EXPECT_EQ(holding("Meridane"), "273.00100 / 12,754.29");
  // Vantrel receives nothing from the distribution, only the consolidation after it.
  ASSERT_EQ(count("Vantrel"), 2);
  EXPECT_EQ(last("Vantrel")->XactionType(), T::Split);
  EXPECT_EQ(holding("Vantrel"), "545.45455 / 5,000.00");
}

// ---- failures ------------------------------------------------------------------------

TEST_F(Postings, FailuresStopTheEventKeepWhatItPostedAndCarryTheTrail) {
  hold("Quorvex", "100", "6000");
  securities->Remove("Tessaline");
  Error e = caught([&] { run("QvxDivestiture", ymd(1983, 12, 31)); });
  EXPECT_EQ(e.number(), errnum::InvalidArgument);
  EXPECT_EQ(e.source(), "CapitalXactions.QvxDivestiture\rOrlendo");
  EXPECT_EQ(e.description(), "Tallyvex");
  EXPECT_EQ(count("Quorvex"), 2);
  EXPECT_EQ(count("Orvanta"), 1);
  EXPECT_EQ(count("Dunmarrow"), 0);

  hold("Tellano Class B", "10", "10");
  securities->Remove("Tellano after 5-27-05");
  e = caught([&] { run("TellanoAReclass", ymd(2005, 5, 27)); });
  EXPECT_EQ(e.source(), "CapitalXactions.TellanoAReclass\rCapitalXactions.TellanoBReclass\rOrlendo");

  hold("Dunmarrow", "50000000000000", "1");  // tripled, the share count no longer fits
  e = caught([&] { runDay(ymd(1984, 5, 22)); });
  EXPECT_EQ(e.number(), errnum::Overflow);
  EXPECT_EQ(e.source(), "Investor.MakeStkSplitXaction\rXActions.CalcNewXAction\rOrlendo");
  EXPECT_EQ(count("Dunmarrow"), 2);
}

}  // namespace
