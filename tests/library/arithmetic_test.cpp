// Transaction arithmetic: what Xactions.Add computes for each kind of
// transaction, the points where amounts are rounded, and the descriptions.
#include "calc/arithmetic.h"

#include <gtest/gtest.h>

#include <string>

#include "orlendo/error.h"
#include "orlendo/model.h"

namespace {

using namespace orlendo;
using namespace orlendo::literals;
using T = XTransType;

XactionPtr buy(const XactionsPtr& xs, const char* shares, const char* cost) {
  auto x = Xaction::create();
  x->XactionType(T::Buy);
  x->ChgShrs(shares);
  x->ChgCost(cost);
  return xs->Add(x);
}

XactionPtr sell(const XactionsPtr& xs, const char* shares) {
  auto x = Xaction::create();
  x->XactionType(T::sell);
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

XactionPtr cashOrStock(const XactionsPtr& xs, Currency sourceCost, double sourceShares, double df, double price,
                       double fmv) {
  auto x = Xaction::create();
  x->XactionType(T::cash_or_stk);
  x->DistributionFactor(df);
  x->SourceCost(sourceCost);
  x->SourceShrs(sourceShares);
  x->SourcePricePerShr(price);
  x->CashOrStk_FMVperShare(fmv);
  return xs->Add(x);
}

void expectHolding(const XactionPtr& x, const char* shares, const char* cost, const char* perShare) {
  EXPECT_EQ(x->NewShrs(), shares);
  EXPECT_EQ(x->NewCost(), cost);
  EXPECT_EQ(x->NewCostPerShr(), perShare);
}

// ---- the worked examples ---------------------------------------------------------

TEST(WorkedExample, BuySplitSellSpinOffAndTheReceivingSide) {
  auto xs = Xactions::create();
  auto b = buy(xs, "100", "6000");
  expectHolding(b, "100.00000", "6,000.00", "60.00000");
  EXPECT_EQ(b->ChgShrs(), "100.00000");
  EXPECT_EQ(b->ChgCost(), "6,000.00");

  auto s = action(xs, T::Split, 0, 1.0);
  expectHolding(s, "200.00000", "6,000.00", "30.00000");
  EXPECT_EQ(s->ChgShrs(), "100.00000");
  EXPECT_EQ(s->ChgCost(), "0.00");

  auto sale = sell(xs, "-50");
  expectHolding(sale, "150.00000", "4,500.00", "30.00000");
  EXPECT_EQ(sale->ChgShrs(), "-50.00000");
  EXPECT_EQ(sale->ChgCost(), "-1,500.00");

  auto old = action(xs, T::spin_off_old, -0.2, 0, 4500_usd, 150);
  expectHolding(old, "150.00000", "3,600.00", "24.00000");
  EXPECT_EQ(old->ChgShrs(), "0.00000");
  EXPECT_EQ(old->ChgCost(), "-900.00");

  auto receiver = Xactions::create();
  auto n = action(receiver, T::spin_off_new, 0.2, 0.5, 4500_usd, 150);
  expectHolding(n, "75.00000", "900.00", "12.00000");
  EXPECT_EQ(n->ChgShrs(), "75.00000");
  EXPECT_EQ(n->ChgCost(), "900.00");
}

TEST(CashOrStock, GainRecognizedUpToTheCashReceived) {
  auto xs = Xactions::create();
  auto x = cashOrStock(xs, 3000_usd, 100, 0.95, 36.28, 40);
  EXPECT_EQ(x->SourceCashRecd(), 3628_usd);
  EXPECT_EQ(x->CashOrStk_FMVofStkRecd(), 3800_usd);
  EXPECT_EQ(x->SourceGainRealized(), 4428_usd);
  EXPECT_EQ(x->SourceGainRecog(), 3628_usd);  // the cash is the smaller
  EXPECT_EQ(x->ChgShrs(), "95.00000");
  EXPECT_EQ(x->ChgCost(), "3,000.00");  // 3000 + 3628 - 3628
  expectHolding(x, "95.00000", "3,000.00", "31.57900");  // 31.57895 read as currency
}

TEST(CashOrStock, ALossRecognizesNothingAndTheCashReducesTheBasis) {
  auto xs = Xactions::create();
  auto x = cashOrStock(xs, 9000_usd, 100, 0.95, 36.28, 40);
  EXPECT_EQ(x->SourceGainRealized(), -(1572_usd));
  EXPECT_EQ(x->SourceGainRecog(), Currency());
  EXPECT_EQ(x->ChgCost(), "5,372.00");  // 9000 - 3628
  expectHolding(x, "95.00000", "5,372.00", "56.54740");
}

TEST(CashOrStock, GainOfOneCentIsNotRecognizedTwoCentsIs) {
  // One new share per two old (fair value 5.00) and 3.00 cash per old share:
  // 6.00 cash + 5.00 stock against a basis of 10.99 or 10.98.
  auto one = Xactions::create();
  auto x1 = cashOrStock(one, Currency::fromText("10.99"), 2, 0.5, 3, 5);
  EXPECT_EQ(x1->SourceGainRealized(), Currency::fromText("0.01"));
  EXPECT_EQ(x1->SourceGainRecog(), Currency());
  EXPECT_EQ(x1->ChgCost(), "4.99");  // 10.99 - 6.00

  auto two = Xactions::create();
  auto x2 = cashOrStock(two, Currency::fromText("10.98"), 2, 0.5, 3, 5);
  EXPECT_EQ(x2->SourceGainRealized(), Currency::fromText("0.02"));
  EXPECT_EQ(x2->SourceGainRecog(), Currency::fromText("0.02"));
  EXPECT_EQ(x2->ChgCost(), "5.00");  // 10.98 + 0.02 - 6.00
}

TEST(CashOrStock, FairValueOfTheStockIsRoundedToCentsBeforeTheGain) {
  // 33.8125 x 38 = 1284.875: the stock received counts as 1284.88 (ties to even).
  auto xs = Xactions::create();
  auto x = cashOrStock(xs, 207.47_usd, 40, 0.95, 36.27, 33.8125);
  EXPECT_EQ(x->CashOrStk_FMVofStkRecd(), 1284.88_usd);
  EXPECT_EQ(x->SourceCashRecd(), 1450.80_usd);
  EXPECT_EQ(x->SourceGainRealized(), 2528.21_usd);
  EXPECT_EQ(x->SourceGainRecog(), 1450.80_usd);
  expectHolding(x, "38.00000", "207.47", "5.45970");
}

// ---- buys and sells ----------------------------------------------------------------

TEST(Sells, ASellAsFirstTransactionChangesNothing) {
  auto xs = Xactions::create();
  auto x = sell(xs, "-25");
  EXPECT_EQ(x->ChgShrs(), "0.00000");
  EXPECT_EQ(x->ChgCost(), "0.00");
  expectHolding(x, "0.00000", "0.00", "0.00000");
}

TEST(Sells, SellingTheWholeHoldingLeavesNothing) {
  auto xs = Xactions::create();
  buy(xs, "100", "1000");
  expectHolding(sell(xs, "-100"), "0.00000", "0.00", "0.00000");
}

TEST(Sells, BasisLeavesAtThePreviousPerShareFigureInCurrency) {
  // 3 shares for 10.00: 3.33333 per share, held as 3.3333; selling all three
  // removes 9.9999, which shows as -10.00, and the remaining 0.0001 rounds away.
  auto a = Xactions::create();
  buy(a, "3", "10");
  auto x = sell(a, "-3");
  EXPECT_EQ(x->ChgCost(), "-10.00");
  expectHolding(x, "0.00000", "0.00", "0.00000");

  // 3 shares for 20.00: 6.6667 per share removes 20.0001; the -0.0001 left
  // over prints as 0.00, never -0.00.
  auto b = Xactions::create();
  buy(b, "3", "20");
  expectHolding(sell(b, "-3"), "0.00000", "0.00", "0.00000");

  // Part of a holding: 7 shares for 100.00 (14.2857 a share), sell 2.
  auto c = Xactions::create();
  buy(c, "7", "100");
  auto part = sell(c, "-2");
  EXPECT_EQ(part->ChgCost(), "-28.57");
  expectHolding(part, "5.00000", "71.43", "14.28600");
}

TEST(Sells, ZeroSharesIsASellThatChangesNothing) {
  auto xs = Xactions::create();
  buy(xs, "10", "55.55");
  auto x = sell(xs, "0");
  EXPECT_EQ(x->ChgCost(), "0.00");
  expectHolding(x, "10.00000", "55.55", "5.55500");
}

TEST(Buys, EmptyAmountsCountAsZero) {
  auto xs = Xactions::create();
  auto x = Xaction::create();
  x->XactionType(T::Buy);
  xs->Add(x);
  expectHolding(x, "0.00000", "0.00", "0.00000");
}

// ---- basis per share ---------------------------------------------------------------

TEST(CostPerShare, HalfAShareOrLessHasNoBasisPerShare) {
  auto half = Xactions::create();
  expectHolding(buy(half, "0.5", "1"), "0.50000", "1.00", "0.00000");
  auto more = Xactions::create();
  // 1 / 0.50001 = 1.99996, read back through currency as 2.0000.
  expectHolding(buy(more, "0.50001", "1"), "0.50001", "1.00", "2.00000");

  EXPECT_EQ(calcCostPerShr(1_usd, 0.5), "0.00000");
  EXPECT_EQ(calcCostPerShr(1_usd, 0.50001), "1.99996");
  EXPECT_EQ(calcCostPerShr(1_usd, 0), "0.00000");
  EXPECT_EQ(calcCostPerShr(1_usd, -3), "0.00000");
}

// ---- rounding points of the corporate actions ----------------------------------------

TEST(RoundingPoints, AcquisitionFactorsPassThroughCurrencySpinOffFactorsDoNot) {
  auto acquired = Xactions::create();
  auto a = action(acquired, T::acq_new, 0.33333, 1, 10000_usd, 100);
  EXPECT_EQ(a->ChgCost(), "3,333.00");  // 10000 x 0.3333

  auto spun = Xactions::create();
  auto s = action(spun, T::spin_off_new, 0.33333, 1, 10000_usd, 100);
  EXPECT_EQ(s->ChgCost(), "3,333.30");  // 10000 x 0.33333

  // acq_old works on the holding's own basis, also in currency.
  auto old = Xactions::create();
  buy(old, "100", "10000");
  auto o = action(old, T::acq_old, -0.33333, -0.5);
  EXPECT_EQ(o->ChgCost(), "-3,333.00");
  expectHolding(o, "50.00000", "6,667.00", "133.34000");
}

TEST(RoundingPoints, SpinOffOldRoundsItsChangeToCentsBeforeAddingIt) {
  // 100.01 x -0.5 = -50.005. The source rounds the change first (-50.00, ties
  // to even) and keeps 50.01; rounding only the sum would have given 50.00.
  auto source = Xactions::create();
  buy(source, "10", "100.01");
  auto old = action(source, T::spin_off_old, -0.5, 0, 100.01_usd, 10);
  EXPECT_EQ(old->ChgCost(), "-50.00");
  EXPECT_EQ(old->NewCost(), "50.01");

  // The receiving side adds the four-decimal change and rounds the sum:
  // 0.01 + 50.005 = 50.015 gives 50.02, though its change reads 50.00.
  auto receiver = Xactions::create();
  buy(receiver, "1", "0.01");
  auto n = action(receiver, T::spin_off_new, 0.5, 1, 100.01_usd, 10);
  EXPECT_EQ(n->ChgCost(), "50.00");
  EXPECT_EQ(n->NewCost(), "50.02");
}

TEST(RoundingPoints, AcqOldWithMinusOneEmptiesTheHolding) {
  auto xs = Xactions::create();
  buy(xs, "12.34567", "987.65");
  auto x = action(xs, T::acq_old, -1, -1);
  EXPECT_EQ(x->ChgShrs(), "-12.34567");
  EXPECT_EQ(x->ChgCost(), "-987.65");
  expectHolding(x, "0.00000", "0.00", "0.00000");
}

TEST(RoundingPoints, SplitsChangeSharesOnlyAndNeedAnEarlierTransaction) {
  auto empty = Xactions::create();
  expectHolding(action(empty, T::Split, 0, 1.0), "0.00000", "0.00", "0.00000");

  auto xs = Xactions::create();
  buy(xs, "100", "1000");
  auto reverse = action(xs, T::Split, 0, -0.8);
  EXPECT_EQ(reverse->ChgShrs(), "-80.00000");
  expectHolding(reverse, "20.00000", "1,000.00", "50.00000");
}

TEST(RoundingPoints, InputsArriveThroughTheirRoundingGets) {
  // SourceShrs reads to five decimals and SourceCost to cents, so ten times
  // them is computed from 10.00001 shares and 100.01, not the raw values.
  auto xs = Xactions::create();
  auto x = action(xs, T::spin_off_new, 10, 10, Currency::fromText("100.0149"), 10.000014);
  EXPECT_EQ(x->ChgShrs(), "100.00010");
  EXPECT_EQ(x->ChgCost(), "1,000.10");
}

TEST(RoundingPoints, OtherKindsChangeNothing) {
  auto xs = Xactions::create();
  buy(xs, "10", "100");
  auto x = action(xs, T::other, 5, 5, 100_usd, 10);
  EXPECT_EQ(x->ChgShrs(), "0.00000");
  EXPECT_EQ(x->ChgCost(), "0.00");
  expectHolding(x, "10.00000", "100.00", "10.00000");
}

// ---- failures ----------------------------------------------------------------------

TEST(ArithmeticFailures, AnInputThatDoesNotReadFailsWithTheCalcNewXActionTrail) {
  auto xs = Xactions::create();
  auto x = Xaction::create();
  x->XactionType(T::spin_off_new);  // AllocationFactor never set
  try {
    xs->Add(x);
    FAIL() << "expected a conversion error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errnum::TypeMismatch);
    EXPECT_EQ(e.source().rfind("XActions.CalcNewXAction\r", 0), 0u) << e.source();
    EXPECT_EQ(e.description(), "Tallyvex");
  }
  // Add has no handler of its own: the transaction is already in the collection.
  EXPECT_EQ(xs->Count(), 1);
}

TEST(ArithmeticFailures, CurrencyOverflowIsAnErrorNotAWrappedAmount) {
  auto xs = Xactions::create();
  buy(xs, "1000000", "900000000000000");
  try {
    buy(xs, "1000000", "900000000000000");
    FAIL() << "expected an overflow";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errnum::Overflow);
    EXPECT_EQ(e.source(), "XActions.CalcNewXAction\rOrlendo");
  }
  EXPECT_EQ(xs->Count(), 2);
}

TEST(ArithmeticFailures, PerShareOverflowCarriesBothTrailTags) {
  auto xs = Xactions::create();
  try {
    buy(xs, "0.6", "900000000000000");
    FAIL() << "expected an overflow";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errnum::Overflow);
    EXPECT_EQ(e.source(), "XActions.CalcNewXAction\rXActions.CalcCostPerShr\rOrlendo");
    EXPECT_EQ(e.description(), "Tallyvex");
  }
}

