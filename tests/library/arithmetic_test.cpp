// Transaction arithmetic: what Xactions.Add computes for each kind of
// transaction, the points where amounts are rounded, and the descriptions.
#include "model/arithmetic.h"

#include "library/test_support.h"

namespace {

using namespace orlendo;
using namespace orlendo::literals;
using T = XTransType;

// A buy of `shares` for `cost`, or with no cost a sell.
XactionPtr trade(const XactionsPtr& xs, const char* shares, const char* cost = nullptr) {
  auto x = Xaction::create();
  cost ? x->ChgCost(cost) : x->XactionType(T::sell);
  x->ChgShrs(shares);
  return xs->Add(x);
}

// A corporate-action transaction as the posting shapes build it.
XactionPtr action(const XactionsPtr& xs, T type, double af, double df, Currency sourceCost = {},
                  double sourceShares = 0) {
  auto x = Xaction::create();
  x->XactionType(type);
  x->AllocationFactor(af);
  x->DistributionFactor(df);
  x->SourceCost(sourceCost);
  x->SourceShrs(sourceShares);
  return xs->Add(x);
}

// The change a transaction made and the holding after it:
// "change of shares, change of basis -> shares / basis / basis per share".
std::string row(const XactionPtr& x) {
  return x->ChgShrs() + ", " + x->ChgCost() + " -> " + x->NewShrs() + " / " + x->NewCost() + " / " +
         x->NewCostPerShr();
}

// ---- the cash-or-stock merger -----------------------------------------------------

TEST(CashOrStock, GainRecognizedUpToTheCashReceivedAndOnlyAboveOneCent) {
  struct Case {
    Currency sourceCost;
    double sourceShares, df, price, fmv;
    Currency cash, stock, realized, recognized;
    const char* row;
  };
  const Case cases[] = {
      // The worked example: the cash is smaller than the gain; 3000 + 3628 - 3628.
      {3000_usd, 100, 0.95, 36.28, 40, 3628_usd, 3800_usd, 4428_usd, 3628_usd,
       "95.00000, 3,000.00 -> 95.00000 / 3,000.00 / 31.57900"},  // 31.57895 read as currency
      // A loss recognizes nothing, and the cash reduces the basis: 9000 - 3628.
      {9000_usd, 100, 0.95, 36.28, 40, 3628_usd, 3800_usd, -(1572_usd), {},
       "95.00000, 5,372.00 -> 95.00000 / 5,372.00 / 56.54740"},
      // One new share per two old (fair value 5.00) and 3.00 cash per old share:
      // 6.00 cash + 5.00 stock against 10.99 (a gain of one cent, not
      // recognized) or 10.98 (two cents, recognized: 10.98 + 0.02 - 6.00).
      {10.99_usd, 2, 0.5, 3, 5, 6_usd, 5_usd, 0.01_usd, {}, "1.00000, 4.99 -> 1.00000 / 4.99 / 4.99000"},
      {10.98_usd, 2, 0.5, 3, 5, 6_usd, 5_usd, 0.02_usd, 0.02_usd, "1.00000, 5.00 -> 1.00000 / 5.00 / 5.00000"},
      // The stock received is worth 38 x 33.8125 = 1,284.875, rounded to cents (ties to even) before the gain.
      {1000.01_usd, 40, 0.95, 36.27, 33.8125, 1450.80_usd, 1284.88_usd, 1735.67_usd, 1450.80_usd,
       "38.00000, 1,000.01 -> 38.00000 / 1,000.01 / 26.31600"},  // 26.31605 read as currency
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    auto x = Xaction::create();
    x->XactionType(T::cash_or_stk);
    x->DistributionFactor(c.df);
    x->SourceCost(c.sourceCost);
    x->SourceShrs(c.sourceShares);
    x->SourcePricePerShr(c.price);
    x->CashOrStk_FMVperShare(c.fmv);
    Xactions::create()->Add(x);
    EXPECT_EQ(x->SourceCashRecd(), c.cash);
    EXPECT_EQ(x->CashOrStk_FMVofStkRecd(), c.stock);
    EXPECT_EQ(x->SourceGainRealized(), c.realized);
    EXPECT_EQ(x->SourceGainRecog(), c.recognized);
    EXPECT_EQ(row(x), c.row);
  }
}

// ---- buys and sells ----------------------------------------------------------------

TEST(Sells, BasisLeavesAtThePreviousPerShareFigureInCurrency) {
  struct Case {
    const char* buyShares;  // nullptr: the sell is the first transaction
    const char* buyCost;
    const char* sellShares;
    const char* row;
  };
  const Case cases[] = {
      {nullptr, nullptr, "-25", "0.00000, 0.00 -> 0.00000 / 0.00 / 0.00000"},  // changes nothing
      {"100", "1000", "-100", "-100.00000, -1,000.00 -> 0.00000 / 0.00 / 0.00000"},
      // 3 shares for 10.00: 3.3333 a share in currency; selling all three
      // removes 9.9999, which shows as -10.00, and the 0.0001 left rounds away.
      {"3", "10", "-3", "-3.00000, -10.00 -> 0.00000 / 0.00 / 0.00000"},
      // 3 for 20.00: 6.6667 a share removes 20.0001; the -0.0001 left prints as 0.00, never -0.00.
      {"3", "20", "-3", "-3.00000, -20.00 -> 0.00000 / 0.00 / 0.00000"},
      {"7", "100", "-2", "-2.00000, -28.57 -> 5.00000 / 71.43 / 14.28600"},  // 14.2857 a share
      // 10,000 a share times 0.33337 shares, not times the 0.3334 they read as currency.
      {"1", "10000", "-0.33337", "-0.33337, -3,333.70 -> 0.66663 / 6,666.30 / 10000.00000"},
      {"10", "55.55", "0", "0.00000, 0.00 -> 10.00000 / 55.55 / 5.55500"},  // a sell that changes nothing
  };
  for (const Case& c : cases) {
    auto xs = Xactions::create();
    if (c.buyShares) trade(xs, c.buyShares, c.buyCost);
    EXPECT_EQ(row(trade(xs, c.sellShares)), c.row);
  }
}

// The basis per share as the five decimals of its text read back as
// currency: ties of the ten-thousandth to even, for either sign; none for
// half a share or less.
TEST(CostPerShare, TiesGoToEvenForEitherSignAndHalfAShareHasNone) {
  const struct {
    const char *shares, *cost, *perShare;
  } cases[] = {
      {"8", "0.01", "0.00120"},    // 0.00125: down to the even 2
      {"8", "0.03", "0.00380"},    // 0.00375: up to the even 8
      {"8", "-0.01", "-0.00120"},  // and the same away from zero for a negative basis
      {"8", "-0.03", "-0.00380"},
      {"0.5", "1", "0.00000"},
      {"0.50001", "1", "2.00000"},  // 1.99996, read back through currency as 2.0000
  };
  for (const auto& c : cases) EXPECT_EQ(trade(Xactions::create(), c.shares, c.cost)->NewCostPerShr(), c.perShare) << c.cost;
}

// ---- rounding points of the corporate actions ----------------------------------------

TEST(RoundingPoints, AcquisitionFactorsPassThroughCurrencySpinOffFactorsDoNot) {
  EXPECT_EQ(action(Xactions::create(), T::acq_new, 0.33333, 1, 10000_usd, 100)->ChgCost(), "3,333.00");
  EXPECT_EQ(action(Xactions::create(), T::spin_off_new, 0.33333, 1, 10000_usd, 100)->ChgCost(), "3,333.30");
  // acq_old works on the holding's own basis, also in currency.
  auto old = Xactions::create();
  trade(old, "100", "10000");
  EXPECT_EQ(row(action(old, T::acq_old, -0.33333, -0.5)), "-50.00000, -3,333.00 -> 50.00000 / 6,667.00 / 133.34000");
  // -1 on both factors empties the holding.
  auto all = Xactions::create();
  trade(all, "12.34567", "987.65");
  EXPECT_EQ(row(action(all, T::acq_old, -1, -1)), "-12.34567, -987.65 -> 0.00000 / 0.00 / 0.00000");
}

TEST(RoundingPoints, SpinOffOldRoundsItsChangeToCentsBeforeAddingIt) {
  // 100.01 x -0.5 = -50.005. The source rounds the change first (-50.00, ties
  // to even) and keeps 50.01; rounding only the sum would have given 50.00.
  auto source = Xactions::create();
  trade(source, "10", "100.01");
  EXPECT_EQ(row(action(source, T::spin_off_old, -0.5, 0, 100.01_usd, 10)),
            "0.00000, -50.00 -> 10.00000 / 50.01 / 5.00100");
  // The receiving side adds the four-decimal change and rounds the sum:
  // 0.01 + 50.005 = 50.015 gives 50.02, though its change reads 50.00.
  auto receiver = Xactions::create();
  trade(receiver, "1", "0.01");
  EXPECT_EQ(row(action(receiver, T::spin_off_new, 0.5, 1, 100.01_usd, 10)),
            "10.00000, 50.00 -> 11.00000 / 50.02 / 4.54730");
}

}  // namespace
