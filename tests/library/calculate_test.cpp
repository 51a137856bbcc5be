// The calculation driver: whole-history figures worked out by hand, the order
// of a day's postings and the range's edges, and failures.
#include "calc/calculate.h"

#include <optional>

#include "orlendo/entries.h"
#include "library/test_support.h"

namespace {

using namespace orlendo;
using namespace std::chrono;
using T = XTransType;
using tvxtest::ymd;
using tvxtest::addEntry;

InvestorPtr newInvestor(eLumora election = eLumora::standard) {
  auto investor = Investor::create(ymd(2017, 12, 31));
  investor->BeginEdit();
  investor->Lumora2QVX(election);
  return investor;
}

XactionsPtr xs(const InvestorPtr& investor, std::string_view security) {
  return investor->colSecurities()->Item(security)->colXActions();
}

// Shares, basis and basis per share after the security's last transaction.
std::string holding(const InvestorPtr& investor, std::string_view security) {
  auto x = xs(investor, security);
  if (x->Count() == 0) return "none";
  return x->Item(x->Count())->NewShrs() + " / " + x->Item(x->Count())->NewCost() + " / " +
         x->Item(x->Count())->NewCostPerShr();
}

// ---- figures worked out by hand ------------------------------------------------------------

// The whole history for 100 Quorvex shares bought 12/31/1983 for 6,000.00,
// calculated to 12/31/2017.
//
// Quorvex: 1,710.00 on 100 shares after the divestiture.
//   09/30/1996 Ferrant spin-off: 1,710.00 x 0.2799 = 478.629 -> 478.63 off: 1,231.37.
//   12/31/1996 TBN spin-off: 1,231.37 x 0.0477 = 58.736349 -> 58.74 off: 1,172.63.
//   04/15/1999 split 0.5: 150 shares.
//   06/15/2000 Lumora merger. Lumora came from Altamor (0.0894 x 6,000 = 536.40,
//     10 shares, split twice to 40): 0.4018 x 536.40 = 215.52552 -> 215.53; the
//     06/12/1998 spin-off took 215.53 x 0.0374 = 8.060822 -> 8.06, so Lumora
//     holds 207.47 on 40 shares. Whatever the election, the gain is larger than
//     the cash, so all the cash is recognized and the basis carried over is
//     207.47: Quorvex 1,380.10. Shares added: standard 0.95 x 40 = 38 (188),
//     shares 1.4912 x 40 = 59.648 (209.648), cash 0.8955 x 40 = 35.82 (185.82).
//   07/09/2001 wireless spin-off: 1,380.10 x 0.2234 = 308.31434 -> 308.31: 1,071.79.
//   11/18/2002 Brantel spin-off: 1,071.79 x 0.626 = 670.94054 -> 670.94: 400.85;
//     then the reverse split keeps a fifth: 37.6 / 41.9296 / 37.164 shares.
//   11/18/2005 KSN: Quorvex keeps 0.77942 of its shares (29.30619 / 32.68077 /
//     28.96636), then takes in KSN one for one. KSN: 10 shares, 569.40; splits
//     to 60; Corvallan's 40 shares after its spin-off (532.80 - 212.21 = 320.59)
//     bring 29.258 shares and 320.59; split to 178.516; Orvanta's 120 shares
//     bring 157.92 and 619.80: 336.436 shares, 1,509.79.
//     Quorvex 365.74219 / 369.11677 / 365.40236 shares, 1,910.64.
//   12/29/2006 Dunmarrow: 180 shares after its splits, x 1.325 = 238.5 shares,
//     811.80. Quorvex 604.24219 / 607.61677 / 603.90236 shares, 2,722.44.
//
// Brantel (standard): 0.3235 x 188 = 60.818 shares, 670.94; splits of 0.5
//   (02/21/2007) and 1.0 (02/17/2017): 182.454 shares.
// Meridane (any election): Tessaline 10 shares, 629.40, split to 40, takes
//   Halvern's 40 shares at 0.768 (30.72 shares, 590.40): 70.72, 1,219.80; split
//   to 141.44; becomes Meridane 06/30/2000. Spin-offs: Dirvana 44.717868 ->
//   44.72 (1,175.08), Hollin 5.4406204 -> 5.44 (1,169.64), Ravensby
//   72.5293764 -> 72.53 (1,097.11). Vantrel holds 87.5 shares on 02/24/2014
//   (Skyvell's 40 at 0.5, split by 4.0 and by -0.125): the distribution adds
//   0.263001 x 87.5 = 23.0125875 shares at 48.115 each, 1,107.2506475 ->
//   1,107.25: 164.45259 shares, 2,204.36.
// Ravensby: 0.24004 x 141.44 = 33.95126 shares, 72.53; the 2017 consolidation
//   takes 0.933333333333 x 33.95126 = 31.68784...: 2.26342 shares.
// Vantrel: 87.5 x 0.4545454545 = 39.77272726875 off: 47.72727 shares, 212.21.
// Vesterholm: Ferrant 32.4084 shares split twice to 129.6336, basis 478.63
//   less 26.21 (Solvane) and 82.59 (Tellano) = 369.83; Marquon 0.1952 x
//   129.6336 = 25.30448; Vesterholm 0.55 x that = 13.91746 shares, 369.83.
// Aldamark: Altamor Communications 320.87 + 8.0608 = 328.93 on 41.0924 shares;
//   Zephrin 1.72932 x 41.0924 = 71.06191; Aldamark 0.1664 x 71.06191 = 11.82470.
// Kaldera: TBN 6.25 shares split to 12.5; 58.74 x 0.5237 = 30.762138 -> 30.76.
struct ElectionFigures {
  eLumora election;
  const char* quorvex;
  const char* brantel;  // nullptr: not checked for this election
};

const ElectionFigures kElections[] = {
    {eLumora::standard, "604.24219 / 2,722.44 / 4.50550", "182.45400 / 670.94 / 3.67730"},
    {eLumora::shares, "607.61677 / 2,722.44 / 4.48050", nullptr},
    {eLumora::cash, "603.90236 / 2,722.44 / 4.50810", nullptr},
};

InvestorPtr fullHistory(eLumora election) {
  auto investor = newInvestor(election);
  addEntry(investor, "Quorvex", "12/31/1983", "100", "6000");
  investor->Calculate(kHistoryStart, ymd(2017, 12, 31));
  return investor;
}

TEST(HandFigures, FullHistoryForEachElection) {
  for (const auto& e : kElections) {
    SCOPED_TRACE(static_cast<int>(e.election));
    auto investor = fullHistory(e.election);
    EXPECT_EQ(holding(investor, "Quorvex"), e.quorvex);
    if (e.brantel) {
      EXPECT_EQ(holding(investor, "Brantel"), e.brantel);
    }
    EXPECT_EQ(holding(investor, "Meridane"), "164.45259 / 2,204.36 / 13.40420");
    EXPECT_EQ(holding(investor, "Ravensby Comm"), "2.26342 / 72.53 / 32.04440");
    EXPECT_EQ(holding(investor, "Vantrel"), "47.72727 / 212.21 / 4.44630");
    EXPECT_EQ(holding(investor, "Vesterholm Corporation"), "13.91746 / 369.83 / 26.57310");
    EXPECT_EQ(holding(investor, "Aldamark"), "11.82470 / 328.93 / 27.81720");
    EXPECT_EQ(holding(investor, "Kaldera Corp"), "12.50000 / 30.76 / 2.46080");
    EXPECT_EQ(holding(investor, "TBN"), "12.50000 / 27.98 / 2.23840");
    // Closed out, acquired or reclassified along the way.
    for (const char* gone : {"KSN Communications", "Lumora", "Dunmarrow", "Dirvana", "Hollin Comm", "CRN Logic",
                             "Quorvex Wireless", "Solvane", "Marquon-Ferrant", "Tellano after 5-27-05"})
      EXPECT_EQ(holding(investor, gone), "0.00000 / 0.00 / 0.00000") << gone;
    // Lumora's cash-or-stock side: one posting, whatever the election.
    std::string mergers;
    for (const auto& x : *xs(investor, "Quorvex"))
      if (x->XactionType() == T::cash_or_stk)
        mergers += x->XActionDate() + " " + x->ChgCost() + " " + format(x->SourceCost(), kAmountPattern) + ";";
    EXPECT_EQ(mergers, "06/15/2000 207.47 207.47;");
  }
}

// ---- a day's order and the range's edges ------------------------------------------------

// Entries on the start day, the stop day and the days just outside, and a
// day whose sell is listed before its buy: what each security holds after.
TEST(Walk, ADaysBuysComeBeforeItsSellsAndTheRangeIncludesBothEnds) {
  auto investor = newInvestor();
  addEntry(investor, "Solvane", "3/1/1990", "-4");  // listed first, posted after the day's buy
  addEntry(investor, "Solvane", "03/01/1990", "10", "100");
  addEntry(investor, "Zephrin", "2/28/1990", "7", "70");  // the day before the start
  addEntry(investor, "Zephrin", "3/1/1990", "5", "50");
  addEntry(investor, "Zephrin", "6/30/1990", "1", "20");
  addEntry(investor, "Zephrin", "7/1/1990", "9", "90");  // the day after the stop
  investor->Calculate(ymd(1990, 3, 1), ymd(1990, 6, 30));
  EXPECT_EQ(holding(investor, "Solvane"), "6.00000 / 60.00 / 10.00000");
  EXPECT_EQ(holding(investor, "Zephrin"), "6.00000 / 70.00 / 11.66670");
  EXPECT_EQ(holding(investor, "Quorvex"), "none");
}

// A corporate action on the start day runs; one on the day after the stop does not.
TEST(Walk, AnActionOnTheStartDayRunsOneAfterTheStopDoesNot) {
  auto investor = newInvestor();
  addEntry(investor, "Quorvex", "4/14/1999", "10", "100");
  investor->Calculate(ymd(1999, 4, 14), ymd(1999, 4, 14));
  EXPECT_EQ(holding(investor, "Quorvex"), "10.00000 / 100.00 / 10.00000");
  addEntry(investor, "Quorvex", "4/15/1999", "10", "100");  // the day of a split of 0.5
  investor->Calculate(ymd(1999, 4, 15), ymd(1999, 4, 15));
  EXPECT_EQ(holding(investor, "Quorvex"), "15.00000 / 100.00 / 6.66670");
}

// The distribution's basis is formed as currency: 48.115 x 0.263001 x 20 =
// 253.0855..., where 48.115 x 5.2600 (the shares in currency) would be 253.08.
TEST(Walk, TheDistributionsBasisIsPricedAsCurrency) {
  auto investor = newInvestor();
  addEntry(investor, "Vantrel", "2/23/2014", "20", "100");
  investor->Calculate(ymd(2014, 2, 23), ymd(2014, 2, 24));
  EXPECT_EQ(holding(investor, "Meridane"), "5.26002 / 253.09 / 48.11580");
}

// ---- bad input ------------------------------------------------------------------------

// The check made at open refuses exactly the entries every calculation fails
// on, naming them as the calculation does; a cost is read only when a buy in
// the range is posted. A failed calculation keeps what it posted before the
// entry (Quorvex comes before Zephrin in the catalogue: its start-day buy is
// posted before Zephrin's entries are read) and tells the observer it failed.
TEST(CalculateFailures, AnEntryThatDoesNotReadIsRefusedAtOpenOrFailsTheCalculation) {
  struct Case {
    const char *shares, *date, *cost;
    const char* refused;  // the field the check at open names; null: passes it
    long error;           // of the calculation; 0: it calculates
  };
  constexpr long kUnread = errnum::TypeMismatch;
  const Case cases[] = {
      {"abc", "06/01/1990", "1", "Shares", kUnread}, {"12a", "06/01/1990", "1", "Shares", kUnread},
      {"abc", "01/01/2050", "1", "Shares", kUnread}, {"1e999", "06/01/1990", "1", "Shares", errnum::Overflow},
      {"10", "13/45/2000", "1", "Date", kUnread},    {"10", "", "1", "Date", kUnread},
      {"10", "02/29/2001", "1", "Date", kUnread},    {"10", "6-1-1990", "1", "Date", kUnread},
      {"1,000.5", "6/1/1990", "50", nullptr, 0},  {" 10 ", " 06/01/1990 ", "50", nullptr, 0},
      {"", "06/01/1990", "50", nullptr, 0},       {"10", "1990-06-01", "50", nullptr, 0},
      {"-5", "06/01/1990", "abc", nullptr, 0},    {"10", "01/01/2050", "abc", nullptr, 0},
      {"10", "06/01/1990", "", nullptr, 0},       {"10", "06/01/1990", "12 dollars", nullptr, errnum::NotANumber},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shares) + " | " + c.date + " | " + c.cost);
    auto investor = newInvestor();
    addEntry(investor, "Quorvex", "1/1/1990", "10", "100");
    addEntry(investor, "Zephrin", "1/1/1990", "3", "30");
    addEntry(investor, "Zephrin", c.date, c.shares, c.cost);
    addEntry(investor, "Zephrin", "1/1/1990", "5", "50");
    const auto refused = findUnreadableEntry(*investor);
    tvxtest::RecordingObserver progress;
    std::optional<EntryFault> named;
    Error e(0, "", "");
    try {
      investor->Calculate(ymd(1990, 1, 1), ymd(1990, 12, 31), &progress);
    } catch (const EntryError& raised) {
      named = raised.fault(), e = raised;
    }
    EXPECT_EQ(e.number(), c.error);
    if (c.refused) {
      EXPECT_EQ(refused, (EntryFault{"Zephrin", 2, c.refused, c.refused[0] == 'S' ? c.shares : c.date}));
    } else {
      EXPECT_EQ(refused, std::nullopt);
    }
    if (c.error == 0) continue;
    EXPECT_EQ(named, c.refused ? refused : (EntryFault{"Zephrin", 2, "Cost", c.cost}));
    EXPECT_EQ(e.source(), c.refused ? "Investor.Calculate\rOrlendo"
                                    : "Investor.Calculate\rXAction\rThis item needs to be a number.");
    EXPECT_EQ(e.description(), "Tallyvex");
    EXPECT_EQ(holding(investor, "Quorvex"), "10.00000 / 100.00 / 10.00000");
    EXPECT_EQ(holding(investor, "Zephrin"), c.refused ? "3.00000 / 30.00 / 10.00000" : "8.00000 / 80.00 / 10.00000");
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"started 1990", "year 1990", "failed"}));
  }
}

}  // namespace