// ---- descriptions --------------------------------------------------------------------

TEST(MakeDesc, EveryKindGetsItsTextReplacingWhatWasThere) {
  auto investor = Investor::create(kHistoryStart);
  auto xs = investor->colSecurities()->Item("Tellano after 5-27-05")->colXActions();
  const std::pair<T, const char*> expected[] = {
      {T::Buy, "Buy"},
      {T::sell, "Sell"},
      {T::Split, "Split"},
      {T::spin_off_old, "Spin off"},
      {T::spin_off_new, "Spin off"},
      {T::acq_old, "Acquisition"},
      {T::acq_new, "Acquisition"},
      {T::cash_or_stk, "Cash or stock"},
  };
  for (const auto& [type, text] : expected) {
    auto x = action(xs, type, 0, 0);
    x->Description("Reclass");
  }
  investor->MakeDesc();
  ASSERT_EQ(xs->Count(), 8);
  for (long i = 1; i <= 8; ++i) EXPECT_EQ(xs->Item(i)->Description(), expected[i - 1].second) << i;
}

TEST(MakeDesc, AKindOutsideTheListFailsWith422) {
  EXPECT_EQ(describe(T::acq_new), "Acquisition");
  for (T bad : {T::other, static_cast<T>(42), static_cast<T>(-1)}) {
    auto investor = Investor::create(kHistoryStart);
    auto quorvex = investor->colSecurities()->Item("Quorvex")->colXActions();
    action(quorvex, T::Buy, 0, 0)->Description("kept?");
    action(quorvex, bad, 0, 0);
    try {
      investor->MakeDesc();
      FAIL() << "expected error 422";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errnum::SelectCase);
      EXPECT_EQ(e.source().rfind("Investor.MakeDesc\r", 0), 0u) << e.source();
      EXPECT_EQ(e.description(), "Tallyvex");
    }
    // Transactions before the bad one were labelled already.
    EXPECT_EQ(quorvex->Item(1)->Description(), "Buy");
  }
  try {
    describe(T::other);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errnum::SelectCase);
    EXPECT_EQ(e.description(), "Select Case error");
  }
}

}  // namespace
